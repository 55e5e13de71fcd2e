// SPDX-License-Identifier: MIT
#pragma once

namespace qz {

// Qt's own Japanese texts (file dialogs, standard buttons, context menus). False when the
// translation files are not installed.
bool installQtTranslations();

} // namespace qz
