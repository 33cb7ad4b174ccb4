#include "ui/main_dialog.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFontDatabase>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTimer>
#include <QToolButton>
#include <algorithm>

#include "commands/design_command.h"
#include "commands/function_tree_command.h"
#include "commands/variable_command.h"
#include "platform/cp932.h"
#include "platform/os_path.h"
#include "run/analysis_log.h"
#include "run/run_state.h"
#include "run/texts.h"
#include "ui/drop_edit.h"
#include "ui/folder_picker.h"
#include "ui/icon_button.h"
#include "ui/icons.h"
#include "ui/progress_dialog.h"
#include "ui/qt_host.h"
#include "ui/ui_texts.h"

namespace vandrel::ui {
namespace {

enum class Kind { Static, Group, Button, IconButton, DropEdit, Edit, Check, Radio, List, Slider };

struct ControlRow {
  int id;  // 0: a control without id
  Kind kind;
  const QString* text;
  int x, y, w, h;  // dialog units
  IconId icon = IconId::Analyse;
};

const QString kNoText;

// The controls in their tab order, at their places in dialog units.
const ControlRow kControls[] = {
    {kStatusLine, Kind::Static, &kStatusTemplate, 8, 8, 170, 8},
    {kStatusDetailLine, Kind::Static, &kStatusTemplate, 8, 19, 170, 8},
    {kExitButton, Kind::Button, &kExit, 297, 7, 49, 25},
    {0, Kind::Group, &kUserInput, 7, 33, 340, 75},
    {0, Kind::Static, &kSourceFolderLabel, 16, 45, 78, 8},
    {kSourceEdit, Kind::DropEdit, &kNoText, 10, 55, 304, 17},
    {kBrowseSourceButton, Kind::IconButton, &kNoText, 322, 53, 19, 20, IconId::Folder},
    {0, Kind::Static, &kOutputFolderLabel, 16, 76, 35, 8},
    {kOutputEdit, Kind::DropEdit, &kNoText, 10, 87, 304, 17},
    {kBrowseOutputButton, Kind::IconButton, &kNoText, 322, 85, 19, 20, IconId::Folder},
    {0, Kind::Group, &kAnalysisFrame, 7, 116, 340, 199},
    {kAnalyseButton, Kind::IconButton, &kAnalyse, 13, 132, 61, 177, IconId::Analyse},
    {kIncludeLocalsCheck, Kind::Check, &kIncludeLocals, 78, 135, 114, 10},
    {kExternalDefinesCheck, Kind::Check, &kReadExternalDefines, 78, 146, 131, 10},
    {0, Kind::Static, &kMemoryCaption, 285, 125, 56, 8},
    {0, Kind::Static, &kTimes1, 283, 137, 11, 8},
    {kMemorySlider, Kind::Slider, &kNoText, 292, 137, 39, 13},
    {0, Kind::Static, &kTimes4, 330, 137, 11, 17},
    {kDesignDocButton, Kind::IconButton, &kDesignDoc, 79, 163, 76, 49, IconId::DesignDoc},
    {kShowExcelCheck, Kind::Check, &kShowExcelProgress, 159, 164, 79, 10},
    {kXlsCheck, Kind::Check, &kExcelXls, 159, 176, 126, 10},
    {kXlsxCheck, Kind::Check, &kExcelXlsx, 159, 188, 129, 10},
    {kFunctionTreeButton, Kind::IconButton, &kFunctionTree, 79, 213, 76, 50, IconId::FunctionTree},
    {0, Kind::Group, &kFunctionFrame, 157, 219, 180, 41},
    {kTypedFunctionRadio, Kind::Radio, &kNoText, 162, 231, 8, 8},
    {kFunctionEdit, Kind::Edit, &kNoText, 173, 229, 117, 14},
    {kListedFunctionRadio, Kind::Radio, &kNoText, 162, 243, 8, 8},
    {kFunctionList, Kind::List, &kNoText, 173, 243, 117, 189},
    {kVariableButton, Kind::IconButton, &kVariableAnalysis, 79, 264, 76, 44, IconId::Variable},
    {0, Kind::Group, &kVariableFrame, 157, 269, 180, 40},
    {kTypedVariableRadio, Kind::Radio, &kNoText, 162, 281, 8, 8},
    {kVariableEdit, Kind::Edit, &kNoText, 173, 278, 117, 14},
    {kListedVariableRadio, Kind::Radio, &kNoText, 162, 293, 8, 8},
    {kVariableList, Kind::List, &kNoText, 173, 292, 117, 134},
};

QString Utf8(const std::string& cp932) { return QString::fromStdString(ToUtf8(cp932)); }
std::string Cp932(const QString& text) { return ToCp932(text.toStdString()); }

}  // namespace

void AddSortedNames(QComboBox* list, const std::vector<std::string>& names) {
  const QString editText = list->currentText();
  const bool noChoice = list->currentIndex() < 0;
  for (const std::string& name : names) {
    // After every entry that does not sort behind the new one.
    int lo = 0, hi = list->count();
    while (lo < hi) {
      int mid = (lo + hi) / 2;
      std::string entry = list->itemData(mid).toByteArray().toStdString();
      if (MbCompareNoCase(name, entry) < 0)
        hi = mid;
      else
        lo = mid + 1;
    }
    list->insertItem(lo, Utf8(name), QByteArray::fromStdString(name));
  }
  if (noChoice) list->setCurrentIndex(-1);
  list->setEditText(editText);
}

MainDialog::MainDialog(QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint),
      units_(DialogFont()) {
  setFont(DialogFont());
  setWindowTitle(kMainTitle);
  setFixedSize(units_.Size(354, 344));
  CreateControls();
  progress_ = new ProgressDialog(this);
  host_ = std::make_unique<QtHost>(this, Control<QLabel>(kStatusLine), Control<QLabel>(kStatusDetailLine),
                                   progress_, [this](const std::function<bool()>& done) { WaitUntil(done); });
  SetHost(host_.get());
  InitDialog();
}

MainDialog::~MainDialog() {
  StopWorkerForExit();
  if (&CurrentHost() == host_.get()) SetHost(nullptr);
}

void MainDialog::CreateControls() {
  QButtonGroup* radios = nullptr;
  for (const ControlRow& row : kControls) {
    QWidget* w = nullptr;
    switch (row.kind) {
      case Kind::Static: {
        auto* label = new QLabel(*row.text, this);
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);  // as a static control draws its text
        w = label;
        break;
      }
      case Kind::Group: {
        // The frame's top line runs through the middle of the title, as a
        // dialog's group box draws it: the controls inside keep clear of it.
        auto* group = new QGroupBox(*row.text, this);
        group->setStyleSheet(QStringLiteral("QGroupBox { border: 1px solid palette(mid); border-radius: 2px;"
                                            " margin-top: %1px; }"
                                            "QGroupBox::title { subcontrol-origin: margin; left: %2px;"
                                            " padding: 0 2px; }")
                                 .arg(fontMetrics().height() / 2)
                                 .arg(units_.X(4)));
        w = group;
        break;
      }
      case Kind::Button: {
        auto* button = new QPushButton(*row.text, this);
        button->setAutoDefault(false);
        w = button;
        break;
      }
      case Kind::IconButton: {
        auto* button = new IconButton(this);
        button->setText(*row.text);
        const int side = std::min({units_.X(row.w), units_.Y(row.h) - 8, 40}) - 8;
        button->setIconSize(QSize(side, side));
        button->setIcon(MakeIcon(row.icon));
        w = button;
        break;
      }
      case Kind::DropEdit:
        w = new DropEdit(this);
        break;
      case Kind::Edit:
        w = new QLineEdit(this);
        break;
      case Kind::Check:
        w = new QCheckBox(*row.text, this);
        break;
      case Kind::Radio: {
        // Each typed-name radio starts a group with the list radio after it.
        if (row.id == kTypedFunctionRadio || row.id == kTypedVariableRadio) radios = new QButtonGroup(this);
        auto* radio = new QRadioButton(this);
        radios->addButton(radio);
        w = radio;
        break;
      }
      case Kind::List: {
        auto* list = new QComboBox(this);
        list->setEditable(true);
        list->setInsertPolicy(QComboBox::NoInsert);
        list->setMaxVisibleItems(std::max(1, units_.Y(row.h) / list->fontMetrics().height() - 1));
        w = list;
        break;
      }
      case Kind::Slider: {
        auto* slider = new QSlider(Qt::Horizontal, this);
        slider->setTickPosition(QSlider::TicksAbove);
        w = slider;
        break;
      }
    }
    if (row.id) w->setObjectName(ControlName(row.id));
    // A drop-down list's height is that of its open list; the field keeps its own.
    units_.Place(w, row.x, row.y, row.w, row.kind == Kind::List ? 14 : row.h);
    if (row.kind == Kind::List) w->resize(w->width(), std::max(w->height(), w->sizeHint().height()));
  }
  Control<QCheckBox>(kXlsCheck)->hide();
  Control<QCheckBox>(kXlsxCheck)->hide();
  SetEnabled({kXlsCheck, kXlsxCheck}, false);

