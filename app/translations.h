// SPDX-License-Identifier: GPL-3.0-or-later
// The toolkit's own texts in Chinese: the file and print dialogs, the
// buttons of the one question the window asks, the context menus of the
// boxes. Quenlor speaks Chinese whatever the system's locale, so its
// dialogs do too: Qt's translations of its own strings (Debian's
// qt6-translations-l10n) are loaded for simplified Chinese.
#pragma once

class QCoreApplication;

namespace quenlor {

// Makes simplified Chinese the application's locale and installs Qt's
// translations of its own strings; false where the translations are not
// installed (the dialogs then speak English, nothing else changes).
bool speakChinese(QCoreApplication& app);

} // namespace quenlor
