// This platform's listing and reads: names sorted byte by byte however long their common
// beginning; a short read ends a file only where the file ended when it was opened, so a file
// that shrinks or grows while it is read is still read right, and one whose size said nothing
// (0 at the open) is read until a read brings nothing.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>

#include "platform/posix_file_system.h"
#include "support/temp_dir.h"

namespace zentil {
namespace {

using testing::TempDir;

// Reads `file` to its end with a buffer of `size` bytes; appends what it read to `bytes`.
Status read_all(InputFile& file, std::size_t size, std::string& bytes) {
  std::vector<char> buffer(size);
  for (;;) {
    Result<std::size_t> n = file.read(buffer);
    if (!n.ok()) return n.error();
    if (*n == 0) return {};
    bytes.append(buffer.data(), *n);
  }
}

TEST(PosixListing, SortsByBytesPastLongCommonBeginnings) {
  TempDir dir;
  std::vector<std::string> names = {"abcdefghijklmnopq2",
                                    "abcdefghijklmnopq10",
                                    "abcdefghijklmnop",
                                    "abcdefghijklmno",
                                    "abcdefgh",
                                    "abcdefghi",
                                    "Z",
                                    "a",
                                    "a b",
                                    "\xc3\xa9t\xc3\xa9",
                                    "\xff",
                                    "obj000010.spc",
                                    "obj000009.spc",
                                    "obj0000100.spc",
                                    "~",
                                    "abcdefghijklmnopq1"};
  for (const auto& name : names) dir.write(name, "");
  PosixFileSystem fs;
  auto listing = fs.list_folder(dir.path(), "");
  ASSERT_TRUE(listing.ok());
  std::vector<std::string> got;
  for (const auto& e : *listing) got.push_back(e.name);
  std::sort(names.begin(), names.end());  // std::string compares bytes as unsigned
  EXPECT_EQ(got, names);
}

TEST(PosixInput, ReadsWholeFilesWithAnyBuffer) {
  TempDir dir;
  for (const std::size_t length : {0u, 1u, 4095u, 4096u, 4097u, 300000u}) {
    std::string text(length, 'a');
    for (std::size_t i = 0; i < length; i += 7) text[i] = static_cast<char>('0' + i % 10);
    const std::string path = dir.write("f", text);
    for (const std::size_t buffer : {1u, 4096u, 262144u}) {
      PosixFileSystem fs;
      auto file = fs.open_input(path);
      ASSERT_TRUE(file.ok());
      std::string got;
      ASSERT_TRUE(read_all(**file, buffer, got).ok());
      EXPECT_EQ(got, text) << length << " bytes, buffer " << buffer;
    }
  }
}

TEST(PosixInput, FileThatShrinksWhileOpenEndsWhereItNowEnds) {
  TempDir dir;
  const std::string path = dir.write("f", std::string(1000, 'x'));
  PosixFileSystem fs;
  auto file = fs.open_input(path);
  ASSERT_TRUE(file.ok());
  ASSERT_EQ(::truncate(path.c_str(), 10), 0);
  std::string got;
  ASSERT_TRUE(read_all(**file, 4096, got).ok());
  EXPECT_EQ(got, std::string(10, 'x'));
  auto size = (*file)->size();
  ASSERT_TRUE(size.ok());
  EXPECT_EQ(*size, 10);
}

TEST(PosixInput, FileThatGrowsWhileReadIsReadAsFarAsItReached) {
  TempDir dir;
  const std::string path = dir.write("f", std::string(100, 'x'));
  PosixFileSystem fs;
  auto file = fs.open_input(path);
  ASSERT_TRUE(file.ok());
  std::vector<char> buffer(60);
  std::string got;
  auto n = (*file)->read(buffer);  // a full read: no end yet
  ASSERT_TRUE(n.ok());
  got.append(buffer.data(), *n);
  std::ofstream(path, std::ios::app) << std::string(50, 'y');
  ASSERT_TRUE(read_all(**file, 60, got).ok());
  EXPECT_EQ(got, std::string(100, 'x') + std::string(50, 'y'));
}

TEST(PosixInput, FileEmptyWhenOpenedIsReadUntilNothingComes) {
  TempDir dir;
  const std::string path = dir.write("f", "");
  PosixFileSystem fs;
  auto file = fs.open_input(path);
  ASSERT_TRUE(file.ok());
  std::ofstream(path, std::ios::app) << "0123456789";
  std::vector<char> buffer(4096);
  auto n = (*file)->read(buffer);  // short, but the size at the open said nothing
  ASSERT_TRUE(n.ok());
  EXPECT_EQ(*n, 10u);
  std::ofstream(path, std::ios::app) << "abcde";
  std::string rest;
  ASSERT_TRUE(read_all(**file, 4096, rest).ok());
  EXPECT_EQ(rest, "abcde");
}

}  // namespace
}  // namespace zentil
