// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The command line of zarnovik-sim: a script on the standard input, a
// statistics run of many spins, or the exact odds.

#include <iosfwd>

namespace sim {

// The command line of zarnovik-sim; returns the exit status. With
// `errIsTerminal`, a statistics run that lasts longer than about a second
// shows its progress on `err`.
int simMain(int argc, const char* const* argv, std::istream& in, std::ostream& out,
            std::ostream& err, bool errIsTerminal = false);

}  // namespace sim
