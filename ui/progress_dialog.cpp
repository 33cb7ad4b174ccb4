#include "ui/progress_dialog.h"

#include <QLabel>
#include <QProgressBar>

#include "platform/cp932.h"
#include "run/progress.h"
#include "run/run_state.h"
#include "ui/ui_texts.h"

namespace vandrel::ui {

ProgressDialog::ProgressDialog(QWidget* parent)
    : TimedBox(parent, g_progressTicks, kProgressTitle, 187, 69) {
  status_ = new QLabel(kProgressStatusTemplate, this);
  status_->setObjectName(QStringLiteral("status"));
  units_.Place(status_, 12, 11, 108, 8);
  clock_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  units_.Place(clock_, 119, 12, 57, 8);
  bar_ = new QProgressBar(this);
  bar_->setObjectName(QStringLiteral("bar"));
  bar_->setTextVisible(false);
  units_.Place(bar_, 10, 24, 167, 18);
  AddCancelButton(kAbort, 68, 46, 50, 14);
}

void ProgressDialog::Init() {
  bar_->setRange(0, 1000);
  bar_->setValue(0);
  status_->setText(kAnalysisStarted);
  clock_->setText(kProgressTimeTemplate);
}

void ProgressDialog::Tick() {
  bar_->setValue(qBound(0, ComputeProgressPosition(), 1000));
  status_->setText(QString::fromStdString(ToUtf8(GetStatusText())));
  TimedBox::Tick();
}

void ProgressDialog::Run() {
  running_ = true;
  if (endPending_) QMetaObject::invokeMethod(this, &ProgressDialog::DeliverEndOfRun, Qt::QueuedConnection);
  exec();
  running_ = false;
}

void ProgressDialog::PostEndOfRun() {
  endPending_ = true;
  QMetaObject::invokeMethod(this, &ProgressDialog::DeliverEndOfRun, Qt::QueuedConnection);
}

void ProgressDialog::DeliverEndOfRun() {
  if (running_ && endPending_.exchange(false)) reject();
}

}  // namespace vandrel::ui
