// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/qt/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstring>

namespace window {
namespace {

// The descriptor a path names when it stands for one the program holds
// ("/dev/fd/63" from a shell's `>(...)`), or -1.
int descriptorNamed(std::string_view path) {
  if (path == "/dev/stdout") return STDOUT_FILENO;
  if (path == "/dev/stderr") return STDERR_FILENO;
  for (const std::string_view folder : {"/dev/fd/", "/proc/self/fd/"}) {
    if (path.substr(0, folder.size()) != folder) continue;
    const std::string_view number = path.substr(folder.size());
    int fd = -1;
    const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), fd);
    if (ec == std::errc() && end == number.data() + number.size() && !number.empty()) return fd;
  }
  return -1;
}

std::string quoted(const std::string& what, const std::string& path) {
  return "cannot write " + what + " \"" + path + "\"";
}

}  // namespace

std::unique_ptr<OutputFile> OutputFile::open(std::string what, const std::string& path,
                                             std::string& error) {
  int fd = -1;
  bool created = false;
  if (const int given = descriptorNamed(path); given >= 0) {
    fd = fcntl(given, F_DUPFD_CLOEXEC, 3);
  } else {
    // O_NONBLOCK: a FIFO that no program reads fails at once (ENXIO)
    // instead of holding the start with no window.
    constexpr int kFlags = O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
    fd = ::open(path.c_str(), kFlags);
    if (fd < 0 && errno == ENOENT) {
      fd = ::open(path.c_str(), kFlags | O_CREAT | O_EXCL, 0666);
      created = fd >= 0;
    }
  }
  if (fd < 0) {
    const int e = errno;
    if (e == ELOOP) {
      error = quoted(what, path) + ": it is a symbolic link, which is not followed";
    } else if (e == ENXIO) {
      error = quoted(what, path) + ": it is a FIFO that no program reads";
    } else {
      error = quoted(what, path) + ": " + std::strerror(e);
    }
    return nullptr;
  }
  // From here on a slow reader makes the writer wait, as for any file.
  const int flags = fcntl(fd, F_GETFL);
  if (flags >= 0) fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  std::unique_ptr<OutputFile> file(new OutputFile(std::move(what), path, fd));
  file->created_ = created;
  struct stat st {};
  if (fstat(fd, &st) == 0) {
    file->device_ = st.st_dev;
    file->inode_ = st.st_ino;
    // A descriptor the program was given is the giver's to empty or not
    // (a shell's >> appends to a log that must be kept).
    file->regular_ = S_ISREG(st.st_mode) && descriptorNamed(file->path_) < 0;
    file->shared_ = S_ISCHR(st.st_mode);
  }
  return file;
}

OutputFile::OutputFile(std::string what, std::string path, int fd)
    : what_(std::move(what)), path_(std::move(path)), fd_(fd) {}

OutputFile::~OutputFile() {
  if (cFile_ != nullptr) std::fclose(cFile_);
  if (fd_ >= 0) ::close(fd_);
}

bool OutputFile::sameFileAs(const OutputFile& other) const {
  return !shared_ && device_ == other.device_ && inode_ == other.inode_;
}

void OutputFile::abandon() {
  if (created_) ::unlink(path_.c_str());
  created_ = false;
}

void OutputFile::truncate() {
  if (regular_ && ftruncate(fd_, 0) != 0) fail(errno);
}

void OutputFile::write(std::string_view bytes) {
  while (!bytes.empty() && fd_ >= 0 && !failed_) {
    const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    // A write of nothing would go on for ever: it fails as the disk does.
    if (n <= 0) return fail(n < 0 ? errno : ENOSPC);
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
}

void OutputFile::close(std::string_view lastLine) {
  if (fd_ < 0) return;
  if (cFile_ != nullptr) std::fflush(cFile_);
  write(lastLine);
  if (::close(fd_) != 0 && errno != EINTR) fail(errno);
  fd_ = -1;
}

void OutputFile::fail(int error) {
  if (failed_) return;
  failed_ = true;
  // EPIPE: the program reading a pipe has gone; the rest would be lost too.
  const std::string message = "zarnovik: " + quoted(what_, path_) + ": " + std::strerror(error) +
                              "; the rest of it is lost\n";
  (void)!::write(STDERR_FILENO, message.data(), message.size());
}

OutputFile::Buffer::int_type OutputFile::Buffer::overflow(int_type c) {
  if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
  const char ch = traits_type::to_char_type(c);
  file_.write(std::string_view(&ch, 1));
  return c;
}

std::streamsize OutputFile::Buffer::xsputn(const char* s, std::streamsize n) {
  file_.write(std::string_view(s, static_cast<std::size_t>(n)));
  return n;
}

std::FILE* OutputFile::cFile() {
  if (cFile_ != nullptr) return cFile_;
  cookie_io_functions_t io{};
  io.write = [](void* cookie, const char* buf, std::size_t size) -> ssize_t {
    static_cast<OutputFile*>(cookie)->write(std::string_view(buf, size));
    return static_cast<ssize_t>(size);
  };
  cFile_ = fopencookie(this, "w", io);
  if (cFile_ != nullptr) std::setvbuf(cFile_, nullptr, _IOLBF, 1 << 12);
  return cFile_;
}

}  // namespace window
