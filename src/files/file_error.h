// SPDX-License-Identifier: GPL-3.0-or-later
// What went wrong with a file, as data (the act, the problem, the operating
// system's error number, the file), and its words: the English message the
// driver prints and the Chinese notice the window shows.
//
//   problem         English (after "cannot read|write FILE: ")   Chinese
//   System ENOSPC   No space left on device (strerror's words)   磁盘空间不足
//   System EACCES   Permission denied                            没有读取权限 / 没有写入权限
//   System EROFS    Read-only file system                        文件系统只读
//   System ENOENT   No such file or directory                    文件或文件夹不存在
//   Folder          it is a folder, not a file                   这是文件夹，不是文件
//   Fifo            it is a FIFO (named pipe), not a regular file
//                                                                这是命名管道（FIFO），不是普通文件
//   TooLarge        it is larger than 64 MiB                     文件大于 64 MiB
// and so on for every kind below; an error number without words of its own
// is told with strerror's words in both.
#pragma once

#include "numeric/expected.h"

#include <cstdint>
#include <optional>
#include <string>

namespace quenlor {

enum class FileAct { Read, Write };

enum class FileProblem {
  System,          // the operating system refused: see `error`
  Folder,          // a folder where a file was wanted
  Fifo,            // not a regular file: a named pipe,
  CharacterDevice, // a device (/dev/zero),
  BlockDevice,     //
  Socket,          // a socket,
  OtherType,       // or something else
  TooLarge,        // larger than `limit` bytes
};

struct FileError {
  FileAct act;
  FileProblem problem;
  std::string path;
  int error = 0;           // System: errno
  std::uint64_t limit = 0; // TooLarge: the most bytes taken
};

// The error of the act on the file, from errno (EISDIR counts as Folder).
FileError systemError(FileAct act, const std::string& path, int error);

// A file of this type (st_mode) for an act that needs a regular file: none
// for a regular file, else the error naming what it is.
std::optional<FileError> notRegular(FileAct act, const std::string& path, unsigned mode);

// "cannot write FILE: No space left on device" and "磁盘空间不足（FILE）".
Failure fileFailure(const FileError& error);

} // namespace quenlor
