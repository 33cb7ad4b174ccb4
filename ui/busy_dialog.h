// The busy box "実行中": a clock and the button "実行中断". The
// design-document command shows it (through BusyBox) and the main dialog's
// version item opens one of its own.
#pragma once

#include "commands/design_command.h"
#include "ui/timed_box.h"

namespace vandrel::ui {

class BusyDialog : public TimedBox {
  Q_OBJECT
 public:
  explicit BusyDialog(QWidget* parent = nullptr);

 protected:
  void Init() override;
};

// The busy box of the design-document command. Open shows it without
// waiting; Close is its cancel command, delivered once the box is up, so the
// box closes as soon as it has opened.
class DialogBusyBox : public BusyBox {
 public:
  void Open() override;
  void Close() override;

  BusyDialog& dialog() { return dialog_; }

 private:
  BusyDialog dialog_;
};

}  // namespace vandrel::ui
