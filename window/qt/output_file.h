// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A file the game writes while it plays (the recording, the trace), opened
// with care and written a line at a time.
//
// Opening never follows a symbolic link (it would truncate the link's
// target) and never waits for the reader of a FIFO; nothing is emptied until
// truncate(), so that a start that fails on another file leaves this one as
// it was. "/dev/fd/N", "/proc/self/fd/N", "/dev/stdout" and "/dev/stderr"
// name a descriptor the program was given (a shell's `>(...)` or a pipe) and
// write to it. The first write that fails (a full disk, a closed pipe) is
// reported once on standard error; the game plays on, and failed() tells the
// program to end with a non-zero status.

#include <sys/types.h>

#include <cstdio>
#include <memory>
#include <ostream>
#include <streambuf>
#include <string>
#include <string_view>

namespace window {

class OutputFile {
 public:
  // Opens `path` for writing; `what` names it in messages ("the trace").
  // On failure gives nullptr and a message in `error`.
  static std::unique_ptr<OutputFile> open(std::string what, const std::string& path,
                                          std::string& error);
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // Whether `other` is the very same file (the same file through another
  // name, or a link), not a character device both may share.
  bool sameFileAs(const OutputFile& other) const;
  // Empties a regular file it opened; pipes, FIFOs, devices and descriptors
  // the program was given are left as they are.
  void truncate();

  // Removes the file again if opening it created it: for a start that
  // fails, which leaves nothing behind.
  void abandon();

  // Writes `bytes` in full, or reports the first failure.
  void write(std::string_view bytes);
  // Writes `lastLine` and closes the file; later writes are dropped.
  void close(std::string_view lastLine = {});
  bool failed() const { return failed_; }

  // The file as a stream that writes through at every flush.
  std::ostream& stream() { return stream_; }
  // The file as a C stream, line-buffered: each complete line is written as
  // it ends. It belongs to this file, which closes it.
  std::FILE* cFile();

 private:
  OutputFile(std::string what, std::string path, int fd);
  void fail(int error);

  class Buffer final : public std::streambuf {
   public:
    explicit Buffer(OutputFile& file) : file_(file) {}

   protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* s, std::streamsize n) override;

   private:
    OutputFile& file_;
  };

  std::string what_;
  std::string path_;
  int fd_;
  dev_t device_ = 0;
  ino_t inode_ = 0;
  bool regular_ = false;
  bool shared_ = false;  // a character device, such as /dev/null
  std::FILE* cFile_ = nullptr;
  bool failed_ = false;
  bool created_ = false;
  Buffer buffer_{*this};
  std::ostream stream_{&buffer_};
};

}  // namespace window
