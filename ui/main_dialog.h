// The main dialog "C言語 ソルメダ解析プログラム v1.40": the two folders,
// the status lines, the options and one button per command. It reads its
// controls into the commands' requests and shows what the host reports.
#pragma once

#include <QDialog>
#include <QPointer>
#include <memory>
#include <string>
#include <vector>

#include "commands/analyse_command.h"
#include "commands/query_request.h"
#include "ui/busy_dialog.h"
#include "ui/dialog_units.h"

class QComboBox;

namespace vandrel::ui {

class ProgressDialog;
class QtHost;

// Control ids; each control's object name is "c" and its id.
enum ControlId {
  kBrowseSourceButton = 1000,
  kAnalyseButton = 1001,
  kExitButton = 1002,
  kSourceEdit = 1003,
  kFunctionTreeButton = 1004,
  kStatusLine = 1005,
  kOutputEdit = 1006,
  kBrowseOutputButton = 1007,
  kVariableButton = 1010,
  kStatusDetailLine = 1013,
  kShowExcelCheck = 1015,
  kExternalDefinesCheck = 1016,
  kDesignDocButton = 1017,
  kXlsCheck = 1019,
  kXlsxCheck = 1020,
  kIncludeLocalsCheck = 1021,
  kFunctionEdit = 1024,
  kVariableEdit = 1025,
  kFunctionList = 1029,
  kVariableList = 1030,
  kTypedFunctionRadio = 1037,
  kListedFunctionRadio = 1038,
  kTypedVariableRadio = 1041,
  kListedVariableRadio = 1042,
  kMemorySlider = 1044,
};

class MainDialog : public QDialog, public AnalyseView {
  Q_OBJECT
 public:
  explicit MainDialog(QWidget* parent = nullptr);
  ~MainDialog() override;

  static QString ControlName(int id) { return QStringLiteral("c%1").arg(id); }
  template <class T = QWidget>
  T* Control(int id) const {
    return findChild<T*>(ControlName(id));
  }

  ProgressDialog& progressDialog() { return *progress_; }
  DialogBusyBox& busyBox() { return busyBox_; }
  QtHost& host() { return *host_; }

  // The automation object that holds the program, or null. While one is
  // attached an exit request hides the window instead of closing it.
  void SetAutomationProxy(QObject* proxy) { proxy_ = proxy; }
  bool HasAutomationProxy() const { return !proxy_.isNull(); }
  bool CanExit();

  // Before the program ends: a worker still running (its box was closed
  // early) is asked to stop and waited for; its boxes are no longer shown.
  void StopWorkerForExit();

  // AnalyseView.
  void RunProgressBox() override;
  void WaitUntil(const std::function<bool()>& done) override;
  void DisableResultCommands() override;
  void EnableResultCommands() override;
  void AddFunctionNames(const std::vector<std::string>& names) override;
  void AddVariableNames(const std::vector<std::string>& names) override;

 public slots:
  void accept() override;  // the exit button and Enter
  void reject() override;  // Esc and the close box
  void OnBrowseSourceFolder();
  void OnAnalyse();
  void OnButton3();  // browse for the output folder
  void OnButton7();  // call tree of a chosen function
  void OnButton8();  // analysis of a chosen variable
  void OnDesignDocButton();
  void OnAbout();  // the version item: the busy box of its own

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void CreateControls();
  void InitDialog();
  void BrowseFolder(int editId);
  std::string EditText(int id) const;  // a folder edit's text as a CP932 path
  // What a query command takes from the dialog: its radio button, edit and
  // list, and the output folder.
  QueryRequest ReadQuery(int typedRadioId, int editId, int listId) const;
  // The commands on the last run's results first let a worker still running
  // (its progress box was closed early) end: it rewrites the work folder and
  // shares the tree writer's counters.
  void WaitForWorker();
  void SetEnabled(std::initializer_list<int> ids, bool enabled);

  const DialogUnits units_;
  ProgressDialog* progress_ = nullptr;
  std::unique_ptr<QtHost> host_;
  DialogBusyBox busyBox_;
  QPointer<QObject> proxy_;
};

// Adds names to a sorted choice list (CP932 order, letters without case),
// keeping what it holds and the text of its edit.
void AddSortedNames(QComboBox* list, const std::vector<std::string>& names);

}  // namespace vandrel::ui
