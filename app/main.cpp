// SPDX-License-Identifier: GPL-3.0-or-later
// Zarnovik: starts the game in its window and runs it until the window closes.
#include <QApplication>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#ifdef __GLIBC__
#include <malloc.h>
#endif

#include "app/command_line.h"
#include "runtime/random.h"
#include "window/qt/fonts.h"
#include "window/qt/host.h"
#include "window/qt/pictures.h"
#include "window/qt/trace.h"

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
  // --help, --version and a mistake answer here, with or without a display.
  // ZRNV_SEED=N or --seed N plays a fixed game instead of one seeded from the
  // clock: the same draws on every run, for benchmarks and for replaying a
  // reported game.
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  const app::CommandLine commandLine = app::readCommandLine(arguments, std::getenv("ZRNV_SEED"));
  std::fputs(commandLine.output.c_str(), stdout);
  std::fputs(commandLine.errors.c_str(), stderr);
  if (!commandLine.play) return commandLine.status;
  if (!envSet("DISPLAY") && !envSet("WAYLAND_DISPLAY") && !envSet("QT_QPA_PLATFORM")) {
    std::fputs("zarnovik: no display found (set DISPLAY or WAYLAND_DISPLAY, or QT_QPA_PLATFORM)\n",
               stderr);
    return 1;
  }
  std::unique_ptr<rt::SeedClock> clock;
  if (commandLine.seed) {
    clock = std::make_unique<rt::FixedSeedClock>(*commandLine.seed);
  } else {
    clock = std::make_unique<rt::SystemSeedClock>();
  }
#ifdef __GLIBC__
  // One heap for all the program's threads. The font configuration is read
  // on a thread of its own and the pictures are drawn on another: each would
  // otherwise keep a heap of its own, half empty, for as long as the game runs.
  mallopt(M_ARENA_MAX, 1);
#endif
  window::FontConfigPreload fontConfig;
  previousHandler = qInstallMessageHandler(startupMessages);
  QApplication app(argc, argv);
  startingUp = false;
  // Off unless ZRNV_TRACE names a file (see window/qt/trace.h). Opened, and so
  // emptied, only now that there is a display: a start that fails leaves an
  // earlier trace as it was.
  const std::unique_ptr<window::Trace> trace = window::Trace::fromEnvironment();
  QApplication::setApplicationName(QStringLiteral("zarnovik"));
  // The id of the installed desktop entry (packaging/): on Wayland the
  // compositor finds the game's name and icon by it.
  QApplication::setDesktopFileName(QStringLiteral("ru.zarnovik.zarnovik"));
  // Registers the embedded typeface now, before the first window asks for a
  // font, so that no text is ever laid out in a fallback face.
  fontConfig.wait();
  window::gameFontFamily();

  window::PictureService pictures;
  window::Host host(*clock, pictures);
  host.setTrace(trace.get());
  // Off unless ZRNV_RECORD names a file: the game played, as a zarnovik-sim
  // script that replays it (see window/qt/host.h).
  std::ofstream recording;
  if (envSet("ZRNV_RECORD")) {
    recording.open(std::getenv("ZRNV_RECORD"));
    if (!recording) {
      std::fprintf(stderr, "zarnovik: cannot write the recording \"%s\"\n",
                   std::getenv("ZRNV_RECORD"));
      return 2;
    }
    host.setRecording(&recording);
  }
  QObject::connect(&host, &window::Host::finished, &app,
                   [](int status) { QApplication::exit(status); });
  // The window draws its icon once its first frame is out; a message box
  // over it takes the window's.
  host.start();
  return QApplication::exec();
}
