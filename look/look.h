// SPDX-License-Identifier: MIT
#pragma once

// How the windows look, all in one: a window's source that builds its controls, menus,
// colours and fonts wants most of it.
#include "look/colors.h"
#include "look/controls.h"
#include "look/declared_controls.h"
#include "look/focus_style.h"
#include "look/menus_toolbars.h"
#include "look/palette.h"
#include "look/pictures.h"
#include "ui/font_families.h"
#include "ui/fonts.h"
#include "ui/placement.h"
#include "ui/translations.h"
