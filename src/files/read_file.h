// SPDX-License-Identifier: GPL-3.0-or-later
// Reading a whole file, bounded, from a regular file only.
//
// The file is looked at before it is opened: a folder, a FIFO, a device or
// a socket is refused at once, naming what it is (so a FIFO with no writer
// never blocks the reader, and /dev/zero is never read); a symbolic link is
// followed to a regular file, or refused with the system's reason (a loop,
// a missing target). The size comes from the file system: a file larger
// than the most the reader takes is refused before a byte is read. The
// file is then opened without blocking and its type and size are checked
// again on the open file; a file that grows while it is read past the most
// is refused too. Every failure is a FileError (file_error.h) with the
// system's reason.
#pragma once

#include "numeric/expected.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace quenlor {

// What a file held when it was read or written: its size, its modification
// time and a hash of its bytes. Two stamps of the same content agree in size
// and hash, whatever the times.
struct FileStamp {
  std::uint64_t size = 0;
  std::int64_t modifiedNs = 0; // since the epoch
  std::uint64_t hash = 0;

  bool sameContent(const FileStamp& other) const {
    return size == other.size && hash == other.hash;
  }
};

// A 64-bit hash of the bytes (FNV-1a): a change is told from none, not a
// defence against forgery.
std::uint64_t contentHash(std::string_view bytes);

struct FileBytes {
  std::string bytes;
  FileStamp stamp;
};

// The file's bytes and stamp, at most `most` bytes.
Expected<FileBytes> readFile(const std::string& path, std::size_t most);

} // namespace quenlor
