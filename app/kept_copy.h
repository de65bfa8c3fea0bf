// SPDX-License-Identifier: GPL-3.0-or-later
// What keeps a window's route safe beyond its file, in plain files:
//
// KeptCopy: the copy of one window's route in the user's data folder, in a
// slot of its own, so that two windows never write over each other's:
//   kept-N.csv     the route as its route file would hold it
//   kept-N.source  the path of the file it came from (empty for a new route)
//   kept-N.lock    held locked (flock) by the window using slot N
// A window takes the lowest slot that no running window holds and that
// holds no copy. A copy in a slot no window holds is what a window left
// when it closed or crashed: the next window to start adopts it (its slot
// then becomes that window's).
//
// CopyWriter: writes a window's KeptCopy on a thread of its own, so that the
// window never waits for the disk (nor for the copy's text, made there too).
// A copy handed over while another is being written waits; a newer one takes
// the waiting one's place, since only the newest matters. The outcome of each
// write goes to a listener, on the writer's thread.
//
// OpenMark: the mark a window leaves beside the route file it has open,
// .NAME.quenlor-lock holding its process and window numbers, as office
// programs do, so that a second window opening the file can say that it is
// open elsewhere. A mark whose process is not running is stale and taken
// over; a window removes its own mark when it lets the file go.
#pragma once

#include "numeric/expected.h"

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace quenlor {

class KeptCopy {
public:
  explicit KeptCopy(std::string folder) : folder_(std::move(folder)) {}
  ~KeptCopy(); // lets the slot go; its copy stays for the next window
  KeptCopy(const KeptCopy&) = delete;
  KeptCopy& operator=(const KeptCopy&) = delete;

  // Takes the slot of a copy that no window holds; false when there is none.
  bool adoptLeft();
  // Writes the copy, then the source when it changed (a copy always stands
  // beside the source it came with or an older one); makes the folder and
  // takes a free slot first if none is held.
  Expected<Done> write(std::string_view text, const std::string& source);
  // Removes the copy and its source; the slot stays held.
  void remove();

  bool held() const { return slot_ > 0; }
  std::string copyPath() const { return pathOf(slot_, ".csv"); }
  std::string sourcePath() const { return pathOf(slot_, ".source"); }

private:
  std::string pathOf(int slot, const char* suffix) const;
  bool lock(int slot);
  void unlock();

  std::string folder_;
  std::atomic<int> slot_ = 0; // read by the window while its writer takes one
  int lockFd_ = -1;
  std::optional<std::string> writtenSource_;
};

class CopyWriter {
public:
  // The copy's text, made on the writer's thread, or why there is none.
  using Text = std::function<Expected<std::string>()>;
  struct Outcome {
    unsigned long serial; // of what was written, counting from 1
    Expected<Done> kept;
  };
  CopyWriter(KeptCopy& copy, std::function<void(const Outcome&)> listener);
  ~CopyWriter(); // the copy waiting is written first
  CopyWriter(const CopyWriter&) = delete;
  CopyWriter& operator=(const CopyWriter&) = delete;

  // Hands a copy over: its text and the path of the file it came from. Its
  // serial.
  unsigned long post(Text text, std::string source);
  // Waits until no copy waits or is being written; the outcome of the last
  // one written, if any was.
  std::optional<Outcome> wait();
  // Waits until the copy waiting and the one being written are written, then
  // acts on the copy on the caller's thread (a write that must be done now,
  // a removal) while the writer waits. Its serial: every outcome before it
  // is older than what it did.
  unsigned long now(const std::function<void(KeptCopy&)>& act);

private:
  void run();

  KeptCopy& copy_;
  std::function<void(const Outcome&)> listener_;
  std::mutex mutex_;
  std::condition_variable changed_;
  struct Job {
    unsigned long serial;
    Text text;
    std::string source;
  };
  std::optional<Job> waiting_;
  bool busy_ = false, stopping_ = false;
  unsigned long serial_ = 0;
  std::optional<Outcome> last_;
  std::thread thread_; // last: it starts once the rest is made
};

class OpenMark {
public:
  OpenMark();
  ~OpenMark() { release(); }
  OpenMark(const OpenMark&) = delete;
  OpenMark& operator=(const OpenMark&) = delete;

  // Marks the file as open in this window, letting any file marked before
  // go. When another running window has it open, its mark stays and the
  // answer is that window's process.
  std::optional<long> take(const std::string& path);
  void release();

private:
  std::string markPath_; // the mark this window left, if any
  long window_;
};

} // namespace quenlor
