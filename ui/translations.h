// Qt's own texts in Japanese: the standard dialogs and menus (the folder
// picker, an edit's context menu) speak the dialog's language whatever the
// locale of the desktop.
#pragma once

namespace vandrel::ui {

// Installs Qt's qtbase_ja translation into the application. False when
// the translation is not installed (Debian: qt6-translations-l10n); Qt's
// texts then stay English. Call once, after the application object exists.
bool InstallJapaneseTranslations();

}  // namespace vandrel::ui