  connect(Control<QAbstractButton>(kBrowseSourceButton), &QAbstractButton::clicked, this,
          &MainDialog::OnBrowseSourceFolder);
  connect(Control<QAbstractButton>(kAnalyseButton), &QAbstractButton::clicked, this,
          &MainDialog::OnAnalyse);
  connect(Control<QAbstractButton>(kBrowseOutputButton), &QAbstractButton::clicked, this,
          &MainDialog::OnButton3);
  connect(Control<QAbstractButton>(kExitButton), &QAbstractButton::clicked, this, &MainDialog::accept);
  connect(Control<QAbstractButton>(kFunctionTreeButton), &QAbstractButton::clicked, this,
          &MainDialog::OnButton7);
  connect(Control<QAbstractButton>(kVariableButton), &QAbstractButton::clicked, this,
          &MainDialog::OnButton8);
  connect(Control<QAbstractButton>(kDesignDocButton), &QAbstractButton::clicked, this,
          &MainDialog::OnDesignDocButton);

  // The version item (the window offers no system menu of its own).
  auto* separator = new QAction(this);
  separator->setSeparator(true);
  auto* about = new QAction(kAboutItem, this);
  about->setObjectName(QStringLiteral("aboutAction"));
  connect(about, &QAction::triggered, this, &MainDialog::OnAbout);
  addActions({separator, about});
  setContextMenuPolicy(Qt::ActionsContextMenu);
}

