#include "ui/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace vandrel::ui {
namespace {

// qtbase_ja still holds the file type names ("Folder") under the context that
// Qt 5 used for them: the folder picker's type column would stay English.
class FileTypeTranslator : public QTranslator {
 public:
  FileTypeTranslator(const QTranslator& qt, QObject* parent) : QTranslator(parent), qt_(qt) {}

  QString translate(const char* context, const char* source, const char* disambiguation,
                    int n) const override {
    if (qstrcmp(context, "QAbstractFileIconProvider") != 0) return QString();
    return qt_.translate("QFileDialog", source, disambiguation, n);
  }
  bool isEmpty() const override { return false; }

 private:
  const QTranslator& qt_;
};

}  // namespace

bool InstallJapaneseTranslations() {
  QCoreApplication* app = QCoreApplication::instance();
  auto* qt = new QTranslator(app);
  if (!qt->load(QLocale(QLocale::Japanese), QStringLiteral("qtbase"), QStringLiteral("_"),
                QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
      !QCoreApplication::installTranslator(qt)) {
    delete qt;
    return false;
  }
  QCoreApplication::installTranslator(new FileTypeTranslator(*qt, app));
  return true;
}

}  // namespace vandrel::ui
