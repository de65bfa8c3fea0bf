// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/save_file.h"

#include "files/file_error.h"
#include "text/catalogue.h"
#include "text/utf8.h"

#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <ostream>
#include <random>
#include <set>
#include <streambuf>

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quenlor {
namespace {

// The temporary file's name: "." NAME ".quenlor-" PID "-" 8 hex digits ".part".
constexpr std::string_view kLeftoverMark = ".quenlor-";
constexpr std::string_view kLeftoverEnd = ".part";
constexpr std::size_t kRandomDigits = 8;
// The most of the target's name a temporary name repeats (bytes), so that
// it stays within the 255 bytes a name may have.
constexpr std::size_t kLongestRepeatedName = 200;
constexpr int kNameTries = 16;
// The sink's buffer: writes of the system reach the file in blocks.
constexpr std::size_t kSinkBlock = 1 << 16;
constexpr mode_t kNewFileMode = 0666; // less the umask
constexpr mode_t kPermissionBits = 07777;

// Set by tests on one thread, read by saves on any (a window writes its kept
// copy on a thread of its own).
std::mutex faultMutex;
std::optional<WriteFault> writeFault;

std::optional<WriteFault> currentFault() {
  const std::lock_guard lock(faultMutex);
  return writeFault;
}

std::string folderOf(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
}

std::string nameOf(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string randomDigits() {
  static std::mutex mutex;
  static std::mt19937_64 engine = [] {
    std::random_device device;
    const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
    return std::mt19937_64(device() ^ std::uint64_t(now) ^ (std::uint64_t(::getpid()) << 32));
  }();
  const std::lock_guard lock(mutex);
  char digits[kRandomDigits + 1];
  std::snprintf(digits, sizeof digits, "%08x", unsigned(engine() & 0xffffffffu));
  return digits;
}

std::string temporaryPath(const std::string& target) {
  return folderOf(target) + "/." +
         std::string(wholeCharacters(nameOf(target), kLongestRepeatedName)) +
         std::string(kLeftoverMark) + std::to_string(::getpid()) + "-" + randomDigits() +
         std::string(kLeftoverEnd);
}

// The process whose temporary file the name is, or nothing.
std::optional<pid_t> leftoverOf(std::string_view name) {
  if (!name.starts_with('.') || !name.ends_with(kLeftoverEnd))
    return std::nullopt;
  name.remove_suffix(kLeftoverEnd.size());
  if (name.size() < kRandomDigits + 1 || name[name.size() - kRandomDigits - 1] != '-' ||
      name.substr(name.size() - kRandomDigits).find_first_not_of("0123456789abcdef") !=
          std::string_view::npos)
    return std::nullopt;
  name.remove_suffix(kRandomDigits + 1);
  const auto mark = name.rfind(kLeftoverMark);
  if (mark == std::string_view::npos || mark == 0)
    return std::nullopt;
  const std::string_view digits = name.substr(mark + kLeftoverMark.size());
  pid_t pid = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), pid);
  if (digits.empty() || error != std::errc() || end != digits.data() + digits.size() || pid <= 0)
    return std::nullopt;
  return pid;
}

bool running(pid_t pid) { return ::kill(pid, 0) == 0 || errno != ESRCH; }

// Each folder's leftovers are cleared once a process, before its first save
// there.
void clearLeftoversOnce(const std::string& folder) {
  static std::mutex mutex;
  static std::set<std::string> cleared;
  {
    const std::lock_guard lock(mutex);
    if (!cleared.insert(folder).second)
      return;
  }
  clearLeftovers(folder);
}

Failure writeFailure(const std::string& path, int error) {
  return fileFailure(systemError(FileAct::Write, path, error));
}

// The file a save replaces: the target, or the file its link points to, and
// what it is now (nothing when it does not exist yet).
struct Target {
  std::string path;
  std::optional<struct stat> existing;
};

Expected<Target> targetOf(const std::string& path) {
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0) {
    if (errno == ENOENT)
      return Target{path, std::nullopt};
    return writeFailure(path, errno);
  }
  std::string real = path;
  if (S_ISLNK(info.st_mode)) {
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (!resolved)
      return writeFailure(path, errno);
    real = resolved;
    std::free(resolved);
    if (::stat(real.c_str(), &info) != 0)
      return writeFailure(path, errno);
  }
  if (const auto problem = notRegular(FileAct::Write, path, info.st_mode))
    return fileFailure(*problem);
  return Target{real, info};
}

