// SPDX-License-Identifier: MIT
#pragma once

namespace qz {

// Buttons, option buttons and check boxes show a focus mark whenever they have the focus, not
// only after the keyboard moved it (the program puts the focus on buttons itself).
void installFocusMarks();

} // namespace qz
