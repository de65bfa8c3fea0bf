// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/file_error.h"

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

// Words of the error numbers a surveyor meets; others are told as the system
// tells them.
const char* chineseOfErrno(int error, FileAct act) {
  switch (error) {
  case ENOSPC:
  case EDQUOT: return "磁盘空间不足";
  case EACCES:
  case EPERM: return act == FileAct::Read ? "没有读取权限" : "没有写入权限";
  case EROFS: return "文件系统只读";
  case ENOENT: return "文件或文件夹不存在";
  case ENOTDIR: return "路径中有一项不是文件夹";
  case ELOOP: return "符号链接循环";
  case ENAMETOOLONG: return "文件名太长";
  case EFBIG: return "文件太大";
  case EIO: return "磁盘读写出错";
  case EMFILE:
  case ENFILE: return "打开的文件太多";
  default: return nullptr;
  }
}

struct Words {
  std::string english, chinese;
};

Words wordsOf(const FileError& e) {
  switch (e.problem) {
  case FileProblem::System: {
    const char* chinese = chineseOfErrno(e.error, e.act);
    const std::string system = std::strerror(e.error);
    return {system, chinese ? chinese : "系统错误：" + system};
  }
  case FileProblem::Folder: return {"it is a folder, not a file", "这是文件夹，不是文件"};
  case FileProblem::Fifo:
    return {"it is a FIFO (named pipe), not a regular file", "这是命名管道（FIFO），不是普通文件"};
  case FileProblem::CharacterDevice:
    return {"it is a character device, not a regular file", "这是字符设备，不是普通文件"};
  case FileProblem::BlockDevice:
    return {"it is a block device, not a regular file", "这是块设备，不是普通文件"};
  case FileProblem::Socket:
    return {"it is a socket, not a regular file", "这是套接字，不是普通文件"};
  case FileProblem::OtherType: return {"it is not a regular file", "这不是普通文件"};
  case FileProblem::TooLarge:
    return {"it is larger than " + sizeText(e.limit), "文件大于 " + sizeText(e.limit)};
  }
  return {};
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
  const Words words = wordsOf(error);
  const char* verb = error.act == FileAct::Read ? "read" : "write";
  return {std::string("cannot ") + verb + " " + error.path + ": " + words.english,
          words.chinese + "（" + error.path + "）"};
}

} // namespace quenlor