// The temporary file being written: a sink onto it, its writes checked and
// (for tests) failed where a WriteFault says.
class TemporaryFile final : public FileSink {
public:
  TemporaryFile() = default;
  ~TemporaryFile() override { discard(); }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  // Makes a new file of a name of its own beside the target.
  bool create(const std::string& target) {
    fault_ = currentFault();
    for (int i = 0; i < kNameTries; ++i) {
      path_ = temporaryPath(target);
      fd_ =
          ::open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, kNewFileMode);
      if (fd_ >= 0)
        return true;
      if (errno != EEXIST)
        return fail(errno);
    }
    return fail(EEXIST);
  }

  // Takes the file a library wrote at the path it was handed.
  bool adopt(const std::string& path) {
    fault_ = currentFault();
    path_ = path;
    fd_ = ::open(path_.c_str(), O_RDWR | O_NOFOLLOW | O_CLOEXEC);
    if (fd_ < 0)
      return fail(errno);
    struct stat info {};
    if (::fstat(fd_, &info) != 0)
      return fail(errno);
    if (!S_ISREG(info.st_mode))
      return fail(EINVAL);
    written_ = static_cast<std::uint64_t>(info.st_size);
    if (fault_ && written_ > fault_->afterBytes)
      return fail(fault_->error);
    return true;
  }

  bool write(std::string_view bytes) override {
    if (error_ != 0)
      return false;
    if (buffer_.size() + bytes.size() > kSinkBlock && !flush())
      return false;
    if (bytes.size() >= kSinkBlock)
      return put(bytes);
    buffer_ += bytes;
    return true;
  }

  // Makes the file the target: its permissions (and owner) those of the old
  // file, its bytes on the disk, its name the target's, the folder's entry
  // on the disk.
  bool commit(const Target& target) {
    if (!flush())
      return false;
    if (target.existing) {
      const struct stat& old = *target.existing;
      // The old owner where the system lets it; the file stays ours else.
      if ((old.st_uid != ::geteuid() || old.st_gid != ::getegid()) &&
          ::fchown(fd_, old.st_uid, old.st_gid) != 0)
        errno = 0;
      if (::fchmod(fd_, old.st_mode & kPermissionBits) != 0)
        return fail(errno);
    }
    if (::fsync(fd_) != 0)
      return fail(errno);
    const int fd = std::exchange(fd_, -1);
    if (::close(fd) != 0)
      return fail(errno);
    if (::rename(path_.c_str(), target.path.c_str()) != 0)
      return fail(errno);
    path_.clear();
    flushFolder(folderOf(target.path));
    return true;
  }

  int error() const { return error_; }

private:
  bool fail(int error) {
    if (error_ == 0)
      error_ = error;
    return false;
  }

  bool flush() {
    if (!put(buffer_))
      return false;
    buffer_.clear();
    return true;
  }

  bool put(std::string_view bytes) {
    while (!bytes.empty()) {
      std::size_t size = bytes.size();
      if (fault_) {
        if (written_ >= fault_->afterBytes)
          return fail(fault_->error);
        size = std::min<std::uint64_t>(size, fault_->afterBytes - written_);
      }
      const ssize_t wrote = ::write(fd_, bytes.data(), size);
      if (wrote < 0 && errno == EINTR)
        continue;
      if (wrote < 0)
        return fail(errno);
      if (wrote == 0)
        return fail(EIO);
      written_ += static_cast<std::uint64_t>(wrote);
      bytes.remove_prefix(static_cast<std::size_t>(wrote));
    }
    return true;
  }

  // The rename lasts once the folder's entry is on the disk. Some file
  // systems cannot flush a folder; the file's bytes are safe by then anyway.
  static void flushFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
      return;
    ::fsync(fd);
    ::close(fd);
  }

  void discard() {
    if (fd_ >= 0)
      ::close(std::exchange(fd_, -1));
    if (!path_.empty())
      ::unlink(path_.c_str());
    path_.clear();
  }

  std::string path_;
  int fd_ = -1;
  std::string buffer_;
  std::uint64_t written_ = 0;
  int error_ = 0;
  std::optional<WriteFault> fault_; // as it was when the file was made
};

