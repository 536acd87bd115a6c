// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/qt/session_bus.h"

#include <unistd.h>

#include <cstdlib>
#include <string>

namespace window {

void useOnlyTheUsersSessionBus() {
  const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
  if (address != nullptr && *address != '\0') return;
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  const std::string folder = runtime != nullptr && *runtime == '/'
                                 ? std::string(runtime)
                                 : "/run/user/" + std::to_string(getuid());
  setenv("DBUS_SESSION_BUS_ADDRESS", ("unix:path=" + folder + "/bus").c_str(), 1);
}

}  // namespace window
