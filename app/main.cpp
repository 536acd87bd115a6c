// Zarnovik: starts the game in its window and runs it until the window closes.
#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "runtime/random.h"
#include "window/qt/fonts.h"
#include "window/qt/host.h"
#include "window/qt/pictures.h"

namespace {

bool envSet(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0';
}

// While Qt looks for the display, its own complaints are held back: if it
// finds none, one line says so and the program ends without aborting.
QtMessageHandler previousHandler = nullptr;
bool startingUp = true;

void startupMessages(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type == QtFatalMsg && startingUp) {
    if (envSet("QT_QPA_PLATFORM")) {
      std::fprintf(stderr, "zarnovik: cannot start the window system \"%s\"\n",
                   std::getenv("QT_QPA_PLATFORM"));
    } else {
      std::fprintf(stderr, "zarnovik: cannot open the display \"%s\"\n",
                   envSet("DISPLAY") ? std::getenv("DISPLAY") : std::getenv("WAYLAND_DISPLAY"));
    }
    std::fflush(stderr);
    std::_Exit(1);
  }
  if (startingUp && QByteArray(context.category).startsWith("qt.qpa")) return;
  if (previousHandler) previousHandler(type, context, message);
}

}  // namespace

int main(int argc, char** argv) {
  if (!envSet("DISPLAY") && !envSet("WAYLAND_DISPLAY") && !envSet("QT_QPA_PLATFORM")) {
    std::fputs("zarnovik: no display found (set DISPLAY or WAYLAND_DISPLAY, or QT_QPA_PLATFORM)\n",
               stderr);
    return 1;
  }
  previousHandler = qInstallMessageHandler(startupMessages);
  QApplication app(argc, argv);
  startingUp = false;
  QApplication::setApplicationName(QStringLiteral("zarnovik"));
  QApplication::setDesktopFileName(QStringLiteral("zarnovik"));
  window::gameFontFamily();

  window::PictureService pictures;
  rt::SystemSeedClock clock;
  window::Host host(clock, pictures);
  QObject::connect(&host, &window::Host::finished, &app,
                   [](int status) { QApplication::exit(status); });
  QApplication::setWindowIcon(pictures.icon());
  host.start();
  return QApplication::exec();
}