// A stream onto a sink, for writers that write to a std::ostream.
class SinkBuffer final : public std::streambuf {
public:
  explicit SinkBuffer(FileSink& sink) : sink_(sink) {}

protected:
  int_type overflow(int_type c) override {
    if (traits_type::eq_int_type(c, traits_type::eof()))
      return traits_type::not_eof(c);
    const char byte = traits_type::to_char_type(c);
    return sink_.write(std::string_view(&byte, 1)) ? c : traits_type::eof();
  }
  std::streamsize xsputn(const char* bytes, std::streamsize size) override {
    return sink_.write(std::string_view(bytes, std::size_t(size))) ? size : 0;
  }

private:
  FileSink& sink_;
};

} // namespace

Expected<Done> saveFile(const std::string& path, const FileWriter& write) {
  const auto target = targetOf(path);
  if (!target)
    return target.failure();
  clearLeftoversOnce(folderOf(target->path));
  TemporaryFile file;
  if (!file.create(target->path))
    return writeFailure(path, file.error());
  Expected<Done> wrote = write(file);
  if (file.error() != 0)
    return writeFailure(path, file.error());
  if (!wrote)
    return wrote;
  if (!file.commit(*target))
    return writeFailure(path, file.error());
  return Done{};
}

Expected<Done> saveBytes(const std::string& path, std::string_view bytes) {
  return saveFile(path, [&](FileSink& sink) -> Expected<Done> {
    sink.write(bytes);
    return Done{};
  });
}

Expected<Done> saveStream(const std::string& path,
                          const std::function<bool(std::ostream&)>& write) {
  return saveFile(path, [&](FileSink& sink) -> Expected<Done> {
    SinkBuffer buffer(sink);
    std::ostream out(&buffer);
    if (!write(out))
      return failure(Say::FileCannotWriteAtAll, {path});
    return Done{};
  });
}

Expected<Done>
saveThroughPath(const std::string& path,
                const std::function<Expected<Done>(const std::string& scratch)>& write) {
  const auto target = targetOf(path);
  if (!target)
    return target.failure();
  clearLeftoversOnce(folderOf(target->path));
  const std::string scratch = temporaryPath(target->path);
  Expected<Done> wrote = write(scratch);
  TemporaryFile file;
  const bool adopted = file.adopt(scratch); // removed again on any failure
  if (!wrote)
    return wrote;
  if (!adopted || !file.commit(*target))
    return writeFailure(path, file.error());
  return Done{};
}

std::size_t clearLeftovers(const std::string& folder) {
  DIR* entries = ::opendir(folder.c_str());
  if (!entries)
    return 0;
  std::size_t removed = 0;
  while (const dirent* entry = ::readdir(entries)) {
    const auto pid = leftoverOf(entry->d_name);
    struct stat info {};
    if (pid && !running(*pid) &&
        ::fstatat(::dirfd(entries), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
        S_ISREG(info.st_mode) && ::unlinkat(::dirfd(entries), entry->d_name, 0) == 0)
      ++removed;
  }
  ::closedir(entries);
  return removed;
}

void setWriteFault(std::optional<WriteFault> fault) {
  const std::lock_guard lock(faultMutex);
  writeFault = fault;
}

} // namespace quenlor
