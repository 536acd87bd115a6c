// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The files a game writes while it plays: the recording (ZRNV_RECORD, a
// zarnovik-sim script, see recording.h) and the trace (ZRNV_TRACE, see
// trace.h). Both are opened before either is emptied, so that a start that
// fails leaves an earlier file as it was; one file for both is refused.
//
// Nothing is lost at the end, however it comes: each line is written as it
// happens; TERM, INT, HUP and QUIT end the game with its files closed, the
// recording's last line saying that it is complete, and then with the
// signal's usual status; a lost display (the toolkit ends the program)
// closes them the same way. A closed pipe is a write error, not the end of
// the game. A write error is told once on standard error and the game plays
// on; the program then ends with kWriteFailedStatus.

#include <QObject>
#include <functional>
#include <memory>
#include <ostream>
#include <string>

#include "window/qt/output_file.h"
#include "window/qt/trace.h"

class QSocketNotifier;

namespace window {

class SessionFiles final : public QObject {
 public:
  // The program's status when a file could not be opened or written.
  static constexpr int kWriteFailedStatus = 2;

  // Opens the files the paths name (null or empty: none), or gives nullptr
  // and a message in `error`.
  static std::unique_ptr<SessionFiles> open(const char* recordPath, const char* tracePath,
                                            std::string& error);
  ~SessionFiles() override;

  // Catches the signals that end the game (and ignores SIGPIPE); needs the
  // application's event loop.
  void catchSignals();

  // Where the recording is written, or nullptr.
  std::ostream* recording() { return record_ ? &record_->stream() : nullptr; }
  // The line that ends a complete recording (game::Recording::endLine).
  void setRecordingEnd(std::function<std::string()> lastLine) { lastLine_ = std::move(lastLine); }
  Trace* trace() { return trace_.get(); }

  // Closes the files at the end of the game; returns `status`, or
  // kWriteFailedStatus when a file was not written in full and the game
  // itself ended well.
  int end(int status);

 private:
  SessionFiles() = default;
  // Flushes and closes both files, the recording with its last line.
  void close();
  void signalled();

  std::unique_ptr<OutputFile> record_;
  std::unique_ptr<OutputFile> traceFile_;
  std::unique_ptr<Trace> trace_;  // writes to traceFile_
  std::function<std::string()> lastLine_;
  std::unique_ptr<QSocketNotifier> notifier_;
  bool closed_ = false;
};

}  // namespace window
