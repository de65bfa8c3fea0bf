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
// OpenMark: the mark a window leaves beside the route file it has open,
// .NAME.quenlor-lock holding its process and window numbers, as office
// programs do, so that a second window opening the file can say that it is
// open elsewhere. A mark whose process is not running is stale and taken
// over; a window removes its own mark when it lets the file go.
#pragma once

#include "numeric/expected.h"

#include <optional>
#include <string>

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
  // beside the source it came with or an older one); takes a free slot
  // first if none is held.
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
  int slot_ = 0;
  int lockFd_ = -1;
  std::optional<std::string> writtenSource_;
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
