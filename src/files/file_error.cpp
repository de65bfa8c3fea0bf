// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/file_error.h"

#include "text/catalogue.h"

#include <cerrno>
#include <cstring>

#include <sys/stat.h>

namespace quenlor {
namespace {

constexpr unsigned kMebibyteShift = 20;

std::string sizeText(std::uint64_t bytes) {
  return bytes >= (1u << kMebibyteShift) ? std::to_string(bytes >> kMebibyteShift) + " MiB"
                                         : std::to_string(bytes) + " bytes";
}

// The error numbers a surveyor meets have Chinese words of their own; others
// are told as the system tells them.
Say problemOfErrno(int error, FileAct act) {
  switch (error) {
  case ENOSPC:
  case EDQUOT: return Say::FileNoSpace;
  case EACCES:
  case EPERM:
    return act == FileAct::Read ? Say::FileNoPermissionToRead : Say::FileNoPermissionToWrite;
  case EROFS: return Say::FileReadOnlySystem;
  case ENOENT: return Say::FileMissing;
  case ENOTDIR: return Say::FileNotAFolderOnThePath;
  case ELOOP: return Say::FileSymbolicLinkLoop;
  case ENAMETOOLONG: return Say::FileNameTooLong;
  case EFBIG: return Say::FileTooBigForTheSystem;
  case EIO: return Say::FileInputOutput;
  case EMFILE:
  case ENFILE: return Say::FileTooManyOpen;
  default: return Say::FileSystemOther;
  }
}

Say problemOf(const FileError& e) {
  switch (e.problem) {
  case FileProblem::System: return problemOfErrno(e.error, e.act);
  case FileProblem::Folder: return Say::FileFolder;
  case FileProblem::Fifo: return Say::FileFifo;
  case FileProblem::CharacterDevice: return Say::FileCharacterDevice;
  case FileProblem::BlockDevice: return Say::FileBlockDevice;
  case FileProblem::Socket: return Say::FileSocket;
  case FileProblem::OtherType: return Say::FileNotRegular;
  case FileProblem::TooLarge: return Say::FileLargerThan;
  }
  return Say::FileNotRegular;
}

// The one blank of the problem's sentence: the system's words or the size.
std::string problemBlank(const FileError& e) {
  if (e.problem == FileProblem::System)
    return std::strerror(e.error);
  return e.problem == FileProblem::TooLarge ? sizeText(e.limit) : std::string();
}

} // namespace

FileError systemError(FileAct act, const std::string& path, int error) {
  if (error == EISDIR)
    return {act, FileProblem::Folder, path};
  return {act, FileProblem::System, path, error};
}

std::optional<FileError> notRegular(FileAct act, const std::string& path, unsigned mode) {
  if (S_ISREG(mode))
    return std::nullopt;
  const FileProblem problem = S_ISDIR(mode)    ? FileProblem::Folder
                              : S_ISFIFO(mode) ? FileProblem::Fifo
                              : S_ISCHR(mode)  ? FileProblem::CharacterDevice
                              : S_ISBLK(mode)  ? FileProblem::BlockDevice
                              : S_ISSOCK(mode) ? FileProblem::Socket
                                               : FileProblem::OtherType;
  return FileError{act, problem, path};
}

Failure fileFailure(const FileError& error) {
  const Say frame = error.act == FileAct::Read ? Say::FileCannotRead : Say::FileCannotWrite;
  return failure(frame, error.path, problemOf(error), {problemBlank(error)});
}

} // namespace quenlor
