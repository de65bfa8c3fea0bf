// SPDX-License-Identifier: GPL-3.0-or-later
#include "text/catalogue.h"

#include <cstddef>
#include <iterator>

namespace quenlor {
namespace {

struct Sentence {
  Say say;
  std::string_view english, chinese;
};

// One row a kind, in the order of the kinds.
constexpr Sentence kSentences[] = {
    {Say::FileCannotRead, "cannot read {0}: {1}", "{1}（{0}）"},
    {Say::FileCannotWrite, "cannot write {0}: {1}", "{1}（{0}）"},
    {Say::FileCannotWriteAtAll, "cannot write {0}", "无法写入（{0}）"},
    {Say::FileNoSpace, "{0}", "磁盘空间不足"},
    {Say::FileNoPermissionToRead, "{0}", "没有读取权限"},
    {Say::FileNoPermissionToWrite, "{0}", "没有写入权限"},
    {Say::FileReadOnlySystem, "{0}", "文件系统只读"},
    {Say::FileMissing, "{0}", "文件或文件夹不存在"},
    {Say::FileNotAFolderOnThePath, "{0}", "路径中有一项不是文件夹"},
    {Say::FileSymbolicLinkLoop, "{0}", "符号链接循环"},
    {Say::FileNameTooLong, "{0}", "文件名太长"},
    {Say::FileTooBigForTheSystem, "{0}", "文件太大"},
    {Say::FileInputOutput, "{0}", "磁盘读写出错"},
    {Say::FileTooManyOpen, "{0}", "打开的文件太多"},
    {Say::FileSystemOther, "{0}", "系统错误：{0}"},
    {Say::FileFolder, "it is a folder, not a file", "这是文件夹，不是文件"},
    {Say::FileFifo, "it is a FIFO (named pipe), not a regular file",
     "这是命名管道（FIFO），不是普通文件"},
    {Say::FileCharacterDevice, "it is a character device, not a regular file",
     "这是字符设备，不是普通文件"},
    {Say::FileBlockDevice, "it is a block device, not a regular file", "这是块设备，不是普通文件"},
    {Say::FileSocket, "it is a socket, not a regular file", "这是套接字，不是普通文件"},
    {Say::FileNotRegular, "it is not a regular file", "这不是普通文件"},
    {Say::FileLargerThan, "it is larger than {0}", "文件大于 {0}"},
    {Say::ElementsWithoutGeometry, "the route has no geometry, so no elements (see 'route check')",
     "路线没有几何线形，没有线元可导出"},
    {Say::ElementsDirectionJumps,
     "the route's direction jumps at {0} (an angle point, or curves that overlap: see 'route "
     "check'): its elements cannot be chained from BP",
     "路线在 {0} 处方向不连续（无曲线的转折点或曲线重叠，见检查），不能写成线元表"},
};

constexpr bool inOrder() {
  for (std::size_t i = 0; i < std::size(kSentences); ++i)
    if (static_cast<std::size_t>(kSentences[i].say) != i)
      return false;
  return true;
}
static_assert(inOrder(), "one sentence a kind, in the order of the kinds");

const Sentence& sentence(Say say) { return kSentences[static_cast<std::size_t>(say)]; }

// The pattern with "{N}" replaced by the Nth blank.
std::string filled(std::string_view pattern, std::initializer_list<std::string_view> blanks) {
  std::string text;
  text.reserve(pattern.size());
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const bool blank = pattern[i] == '{' && i + 2 < pattern.size() && pattern[i + 2] == '}' &&
                       pattern[i + 1] >= '0' && pattern[i + 1] <= '9';
    if (!blank) {
      text += pattern[i];
      continue;
    }
    const auto n = static_cast<std::size_t>(pattern[i + 1] - '0');
    if (n < blanks.size())
      text += *(blanks.begin() + n);
    i += 2;
  }
  return text;
}

} // namespace

std::string english(Say say, std::initializer_list<std::string_view> blanks) {
  return filled(sentence(say).english, blanks);
}

std::string chinese(Say say, std::initializer_list<std::string_view> blanks) {
  return filled(sentence(say).chinese, blanks);
}

Failure failure(Say say, std::initializer_list<std::string_view> blanks) {
  return {english(say, blanks), chinese(say, blanks)};
}

Failure failure(Say frame, std::string_view subject, Say say,
                std::initializer_list<std::string_view> blanks) {
  return {english(frame, {subject, english(say, blanks)}),
          chinese(frame, {subject, chinese(say, blanks)})};
}

} // namespace quenlor
