// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/command_line.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <charconv>
#include <cstring>

namespace app {

namespace {

constexpr const char* kProgram = "zarnovik";
constexpr const char* kSeedRange = "a whole number from 0 to 18446744073709551615";

// What --help prints below the options: the variables the program reads.
// The manual page's ENVIRONMENT section says the same at more length.
constexpr const char* kEnvironment =
    "\n"
    "Environment:\n"
    "  ZRNV_SEED=N       The same as --seed N; --seed wins when both are given.\n"
    "  ZRNV_TRACE=FILE   Writes timer lateness, frame times and click-to-frame\n"
    "                    times to FILE.\n"
    "  ZRNV_RECORD=FILE  Writes the game played to FILE as a zarnovik-sim script.\n"
    "  QT_QPA_PLATFORM   Qt's window system: wayland, xcb or offscreen.\n"
    "\n"
    "Exit status: 0 when the window is closed, 1 when no display can be opened,\n"
    "2 for a mistake on the command line or in ZRNV_SEED or a recording that\n"
    "cannot be written, 3 after a run-time error of the game.\n";

// Digits only: no sign, no spaces, nothing after them, and within 64 bits.
std::optional<std::uint64_t> wholeNumber(const char* text, std::size_t length) {
  std::uint64_t value = 0;
  const char* end = text + length;
  const auto [stop, error] = std::from_chars(text, end, value);
  if (length == 0 || error != std::errc() || stop != end) return std::nullopt;
  return value;
}

// The parser's help, named after the program wherever it is started from
// (the parser, asked before any Qt application exists, names no program).
std::string helpText(const QCommandLineParser& parser) {
  const QString text = parser.helpText();
  const qsizetype options = text.indexOf(QStringLiteral(" [options]"));
  if (options < 0) return text.toStdString();
  return "Usage: " + std::string(kProgram) + text.mid(options).toStdString();
}

CommandLine mistake(const std::string& message, const QCommandLineParser& parser) {
  CommandLine result;
  result.play = false;
  result.status = kExitUsage;
  result.errors = std::string(kProgram) + ": " + message + "\n" + helpText(parser);
  return result;
}

}  // namespace

CommandLine readCommandLine(const QStringList& arguments, const char* seedVariable) {
  QCommandLineParser parser;
  parser.setApplicationDescription(
      QStringLiteral("New Year slot machine with three reels, played with pretend money."));
  // Options of its own rather than addHelpOption(): that one would also
  // offer --help-all, listing Qt's options, which this program does not take.
  const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                QStringLiteral("Prints this help and ends."));
  const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                   QStringLiteral("Prints the version and ends."));
  const QCommandLineOption seed(
      QStringLiteral("seed"),
      QStringLiteral("Seeds the reels with N (0 to 18446744073709551615) instead of the "
                     "clock, to play the same game again."),
      QStringLiteral("N"));
  parser.addOption(help);
  parser.addOption(version);
  parser.addOption(seed);

  if (!parser.parse(arguments)) return mistake(parser.errorText().toStdString(), parser);
  if (!parser.positionalArguments().isEmpty()) {
    return mistake(
        "unexpected argument '" + parser.positionalArguments().first().toStdString() + "'", parser);
  }

  CommandLine result;
  if (parser.isSet(help)) {
    result.play = false;
    result.output = helpText(parser) + kEnvironment;
    return result;
  }
  if (parser.isSet(version)) {
    result.play = false;
    result.output = std::string(kProgram) + " " + ZRNV_VERSION + "\n";
    return result;
  }
  if (parser.isSet(seed)) {
    // Given more than once, the last one counts, as with most programs.
    const std::string text = parser.value(seed).toStdString();
    result.seed = wholeNumber(text.data(), text.size());
    if (!result.seed) return mistake(std::string("--seed must be ") + kSeedRange, parser);
  } else if (seedVariable != nullptr && *seedVariable != '\0') {
    result.seed = wholeNumber(seedVariable, std::strlen(seedVariable));
    if (!result.seed) {
      result.play = false;
      result.status = kExitUsage;
      result.errors = std::string(kProgram) + ": ZRNV_SEED must be " + kSeedRange + "\n";
    }
  }
  return result;
}

}  // namespace app
