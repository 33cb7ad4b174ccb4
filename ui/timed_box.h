// The common frame of the progress and busy boxes: a small fixed box with an
// elapsed-time clock on a 500 ms timer and a cancel button.
//
// Its default button (or Enter) is the box's own cancel: it sets the abort
// flag. The cancel command (Esc, the close box, a posted close) closes the
// box without touching the flag.
#pragma once

#include <QDialog>
#include <QTimer>
#include <atomic>

#include "ui/dialog_units.h"

class QLabel;
class QPushButton;

namespace vandrel::ui {

// The clock text for the tick counter's value, then one more tick.
QString NextClockText(std::atomic<int>& ticks);

class TimedBox : public QDialog {
  Q_OBJECT
 public:
  void accept() override;  // the cancel button: abort flag, then close

 protected:
  // ticks: the half-second counter shown by the clock, reset when the box opens.
  TimedBox(QWidget* parent, std::atomic<int>& ticks, const QString& title, int widthDu,
           int heightDu);

  // When the box opens (after the counter reset and before the first tick).
  virtual void Init() {}
  // Each 500 ms; the base sets the clock.
  virtual void Tick();

  void showEvent(QShowEvent* event) override;
  void done(int result) override;

  QPushButton* AddCancelButton(const QString& text, int x, int y, int w, int h);

  const DialogUnits units_;
  QLabel* clock_ = nullptr;  // created by the box, placed at its own spot

 private:
  std::atomic<int>& ticks_;
  QTimer timer_;
};

}  // namespace vandrel::ui
