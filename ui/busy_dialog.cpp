#include "ui/busy_dialog.h"

#include <QLabel>

#include "run/run_state.h"
#include "ui/icons.h"
#include "ui/ui_texts.h"

namespace vandrel::ui {

BusyDialog::BusyDialog(QWidget* parent) : TimedBox(parent, g_busyTicks, kBusyTitle, 154, 77) {
  auto* icon = new QLabel(this);
  icon->setPixmap(MakeIcon(IconId::Busy).pixmap(32, 32));
  icon->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  units_.Place(icon, 8, 9, 20, 20);
  auto* text = new QLabel(kBusyText, this);
  units_.Place(text, 35, 10, 64, 8);
  clock_->setAlignment(Qt::AlignCenter);
  units_.Place(clock_, 44, 33, 63, 8);
  AddCancelButton(kBusyAbort, 50, 46, 50, 14);
}

void BusyDialog::Init() { clock_->setText(kBusyTimeTemplate); }

void DialogBusyBox::Open() { dialog_.show(); }

void DialogBusyBox::Close() { QMetaObject::invokeMethod(&dialog_, &QDialog::reject, Qt::QueuedConnection); }

}  // namespace vandrel::ui
