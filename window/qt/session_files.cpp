// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/qt/session_files.h"

#include <fcntl.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <csignal>
#include <cstdlib>

namespace window {
namespace {

constexpr int kEndingSignals[] = {SIGTERM, SIGINT, SIGHUP, SIGQUIT};

// The one set of files open, for the exit hook and the signal handler.
SessionFiles* current = nullptr;
// The signal handler's way into the event loop: it writes the signal's
// number here, and the loop reads it.
int signalPipe[2] = {-1, -1};

void onSignal(int signal) {
  const int saved = errno;
  const unsigned char number = static_cast<unsigned char>(signal);
  (void)!::write(signalPipe[1], &number, 1);
  errno = saved;
}

bool isSet(const char* path) {
  return path != nullptr && *path != '\0';
}

}  // namespace

std::unique_ptr<SessionFiles> SessionFiles::open(const char* recordPath, const char* tracePath,
                                                 std::string& error) {
  std::unique_ptr<SessionFiles> files(new SessionFiles);
  std::unique_ptr<OutputFile> trace;
  if (isSet(recordPath)) {
    files->record_ = OutputFile::open("the recording", recordPath, error);
    if (!files->record_) return nullptr;
  }
  if (isSet(tracePath)) {
    trace = OutputFile::open("the trace", tracePath, error);
    if (!trace) {
      if (files->record_) files->record_->abandon();
      return nullptr;
    }
  }
  if (files->record_ && trace && files->record_->sameFileAs(*trace)) {
    error = "the recording and the trace cannot be one file (\"" + std::string(recordPath) +
            "\", \"" + tracePath + "\")";
    files->record_->abandon();
    return nullptr;
  }
  // Both open: only now is either emptied.
  if (files->record_) files->record_->truncate();
  if (trace) {
    trace->truncate();
    files->traceFile_ = std::move(trace);
    files->trace_ = std::make_unique<Trace>(files->traceFile_->cFile());
  }
  // The toolkit ends the program with exit() when it loses the display.
  static const bool hooked = std::atexit([] {
                               if (current != nullptr) current->close();
                             }) == 0;
  (void)hooked;
  current = files.get();
  return files;
}

SessionFiles::~SessionFiles() {
  close();
  if (current == this) current = nullptr;
}

void SessionFiles::catchSignals() {
  // A reader that goes away is a write error, told and survived.
  std::signal(SIGPIPE, SIG_IGN);
  if (signalPipe[0] < 0 && pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
  notifier_ = std::make_unique<QSocketNotifier>(signalPipe[0], QSocketNotifier::Read);
  connect(notifier_.get(), &QSocketNotifier::activated, this, [this] { signalled(); });
  struct sigaction action {};
  action.sa_handler = onSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (const int signal : kEndingSignals) sigaction(signal, &action, nullptr);
}

void SessionFiles::signalled() {
  unsigned char number = 0;
  if (::read(signalPipe[0], &number, 1) != 1) return;
  close();
  // Ends as the signal would have ended it, with the status a shell expects.
  std::signal(number, SIG_DFL);
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, number);
  sigprocmask(SIG_UNBLOCK, &set, nullptr);
  std::raise(number);
  std::_Exit(128 + number);
}

void SessionFiles::close() {
  if (closed_) return;
  closed_ = true;
  trace_.reset();
  if (traceFile_) traceFile_->close();
  if (record_) record_->close(lastLine_ ? lastLine_() : std::string());
}

int SessionFiles::end(int status) {
  close();
  const bool lost = (record_ && record_->failed()) || (traceFile_ && traceFile_->failed());
  return status == 0 && lost ? kWriteFailedStatus : status;
}

}  // namespace window
