// SPDX-License-Identifier: GPL-3.0-or-later
// The one way the program writes a file: the route file, the kept copies,
// every export, from the window and the driver alike.
//
// The bytes go to a temporary file in the target's own folder, named
//   .NAME.quenlor-PID-XXXXXXXX.part
// (NAME the target's name, PID the writing process), every write checked,
// then flushed to the disk (fsync) and renamed over the target, and the
// folder flushed too, so the target is the old file or the new one, never
// half of either, whatever happens: a full disk, a kill, a crash. On any
// failure the old file is left byte for byte, the temporary file removed,
// and the failure names the file and the system's reason (file_error.h).
//
// The target must be a regular file or not yet exist: a folder, a FIFO, a
// device or a socket is refused at once, naming what it is, and left as it
// is. A symbolic link is followed: the file it points to is replaced and
// the link stays; a link to nothing, or a loop, is refused. A file that
// existed keeps its permissions (and its owner, where the system lets it);
// a new one gets the usual ones (0666 less the umask).
//
// A crash's temporary files are cleared when they are next met: before its
// first save into a folder a process removes the leftovers there of every
// process no longer running (the window also clears its data folder at
// start).
#pragma once

#include "numeric/expected.h"

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

namespace quenlor {

// Where a writer puts the file's bytes, in pieces as they come. After the
// first failed write it takes nothing more and the save fails with it.
class FileSink {
public:
  virtual ~FileSink() = default;
  // False once a write has failed.
  virtual bool write(std::string_view bytes) = 0;
};

// Writes the whole file onto the sink; a failure of the writer's own (no
// rows to write, a library's error) saves nothing and is the answer. A
// failed write of the sink is the answer whatever the writer says.
using FileWriter = std::function<Expected<Done>(FileSink& sink)>;

Expected<Done> saveFile(const std::string& path, const FileWriter& write);
Expected<Done> saveBytes(const std::string& path, std::string_view bytes);
// A writer onto a stream (false: it failed on its own).
Expected<Done> saveStream(const std::string& path, const std::function<bool(std::ostream&)>& write);

// For a library that opens its file by path (libxlsxwriter): it is handed
// the temporary file's path, in the target's folder, writes there and says
// whether it failed; what it wrote then replaces the target as above.
Expected<Done>
saveThroughPath(const std::string& path,
                const std::function<Expected<Done>(const std::string& scratch)>& write);

// Removes the temporary files of processes no longer running from the
// folder; the number removed.
std::size_t clearLeftovers(const std::string& folder);

// For tests: from now on every save fails once `afterBytes` bytes of its
// file are written, with `error` (ENOSPC, EIO ...) as the file system would
// give it; nothing stops it.
struct WriteFault {
  std::uint64_t afterBytes;
  int error;
};
void setWriteFault(std::optional<WriteFault> fault);

} // namespace quenlor
