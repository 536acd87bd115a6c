// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The keys that play the game. Space and Return press the focused button and
// Tab moves between the two buttons, as the system's buttons do; besides
// them, C drops a coin into the slot, as a click on it would. On a Russian
// layout the same key gives the Cyrillic С, which does the same.

#include <QString>
#include <Qt>

namespace window {

bool isCoinKey(int key, Qt::KeyboardModifiers modifiers);

// The keys in words, for the window's description.
QString keysHelp();

}  // namespace window
