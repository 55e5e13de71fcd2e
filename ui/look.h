// SPDX-License-Identifier: MIT
#pragma once

// How the windows look, all in one: a window's source that builds its controls, menus,
// colours and fonts wants most of it.
#include "ui/colors.h"
#include "ui/controls.h"
#include "ui/declared_controls.h"
#include "ui/focus_style.h"
#include "ui/font_families.h"
#include "ui/fonts.h"
#include "ui/menus_toolbars.h"
#include "ui/palette.h"
#include "ui/pictures.h"
#include "ui/placement.h"
#include "ui/translations.h"
