// SPDX-License-Identifier: GPL-3.0-or-later
// Reading and saving files: only regular files, sizes from the file system,
// and a save that leaves the old file byte for byte whatever fails, with the
// system's reason in English and Chinese.
#include "files/read_file.h"
#include "files/save_file.h"
#include "support/files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace quenlor {
namespace {

namespace fs = std::filesystem;

using test::fileText;

// A process that has ended: its number names no running process.
pid_t endedProcess() {
  const pid_t child = ::fork();
  if (child == 0)
    ::_exit(0);
  ::waitpid(child, nullptr, 0);
  return child;
}

class Files : public ::testing::Test {
protected:
  void SetUp() override {
    folder_ = test::testFolder("quenlor-files");
    fs::create_directories(folder_);
    // A reader that blocks ends the test run here instead of hanging it.
    ::alarm(20);
  }
  void TearDown() override {
    ::alarm(0);
    setWriteFault(std::nullopt);
    ::umount(folder_.c_str()); // where a test mounted one
    fs::remove_all(folder_);
  }
  std::vector<std::string> names() const {
    std::vector<std::string> all;
    for (const auto& entry : fs::directory_iterator(folder_))
      all.push_back(entry.path().filename().string());
    std::sort(all.begin(), all.end());
    return all;
  }
  std::string path(const char* name) const { return (folder_ / name).string(); }
  fs::path folder_;
};

// What is not a regular file is refused at once and named, a FIFO with no
// writer and /dev/zero included; a link is followed.
TEST_F(Files, OnlyRegularFilesAreRead) {
  ASSERT_EQ(::mkfifo(path("fifo").c_str(), 0600), 0);
  fs::create_directory_symlink(folder_, path("to-folder"));
  fs::create_symlink("loop", path("loop"));
  std::ofstream(path("file")) << "bytes";
  fs::create_symlink("file", path("to-file"));
  const struct {
    std::string path, message, notice;
  } cases[] = {
      {path("fifo"), "it is a FIFO (named pipe), not a regular file",
       "这是命名管道（FIFO），不是普通文件"},
      {"/dev/zero", "it is a character device, not a regular file", "这是字符设备，不是普通文件"},
      {path("to-folder"), "it is a folder, not a file", "这是文件夹，不是文件"},
      {path("loop"), "Too many levels of symbolic links", "符号链接循环"},
      {path("none"), "No such file or directory", "文件或文件夹不存在"},
  };
  for (const auto& c : cases) {
    const auto read = readFile(c.path, 100);
    ASSERT_FALSE(read) << c.path;
    EXPECT_EQ(read.error(), "cannot read " + c.path + ": " + c.message);
    EXPECT_EQ(read.notice(), c.notice + "（" + c.path + "）");
  }
  const auto linked = readFile(path("to-file"), 100);
  ASSERT_TRUE(linked) << linked.error();
  EXPECT_EQ(linked->bytes, "bytes");
  EXPECT_EQ(linked->stamp.hash, contentHash("bytes"));
}

// The size the file system gives decides, before a byte is read.
TEST_F(Files, AFileLargerThanTheMostIsRefused) {
  std::ofstream(path("file")) << "12345";
  EXPECT_TRUE(readFile(path("file"), 5));
  const auto large = readFile(path("file"), 4);
  ASSERT_FALSE(large);
  EXPECT_EQ(large.error(), "cannot read " + path("file") + ": it is larger than 4 bytes");
  fs::resize_file(path("file"), (64u << 20) + 1); // sparse: nothing to read
  EXPECT_EQ(readFile(path("file"), 64u << 20).notice(), "文件大于 64 MiB（" + path("file") + "）");
}

// A write that fails after any number of bytes leaves the old file byte for
// byte and no temporary file, and says the system's reason.
TEST_F(Files, AFailedWriteLeavesTheOldFile) {
  std::ofstream(path("old.csv")) << "old bytes";
  const std::string text(200'000, 'x'); // more than the sink's block
  const struct {
    std::uint64_t after;
    int error;
    const char *message, *notice;
  } cases[] = {
      {0, ENOSPC, "No space left on device", "磁盘空间不足"},
      {1, EDQUOT, "Disk quota exceeded", "磁盘空间不足"},
      {65'536, EIO, "Input/output error", "磁盘读写出错"},
      {199'999, EACCES, "Permission denied", "没有写入权限"},
      {100, EROFS, "Read-only file system", "文件系统只读"},
  };
  for (const auto& c : cases) {
    setWriteFault(WriteFault{c.after, c.error});
    const auto saved = saveBytes(path("old.csv"), text);
    ASSERT_FALSE(saved) << c.after;
    EXPECT_EQ(saved.error(), "cannot write " + path("old.csv") + ": " + c.message);
    EXPECT_EQ(saved.notice(), std::string(c.notice) + "（" + path("old.csv") + "）");
    EXPECT_EQ(fileText(path("old.csv")), "old bytes");
    EXPECT_EQ(names(), std::vector<std::string>{"old.csv"});
  }
  setWriteFault(WriteFault{text.size(), ENOSPC}); // room for every byte
  ASSERT_TRUE(saveBytes(path("old.csv"), text));
  EXPECT_EQ(fileText(path("old.csv")), text);
  // A writer that fails on its own saves nothing either.
  EXPECT_FALSE(saveStream(path("old.csv"), [](std::ostream& out) { return !(out << "half"); }));
  EXPECT_EQ(fileText(path("old.csv")), text);
  EXPECT_EQ(names(), std::vector<std::string>{"old.csv"});
}

// A save onto what is not a regular file refuses and leaves it as it is; a
// link is followed and stays a link; permissions stay.
TEST_F(Files, ASaveReplacesOnlyRegularFiles) {
  ASSERT_EQ(::mkfifo(path("fifo").c_str(), 0600), 0);
  fs::create_directory(path("folder"));
  for (const std::string& target : {path("fifo"), path("folder"), std::string("/dev/null")})
    EXPECT_FALSE(saveBytes(target, "x")) << target;
  EXPECT_TRUE(fs::is_fifo(path("fifo")));
  EXPECT_TRUE(fs::is_character_file("/dev/null"));
  EXPECT_EQ(saveBytes(path("fifo"), "x").error(),
            "cannot write " + path("fifo") + ": it is a FIFO (named pipe), not a regular file");

  std::ofstream(path("file")) << "old";
  fs::permissions(path("file"),
                  fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  fs::create_symlink("file", path("link"));
  ASSERT_TRUE(saveBytes(path("link"), "new"));
  EXPECT_TRUE(fs::is_symlink(path("link")));
  EXPECT_EQ(fileText(path("file")), "new");
  EXPECT_EQ(fs::status(path("file")).permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  fs::create_symlink("nowhere", path("dangling"));
  EXPECT_EQ(saveBytes(path("dangling"), "x").error(),
            "cannot write " + path("dangling") + ": No such file or directory");
  // A new file gets the usual permissions: 0666 less the umask.
  const mode_t mask = ::umask(022);
  ASSERT_TRUE(saveBytes(path("new"), "x"));
  ::umask(mask);
  EXPECT_EQ(fs::status(path("new")).permissions(), fs::perms(0644));
}

// The temporary files of a process that is gone are cleared; a running
// process's, and files that only look alike, are not.
TEST_F(Files, LeftoversOfEndedProcessesAreCleared) {
  const std::string dead = std::to_string(endedProcess()), alive = std::to_string(::getpid());
  for (const std::string& name :
       {".r.csv.quenlor-" + dead + "-0123abcd.part", ".r.csv.quenlor-" + alive + "-0123abcd.part",
        ".r.csv.quenlor-" + dead + "-0123ABCD.part", "r.csv.quenlor-" + dead + "-0123abcd.part",
        ".r.csv.quenlor-" + dead + "-0123abcd.partx"})
    std::ofstream(folder_ / name) << "x";
  fs::create_directory(folder_ / (".d.quenlor-" + dead + "-0123abcd.part"));
  EXPECT_EQ(clearLeftovers(folder_.string()), 1u);
  EXPECT_EQ(names().size(), 5u);
  EXPECT_FALSE(fs::exists(folder_ / (".r.csv.quenlor-" + dead + "-0123abcd.part")));
}

// On a small file system filled up, a save fails with the system's reason
// and leaves the old file. Mounting needs root; elsewhere the write fault
// above stands in for it.
TEST_F(Files, AFullFileSystemLeavesTheOldFile) {
  if (::geteuid() != 0)
    GTEST_SKIP() << "mounting a small tmpfs needs root";
  if (::mount("tmpfs", folder_.c_str(), "tmpfs", 0, "size=64k") != 0)
    GTEST_SKIP() << "cannot mount a tmpfs here: " << std::strerror(errno);
  std::ofstream(path("route.csv")) << "old";
  {
    std::ofstream fill(path("fill"), std::ios::binary);
    fill << std::string(60'000, 'x');
  }
  const auto saved = saveBytes(path("route.csv"), std::string(10'000, 'y'));
  ASSERT_FALSE(saved);
  EXPECT_EQ(saved.notice(), "磁盘空间不足（" + path("route.csv") + "）");
  EXPECT_EQ(fileText(path("route.csv")), "old");
  EXPECT_EQ(names(), (std::vector<std::string>{"fill", "route.csv"}));
}

} // namespace
} // namespace quenlor
