// Whole-file reads and the atomic write: a failed write leaves the old file and no litter.
#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

#include "storage/file_io.h"

namespace mw {
namespace {
namespace fs = std::filesystem;

class AtomicWrite : public ::testing::Test {
 protected:
  void SetUp() override {
    char name[] = "/tmp/markwell-storage-XXXXXX";
    ASSERT_NE(::mkdtemp(name), nullptr);
    dir_ = name;
  }
  void TearDown() override {
    fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add);
    fs::remove_all(dir_);
  }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  std::string Read(const std::string& name) const {
    std::string bytes;
    EXPECT_TRUE(ReadFileBytes(Path(name), bytes));
    return bytes;
  }
  size_t Entries() const { return std::distance(fs::directory_iterator(dir_), {}); }
  fs::path dir_;
};

TEST_F(AtomicWrite, WritesAndReplacesWholeFiles) {
  const std::string bytes("1\r\n\0\xFF mixed", 12);
  ASSERT_TRUE(WriteFileAtomically(Path("book.mw"), bytes));
  EXPECT_EQ(Read("book.mw"), bytes);
  ASSERT_TRUE(WriteFileAtomically(Path("book.mw"), "short"));
  EXPECT_EQ(Read("book.mw"), "short");  // a shorter file leaves nothing of the longer one
  // Through a link, the file it points at is replaced and the link stays.
  fs::create_symlink(Path("book.mw"), Path("link.mw"));
  ASSERT_TRUE(WriteFileAtomically(Path("link.mw"), "via link"));
  EXPECT_TRUE(fs::is_symlink(Path("link.mw")));
  EXPECT_EQ(Read("book.mw"), "via link");
  EXPECT_EQ(Entries(), 2u);
  std::string none = "kept";
  EXPECT_FALSE(ReadFileBytes(Path("missing.mw"), none) || ReadFileBytes(dir_.string(), none));
  EXPECT_EQ(none, "kept");
}

TEST_F(AtomicWrite, FailuresLeaveOldFileAndNoTemporary) {
  ASSERT_TRUE(WriteFileAtomically(Path("book.mw"), "old contents"));
  // The disk fills after 5 bytes, or a write reports nothing written.
  int calls = 0;
  auto fillsUp = [&calls](int fd, const void* data, size_t size) -> ssize_t {
    if (calls++ > 0) return errno = ENOSPC, -1;
    return ::write(fd, data, std::min<size_t>(size, 5));
  };
  EXPECT_FALSE(storage_detail::WriteFileAtomicallyWith(Path("book.mw"), "new contents", fillsUp));
  auto nothing = [](int, const void*, size_t) -> ssize_t { return 0; };
  EXPECT_FALSE(storage_detail::WriteFileAtomicallyWith(Path("book.mw"), "new", nothing));
  // A folder that does not exist, a target that is a folder.
  EXPECT_FALSE(WriteFileAtomically(Path("no/such/book.mw"), "x"));
  fs::create_directory(Path("folder.mw"));
  EXPECT_FALSE(WriteFileAtomically(Path("folder.mw"), "x"));
  // A read-only folder (root writes anyway, so only as another user).
  if (::geteuid() != 0) {
    fs::permissions(dir_, fs::perms::owner_write, fs::perm_options::remove);
    EXPECT_FALSE(WriteFileAtomically(Path("book.mw"), "new contents"));
    fs::permissions(dir_, fs::perms::owner_write, fs::perm_options::add);
  }
  EXPECT_EQ(Read("book.mw"), "old contents");
  EXPECT_TRUE(fs::is_directory(Path("folder.mw")));
  EXPECT_EQ(Entries(), 2u);
}

}  // namespace
}  // namespace mw
