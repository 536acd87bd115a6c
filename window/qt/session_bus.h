// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace window {

// With no session bus address in the environment, the toolkit's screen
// reader bridge asks D-Bus for the session bus, and D-Bus then starts one
// of its own (dbus-launch and a dbus-daemon) that outlives the game. No
// screen reader listens on such a bus, so nothing is lost without it: this
// points the game at the user's bus where a login session keeps it
// ($XDG_RUNTIME_DIR/bus, else /run/user/UID/bus), and where there is none,
// the bridge finds no bus and nothing is started. Call before the
// application object exists.
void useOnlyTheUsersSessionBus();

}  // namespace window