void MainDialog::InitDialog() {
  setWindowIcon(MakeIcon(IconId::Analyse));
  SetEnabled({kDesignDocButton, kShowExcelCheck, kFunctionTreeButton, kVariableButton, kXlsCheck,
              kXlsxCheck},
             false);
  Control<QCheckBox>(kShowExcelCheck)->setChecked(false);
  SetEnabled({kTypedFunctionRadio, kListedFunctionRadio, kTypedVariableRadio, kListedVariableRadio,
              kFunctionEdit, kVariableEdit},
             false);
  Control<QRadioButton>(kListedFunctionRadio)->setChecked(true);
  Control<QRadioButton>(kListedVariableRadio)->setChecked(true);
  SetStatusText(Cp932(kInitialStatus));
  SetStatusDetail("");
  Control<QComboBox>(kVariableList)->setEditText(kSelectVariable);
  Control<QComboBox>(kFunctionList)->setEditText(kSelectFunction);
  SetEnabled({kVariableList, kFunctionList}, false);
  for (int id : {kSourceEdit, kOutputEdit})
    Control<QLineEdit>(id)->setFont(QFontDatabase::systemFont(QFontDatabase::GeneralFont));
  Control<QLineEdit>(kSourceEdit)->setText(kSourceHint);
  Control<QLineEdit>(kOutputEdit)->setText(kOutputHint);
  auto* slider = Control<QSlider>(kMemorySlider);
  slider->setRange(1, 4);
  slider->setTickInterval(1);
  slider->setPageStep(1);
  slider->setValue(1);
  SetAllTraces("init");
}

void MainDialog::SetEnabled(std::initializer_list<int> ids, bool enabled) {
  for (int id : ids) Control(id)->setEnabled(enabled);
}

std::string MainDialog::EditText(int id) const {
  return FromOsName(Control<QLineEdit>(id)->text().toStdString());
}

QueryRequest MainDialog::ReadQuery(int typedRadioId, int editId, int listId) const {
  QueryRequest request;
  request.typedName = Control<QRadioButton>(typedRadioId)->isChecked();
  request.typedText = Cp932(Control<QLineEdit>(editId)->text());
  request.listText = Cp932(Control<QComboBox>(listId)->currentText());
  request.outputFolder = EditText(kOutputEdit);
  return request;
}

bool MainDialog::CanExit() {
  if (!proxy_) return true;
  hide();
  return false;
}

void MainDialog::accept() {
  if (CanExit()) QDialog::accept();
}

void MainDialog::reject() {
  if (CanExit()) QDialog::reject();
}

