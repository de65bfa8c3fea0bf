// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/kept_copy.h"

#include "files/file_error.h"
#include "files/read_file.h"
#include "files/save_file.h"
#include "text/catalogue.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quenlor {
namespace {

// More slots than windows anyone opens at once; beyond them nothing is kept.
constexpr int kMostSlots = 64;
constexpr std::size_t kMostMarkBytes = 256;
constexpr std::string_view kMarkEnd = ".quenlor-lock";

bool exists(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0;
}

bool running(long pid) { return pid > 0 && (::kill(pid_t(pid), 0) == 0 || errno != ESRCH); }

std::string markOf(const std::string& path) {
  const auto slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
  return folder + "." + path.substr(slash == std::string::npos ? 0 : slash + 1) +
         std::string(kMarkEnd);
}

// "PID WINDOW": the process and the window that left a mark.
std::optional<std::pair<long, long>> readMark(const std::string& mark) {
  const auto read = readFile(mark, kMostMarkBytes);
  if (!read)
    return std::nullopt;
  long pid = 0, window = 0;
  if (std::sscanf(read->bytes.c_str(), "%ld %ld", &pid, &window) != 2)
    return std::nullopt;
  return std::pair{pid, window};
}

} // namespace

KeptCopy::~KeptCopy() { unlock(); }

std::string KeptCopy::pathOf(int slot, const char* suffix) const {
  return folder_ + "/kept-" + std::to_string(slot) + suffix;
}

bool KeptCopy::lock(int slot) {
  const int fd =
      ::open(pathOf(slot, ".lock").c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0)
    return false;
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    return false;
  }
  unlock();
  slot_ = slot;
  lockFd_ = fd;
  writtenSource_.reset();
  return true;
}

void KeptCopy::unlock() {
  if (lockFd_ >= 0)
    ::close(lockFd_);
  lockFd_ = -1;
  slot_ = 0;
}

bool KeptCopy::adoptLeft() {
  for (int slot = 1; slot <= kMostSlots; ++slot) {
    if (slot != slot_ && exists(pathOf(slot, ".csv")) && lock(slot))
      return true;
  }
  return false;
}

Expected<Done> KeptCopy::write(std::string_view text, const std::string& source) {
  std::error_code made;
  std::filesystem::create_directories(folder_, made);
  if (made)
    return fileFailure(systemError(FileAct::Write, folder_, made.value()));
  for (int slot = 1; slot_ == 0 && slot <= kMostSlots; ++slot)
    if (!exists(pathOf(slot, ".csv")))
      lock(slot);
  if (slot_ == 0)
    return failure(Say::WindowKeptCopyFull, {folder_});
  // The source first: a copy is only ever found with the path it belongs
  // to, whenever the process is killed between the two.
  if (writtenSource_ != source) {
    if (const auto saved = saveBytes(sourcePath(), source); !saved)
      return saved;
    writtenSource_ = source;
  }
  return saveBytes(copyPath(), text);
}

void KeptCopy::remove() {
  if (slot_ == 0)
    return;
  ::unlink(copyPath().c_str());
  ::unlink(sourcePath().c_str());
  writtenSource_.reset();
}

CopyWriter::CopyWriter(KeptCopy& copy, std::function<void(const Outcome&)> listener)
    : copy_(copy), listener_(std::move(listener)), thread_([this] { run(); }) {}

CopyWriter::~CopyWriter() {
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

unsigned long CopyWriter::post(Text text, std::string source) {
  std::unique_lock lock(mutex_);
  const unsigned long serial = ++serial_;
  waiting_ = Job{serial, std::move(text), std::move(source)};
  lock.unlock();
  changed_.notify_all();
  return serial;
}

std::optional<CopyWriter::Outcome> CopyWriter::wait() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return !waiting_ && !busy_; });
  return last_;
}

unsigned long CopyWriter::now(const std::function<void(KeptCopy&)>& act) {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return !waiting_ && !busy_; });
  busy_ = true; // the thread keeps off the copy meanwhile
  const unsigned long serial = ++serial_;
  lock.unlock();
  act(copy_);
  lock.lock();
  busy_ = false;
  lock.unlock();
  changed_.notify_all();
  return serial;
}

// Each copy waiting is written in turn; once told to stop, what waits is
// written first.
void CopyWriter::run() {
  for (;;) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return (waiting_ && !busy_) || (stopping_ && !waiting_); });
    if (!waiting_)
      return;
    Job job = std::move(*waiting_);
    waiting_.reset();
    busy_ = true;
    lock.unlock();
    const Expected<std::string> text = job.text();
    Outcome outcome{job.serial,
                    text ? copy_.write(*text, job.source) : Expected<Done>(text.failure())};
    lock.lock();
    busy_ = false;
    last_ = outcome;
    lock.unlock();
    changed_.notify_all();
    listener_(outcome);
  }
}

OpenMark::OpenMark() {
  static std::atomic<long> windows{0};
  window_ = ++windows;
}

std::optional<long> OpenMark::take(const std::string& path) {
  const std::string mark = markOf(path);
  if (mark == markPath_)
    return std::nullopt;
  release();
  if (const auto other = readMark(mark);
      other && !(other->first == ::getpid() && other->second == window_) && running(other->first))
    return other->first;
  const std::string text = std::to_string(::getpid()) + " " + std::to_string(window_) + "\n";
  if (saveBytes(mark, text))
    markPath_ = mark;
  return std::nullopt;
}

void OpenMark::release() {
  if (markPath_.empty())
    return;
  const auto mine = readMark(markPath_);
  if (mine && mine->first == ::getpid() && mine->second == window_)
    ::unlink(markPath_.c_str());
  markPath_.clear();
}

} // namespace quenlor
