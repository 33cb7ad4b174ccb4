#include "ui/timed_box.h"

#include <QLabel>
#include <QPushButton>

#include "platform/cp932.h"
#include "run/progress.h"
#include "run/run_state.h"

namespace vandrel::ui {

QString NextClockText(std::atomic<int>& ticks) {
  return QString::fromStdString(ToUtf8(ElapsedTimeText(ticks.fetch_add(1))));
}

TimedBox::TimedBox(QWidget* parent, std::atomic<int>& ticks, const QString& title, int widthDu,
                   int heightDu)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      units_(DialogFont()),
      ticks_(ticks) {
  setFont(DialogFont());
  setWindowTitle(title);
  setFixedSize(units_.Size(widthDu, heightDu));
  clock_ = new QLabel(this);
  clock_->setObjectName(QStringLiteral("clock"));
  timer_.setInterval(500);
  connect(&timer_, &QTimer::timeout, this, &TimedBox::Tick);
}

QPushButton* TimedBox::AddCancelButton(const QString& text, int x, int y, int w, int h) {
  auto* button = new QPushButton(text, this);
  button->setObjectName(QStringLiteral("cancelButton"));
  button->setDefault(true);
  units_.Place(button, x, y, w, h);
  connect(button, &QPushButton::clicked, this, &TimedBox::accept);
  return button;
}

void TimedBox::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (timer_.isActive()) return;
  ticks_ = 0;
  Init();
  timer_.start();
}

void TimedBox::Tick() { clock_->setText(NextClockText(ticks_)); }

void TimedBox::accept() {
  timer_.stop();
  g_abortRequested = 1;
  QDialog::accept();
}

void TimedBox::done(int result) {
  timer_.stop();
  QDialog::done(result);
}

}  // namespace vandrel::ui