void MainDialog::keyPressEvent(QKeyEvent* event) {
  const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  const auto mods = event->modifiers() & ~Qt::KeypadModifier;
  if (!enter || mods != Qt::NoModifier) return QDialog::keyPressEvent(event);
  // Enter presses the push button that has the focus; elsewhere it is the exit request.
  QWidget* focus = focusWidget();
  if (auto* button = qobject_cast<QAbstractButton*>(focus);
      button && (qobject_cast<QPushButton*>(button) || qobject_cast<QToolButton*>(button))) {
    button->click();
    return;
  }
  accept();
}

void MainDialog::StopWorkerForExit() {
  host_->BeginShutdown();
  if (AnalysisWorkerRunning()) {
    g_abortRequested = 1;
    WaitUntil([] { return !AnalysisWorkerRunning(); });
  }
  JoinAnalysisWorker();
}

void MainDialog::BrowseFolder(int editId) {
  const QString folder = ChooseFolder(kChooseFolder, QDir::rootPath(), screen());
  if (!folder.isEmpty()) Control<QLineEdit>(editId)->setText(folder);
}

void MainDialog::OnBrowseSourceFolder() { BrowseFolder(kSourceEdit); }

void MainDialog::OnButton3() {
  try {
    BrowseFolder(kOutputEdit);
  } catch (...) {
    AppendAnalyzeLogEntry("OnButton3", 0, kMsgException130, "-");
    CurrentHost().MessageBox(kMsgException130, kCaptionEnd, MessageButtons::Ok);
  }
}

void MainDialog::OnAnalyse() {
  AnalyseRequest request;
  request.sourceFolder = EditText(kSourceEdit);
  request.outputFolder = EditText(kOutputEdit);
  request.memoryFactor = Control<QSlider>(kMemorySlider)->value();
  request.includeLocals = Control<QCheckBox>(kIncludeLocalsCheck)->isChecked();
  vandrel::OnAnalyse(request, *this);
}

void MainDialog::WaitForWorker() {
  if (AnalysisWorkerRunning()) WaitUntil([] { return !AnalysisWorkerRunning(); });
  JoinAnalysisWorker();
}

void MainDialog::OnButton7() {
  WaitForWorker();
  vandrel::OnButton7(ReadQuery(kTypedFunctionRadio, kFunctionEdit, kFunctionList));
}

void MainDialog::OnButton8() {
  WaitForWorker();
  vandrel::OnButton8(ReadQuery(kTypedVariableRadio, kVariableEdit, kVariableList));
}

void MainDialog::OnDesignDocButton() {
  WaitForWorker();
  vandrel::OnDesignDocButton(EditText(kOutputEdit), busyBox_);
}

void MainDialog::OnAbout() {
  BusyDialog box(this);
  box.exec();
}

void MainDialog::RunProgressBox() { progress_->Run(); }

void MainDialog::WaitUntil(const std::function<bool()>& done) {
  if (done()) return;
  // Input is blocked: the wait cursor says so (a box shown meanwhile has the
  // normal one).
  QApplication::setOverrideCursor(Qt::WaitCursor);
  struct Restore {
    ~Restore() { QApplication::restoreOverrideCursor(); }
  } restore;
  QTimer wake;  // its ticks end each wait for events below
  wake.start(10);
  while (!done())
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::WaitForMoreEvents);
}

void MainDialog::DisableResultCommands() {
  SetEnabled({kFunctionTreeButton, kVariableButton, kDesignDocButton, kShowExcelCheck, kXlsCheck,
              kXlsxCheck, kTypedFunctionRadio, kListedFunctionRadio, kTypedVariableRadio,
              kListedVariableRadio, kFunctionEdit, kVariableEdit, kFunctionList, kVariableList},
             false);
}

void MainDialog::EnableResultCommands() {
  SetEnabled({kFunctionTreeButton, kVariableButton, kVariableList, kFunctionList, kShowExcelCheck}, true);
  SetEnabled({kXlsCheck}, false);
  SetEnabled({kXlsxCheck}, true);
  Control<QCheckBox>(kXlsxCheck)->setChecked(true);
  SetEnabled({kTypedFunctionRadio, kListedFunctionRadio, kTypedVariableRadio, kListedVariableRadio,
              kFunctionEdit, kVariableEdit},
             true);
}

void MainDialog::AddFunctionNames(const std::vector<std::string>& names) {
  AddSortedNames(Control<QComboBox>(kFunctionList), names);
}

void MainDialog::AddVariableNames(const std::vector<std::string>& names) {
  AddSortedNames(Control<QComboBox>(kVariableList), names);
}

}  // namespace vandrel::ui
