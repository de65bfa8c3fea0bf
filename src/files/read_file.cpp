// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/read_file.h"

#include "files/file_error.h"

#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quenlor {
namespace {

constexpr std::uint64_t kFnvOffset = 14695981039346656037ull;
constexpr std::uint64_t kFnvPrime = 1099511628211ull;
constexpr std::size_t kReadBlock = 1 << 16;
constexpr std::int64_t kNsPerSecond = 1'000'000'000;

// The file's type and size, or why it cannot be read.
std::optional<FileError> unreadable(const std::string& path, const struct stat& info,
                                    std::size_t most) {
  if (auto problem = notRegular(FileAct::Read, path, info.st_mode))
    return problem;
  if (static_cast<std::uint64_t>(info.st_size) > most)
    return FileError{FileAct::Read, FileProblem::TooLarge, path, 0, most};
  return std::nullopt;
}

class OpenFile {
public:
  explicit OpenFile(int fd) : fd_(fd) {}
  ~OpenFile() {
    if (fd_ >= 0)
      ::close(fd_);
  }
  OpenFile(const OpenFile&) = delete;
  OpenFile& operator=(const OpenFile&) = delete;
  int fd() const { return fd_; }

private:
  int fd_;
};

} // namespace

std::uint64_t contentHash(std::string_view bytes) {
  std::uint64_t hash = kFnvOffset;
  for (const char c : bytes) {
    hash ^= static_cast<unsigned char>(c);
    hash *= kFnvPrime;
  }
  return hash;
}

Expected<FileBytes> readFile(const std::string& path, std::size_t most) {
  const auto failed = [&](int error) {
    return fileFailure(systemError(FileAct::Read, path, error));
  };
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0)
    return failed(errno);
  if (const auto problem = unreadable(path, info, most))
    return fileFailure(*problem);
  const OpenFile file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (file.fd() < 0)
    return failed(errno);
  // Replaced between the look and the open: look again.
  if (::fstat(file.fd(), &info) != 0)
    return failed(errno);
  if (const auto problem = unreadable(path, info, most))
    return fileFailure(*problem);

  // Read straight into the text, one byte past the size the file gave, to
  // see it end (or grow).
  FileBytes read;
  std::string& bytes = read.bytes;
  bytes.resize(std::min(static_cast<std::size_t>(info.st_size), most) + 1);
  std::size_t have = 0;
  for (;;) {
    if (have == bytes.size()) {
      if (have > most)
        return fileFailure({FileAct::Read, FileProblem::TooLarge, path, 0, most});
      bytes.resize(std::min(have + std::max(have, kReadBlock), most + 1));
    }
    const ssize_t got = ::read(file.fd(), bytes.data() + have, bytes.size() - have);
    if (got < 0 && errno == EINTR)
      continue;
    if (got < 0)
      return failed(errno);
    if (got == 0)
      break;
    have += static_cast<std::size_t>(got);
  }
  bytes.resize(have);
  read.stamp = {read.bytes.size(),
                std::int64_t(info.st_mtim.tv_sec) * kNsPerSecond + info.st_mtim.tv_nsec,
                contentHash(read.bytes)};
  return read;
}

} // namespace quenlor
