// The file layer against odd targets, other users, a full disk and saves killed part-way.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <set>
#include <thread>

#include "book_helpers.h"
#include "storage/file_io.h"

namespace mw {
namespace {
namespace fs = std::filesystem;
using storage_detail::WriteOptions;

constexpr uid_t kNobody = 65534;
const std::string kNew(200000, 'n');  // more than the small disk below holds

std::string Slurp(const fs::path& p) {
  std::string b;
  return ReadFileBytes(p, b) ? b : "none";
}
const char* Seen(const fs::path& p) {
  const std::string b = Slurp(p);
  return b == kNew ? "new" : b == "old" ? "old" : b == "none" ? "none" : "other";
}
void Put(const fs::path& p, const std::string& bytes, mode_t mode, uid_t uid, gid_t gid) {
  std::ofstream(p, std::ios::binary) << bytes;
  ::chmod(p.c_str(), mode);
  EXPECT_EQ(::chown(p.c_str(), uid, gid), 0);
}
void Mkdir(const fs::path& p, mode_t mode, uid_t owner) {
  fs::create_directory(p);
  ::chmod(p.c_str(), mode);
  EXPECT_EQ(::chown(p.c_str(), owner, owner), 0);
}
bool Save(const fs::path& p, std::string_view bytes, WriteOptions options = {}) {
  return storage_detail::WriteFileAtomicallyWith(
      p, bytes, [](int fd, const void* d, size_t n) { return ::write(fd, d, n); }, options);
}
struct stat Stat(const fs::path& p) {
  struct stat st {};
  ::lstat(p.c_str(), &st);
  return st;
}
std::set<std::string> Hidden(const fs::path& d) {  // temporary files, anywhere below d
  std::set<std::string> names;
  for (const auto& e : fs::recursive_directory_iterator(d))
    if (e.path().filename().string()[0] == '.') names.insert(e.path().filename());
  return names;
}

// One row's folder, the user who saves, and another user (the same one where none is
// available); `disk` mounts a 64 KiB tmpfs where allowed, `ext2` a 128 KiB ext2 loop mount (no
// room can be reserved ahead there).
struct Ctx {
  fs::path d;
  uid_t me, other;
  std::function<bool(const fs::path&)> disk, ext2;
};
struct Row {
  const char* name;
  std::function<fs::path(const Ctx&)> setup;  // the target; empty: the row cannot be built
  bool rootSaves, userSaves;
  const char* kept;  // what the target reads after a refused save: "old" or "none"
  std::function<bool(const Ctx&)> holds;  // more on disk
};

const Row kRows[] = {
    {"read-only file", [](const Ctx& c) { Put(c.d / "b.mw", "old", 0444, c.me, c.me); return c.d / "b.mw"; },
     false, false, "old", [](const Ctx& c) { return (Stat(c.d / "b.mw").st_mode & 07777) == 0444; }},
    {"another user's file",
     [](const Ctx& c) { return c.other == c.me ? fs::path() : (Put(c.d / "b.mw", "old", 0604, c.other, c.other), c.d / "b.mw"); },
     true, false, "old",
     [](const Ctx& c) { const struct stat st = Stat(c.d / "b.mw");
                        return st.st_uid == c.other && st.st_gid == c.other && (st.st_mode & 07777) == 0604; }},
    {"group-writable file of another user",
     [](const Ctx& c) { return c.other == c.me ? fs::path() : (Put(c.d / "b.mw", "old", 0664, c.other, c.me), c.d / "b.mw"); },
     true, true, "old",
     [](const Ctx& c) { const struct stat st = Stat(c.d / "b.mw");
                        return st.st_uid == c.other && st.st_gid == c.me && (st.st_mode & 07777) == 0664; }},
    {"dangling link", [](const Ctx& c) { fs::create_symlink("new.mw", c.d / "l.mw"); return c.d / "l.mw"; },
     true, true, "none", [](const Ctx& c) { return fs::is_symlink(c.d / "l.mw") && Seen(c.d / "new.mw") == std::string("new"); }},
    {"chain of links",
     [](const Ctx& c) { Mkdir(c.d / "sub", 0755, c.me); Put(c.d / "sub/b.mw", "old", 0644, c.me, c.me);
                        fs::create_symlink("b.mw", c.d / "sub/l2"); fs::create_symlink("sub/l2", c.d / "l1.mw"); return c.d / "l1.mw"; },
     true, true, "old", [](const Ctx& c) { return fs::is_symlink(c.d / "l1.mw") && fs::is_symlink(c.d / "sub/l2"); }},
    {"link loop", [](const Ctx& c) { fs::create_symlink("l.mw", c.d / "l.mw"); return c.d / "l.mw"; },
     false, false, "none", [](const Ctx& c) { return fs::is_symlink(c.d / "l.mw"); }},
    {"hard links", [](const Ctx& c) { Put(c.d / "b.mw", "old", 0644, c.me, c.me); fs::create_hard_link(c.d / "b.mw", c.d / "twin"); return c.d / "b.mw"; },
     true, true, "old", [](const Ctx& c) { return Seen(c.d / "twin") == std::string("new") && fs::hard_link_count(c.d / "twin") == 2; }},
    {"read-only folder",
     [](const Ctx& c) { Mkdir(c.d / "ro", 0755, c.me); Put(c.d / "ro/b.mw", "old", 0644, c.me, c.me); ::chmod((c.d / "ro").c_str(), 0555); return c.d / "ro/b.mw"; },
     true, true, "old", nullptr},
    {"new file in a read-only folder", [](const Ctx& c) { Mkdir(c.d / "ro", 0555, c.me); return c.d / "ro/n.mw"; },
     false, false, "none", [](const Ctx& c) { return fs::is_empty(c.d / "ro"); }},
    {"FIFO", [](const Ctx& c) { ::mkfifo((c.d / "f.mw").c_str(), 0666); return c.d / "f.mw"; },
     false, false, "none", [](const Ctx& c) { return S_ISFIFO(Stat(c.d / "f.mw").st_mode); }},
    {"folder", [](const Ctx& c) { Mkdir(c.d / "dir.mw", 0777, c.me); return c.d / "dir.mw"; },
     false, false, "none", [](const Ctx& c) { return fs::is_empty(c.d / "dir.mw"); }},
    {"/dev/null", [](const Ctx&) { return fs::path("/dev/null"); },
     false, false, "none", [](const Ctx&) { return S_ISCHR(Stat("/dev/null").st_mode); }},
    {"255-byte name", [](const Ctx& c) { Put(c.d / (std::string(252, 'n') + ".mw"), "old", 0644, c.me, c.me); return c.d / (std::string(252, 'n') + ".mw"); },
     true, true, "old", nullptr},
    {"new file, 255-byte name", [](const Ctx& c) { return c.d / std::string(255, 'm'); }, true, true, "none", nullptr},
    {"full disk", [](const Ctx& c) { return c.disk(c.d) ? (Put(c.d / "b.mw", "old", 0644, c.me, c.me), c.d / "b.mw") : fs::path(); },
     false, false, "old", nullptr},
    {"hard links on a full disk",
     [](const Ctx& c) { if (!c.disk(c.d)) return fs::path();
                        Put(c.d / "b.mw", "old", 0644, c.me, c.me); fs::create_hard_link(c.d / "b.mw", c.d / "twin"); return c.d / "b.mw"; },
     false, false, "old", [](const Ctx& c) { return Seen(c.d / "twin") == std::string("old"); }},
    {"full ext2 disk", [](const Ctx& c) { return c.ext2(c.d) ? (Put(c.d / "b.mw", "old", 0644, c.me, c.me), c.d / "b.mw") : fs::path(); },
     false, false, "old", nullptr},
    {"hard links on a full ext2 disk",
     [](const Ctx& c) { if (!c.ext2(c.d)) return fs::path();
                        Put(c.d / "b.mw", "old", 0644, c.me, c.me); fs::create_hard_link(c.d / "b.mw", c.d / "twin"); return c.d / "b.mw"; },
     false, false, "old", [](const Ctx& c) { return Seen(c.d / "twin") == std::string("old"); }},
};

class Disk : public ::testing::Test {
 protected:
  void SetUp() override {
    char name[] = "/tmp/markwell-files-XXXXXX";
    ASSERT_NE(::mkdtemp(name), nullptr);
    dir_ = name;
    ::chmod(name, 0755);
  }
  void TearDown() override {
    for (const fs::path& m : mounts_) ::umount2(m.c_str(), MNT_DETACH);  // a loop device goes too
    for (const auto& e : fs::recursive_directory_iterator(dir_))  // read-only folders, as a user
      if (!e.is_symlink() && e.is_directory()) fs::permissions(e, fs::perms::owner_all, fs::perm_options::add);
    fs::remove_all(dir_);
  }

  // Builds every row (as the user running the test), then saves kNew over each target as
  // `me`: in this process, or in a child that has become `me`.
  void RunRows(const fs::path& base, uid_t me, uid_t other, WriteOptions options) {
    Mkdir(base, 0755, me);
    auto disk = [this, me](const fs::path& at) {
      const std::string opts = "size=64k,uid=" + std::to_string(me) + ",gid=" + std::to_string(me);
      if (::mount("tmpfs", at.c_str(), "tmpfs", 0, opts.c_str()) != 0) return false;
      mounts_.push_back(at);
      return true;
    };
    auto ext2 = [this, me](const fs::path& at) {
      const std::string image = at.string() + ".img";
      const std::string cmd = "truncate -s 128k '" + image + "' && mkfs.ext2 -q -F '" + image +
                              "' >/dev/null 2>&1 && mount -o loop '" + image + "' '" + at.string() +
                              "' 2>/dev/null";
      if (std::system(cmd.c_str()) != 0) return false;
      mounts_.push_back(at);
      return ::chown(at.c_str(), me, me) == 0 && ::chmod(at.c_str(), 0755) == 0 &&
             (fs::remove_all(at / "lost+found"), true);
    };
    std::vector<Ctx> ctx;
    std::vector<fs::path> targets;
    for (size_t i = 0; i < std::size(kRows); ++i) {
      ctx.push_back({base / std::to_string(i), me, other, disk, ext2});
      Mkdir(ctx.back().d, 0755, me);
      targets.push_back(kRows[i].setup(ctx.back()));
    }
    const bool forked = me != ::geteuid();
    const pid_t child = forked ? ::fork() : 0;
    if (child > 0) {
      int status = -1;
      ::waitpid(child, &status, 0);
      if (WIFEXITED(status) && WEXITSTATUS(status) == 77) GTEST_SKIP() << "cannot become user " << me;
      EXPECT_EQ(status, 0) << "as user " << me;
      return;
    }
    if (forked && (::setgroups(0, nullptr) != 0 || ::setgid(me) != 0 || ::setuid(me) != 0)) ::_exit(77);
    for (size_t i = 0; i < std::size(kRows); ++i) {
      const Row& row = kRows[i];
      if (targets[i].empty()) continue;
      const bool saves = me == 0 ? row.rootSaves : row.userSaves;
      EXPECT_EQ(Save(targets[i], kNew, options), saves) << row.name;
      EXPECT_STREQ(Seen(targets[i]), saves ? "new" : row.kept) << row.name;
      EXPECT_TRUE(!row.holds || row.holds(ctx[i])) << row.name;
      EXPECT_TRUE(Hidden(ctx[i].d).empty()) << row.name;
    }
    if (forked) ::_exit(::testing::Test::HasFailure() ? 1 : 0);
  }

  // A folder on a tmpfs where one may be mounted, so that syncing costs nothing.
  fs::path Fast(const std::string& name) {
    const fs::path p = dir_ / name;
    fs::create_directory(p);
    if (::mount("tmpfs", p.c_str(), "tmpfs", 0, "size=64m") == 0) mounts_.push_back(p);
    return p;
  }

  fs::path dir_;
  std::vector<fs::path> mounts_;
};

TEST_F(Disk, FaultTable) {
  const bool root = ::geteuid() == 0;
  RunRows(dir_ / "a", ::geteuid(), root ? kNobody : ::geteuid(), {});
  if (!root) GTEST_SKIP() << "other users' files and a full disk need root";
  RunRows(dir_ / "b", 0, kNobody, {false});  // where a file system lacks O_TMPFILE
  RunRows(dir_ / "c", kNobody, 0, {});
}

TEST_F(Disk, WholeFilesOnlyFromRegularFilesAndNoLitter) {
  const fs::path book = dir_ / "book.mw";
  const std::string bytes("1\r\n\0\xFF mixed", 12);
  ASSERT_TRUE(Save(book, bytes) && Slurp(book) == bytes);
  ASSERT_TRUE(Save(book, "old contents") && Slurp(book) == "old contents");
  ::mkfifo((dir_ / "fifo").c_str(), 0666);
  for (const fs::path& p : {dir_ / "fifo", dir_, fs::path("/dev/zero"), dir_ / "missing"}) {
    std::string kept = "kept";
    EXPECT_FALSE(ReadFileBytes(p, kept)) << p;
    EXPECT_EQ(kept, "kept");
  }

  // A writer for a disk that fills after `room` bytes of one save.
  auto fillsAfter = [](size_t room) {
    return [room](int fd, const void* data, size_t size) mutable -> ssize_t {
      if (room == 0) return errno = ENOSPC, -1;
      const ssize_t n = ::write(fd, data, std::min(size, room));
      room -= static_cast<size_t>(std::max<ssize_t>(n, 0));
      return n;
    };
  };
  // The disk fills after 5 bytes, or a write reports nothing written, on either way of saving.
  auto nothing = [](int, const void*, size_t) -> ssize_t { return 0; };
  for (bool nameless : {true, false}) {
    EXPECT_FALSE(storage_detail::WriteFileAtomicallyWith(book, "new contents", fillsAfter(5), {nameless}));
    EXPECT_FALSE(storage_detail::WriteFileAtomicallyWith(book, "new", nothing, {nameless}));
  }
  EXPECT_EQ(Slurp(book), "old contents");
  // In place (a second name): the disk fills after 10 bytes, while growing or while
  // overwriting; the old bytes stand or are put back, and no copy is left.
  fs::create_hard_link(book, dir_ / "twin");
  for (const std::string now : {"new contents, longer", "new contents", "new"}) {
    EXPECT_FALSE(storage_detail::WriteFileAtomicallyWith(book, now, fillsAfter(now.size() / 2))) << now;
    EXPECT_EQ(Slurp(dir_ / "twin"), "old contents") << now;
  }
  EXPECT_EQ(Hidden(dir_), std::set<std::string>{});
  fs::remove(dir_ / "twin");

  // Temporaries of killed saves go at the next save; one that a running save holds locked
  // stays, and so do names that only look alike, even with letters or digits in every place.
  const std::string stem = storage_detail::TempNameStem("book.mw");
  const std::string killed[] = {storage_detail::NewTempName(stem), storage_detail::NewTempName(stem)},
                    locked = storage_detail::NewTempName(stem);
  for (const std::string& s : {killed[0], killed[1], locked}) Put(dir_ / s, "x", 0600, ::geteuid(), ::getegid());
  for (const char* s : {"keepme", "abc123", "abc12", "abc1234", "abc-12"})
    Put(dir_ / (stem + s), "x", 0600, ::geteuid(), ::getegid());
  const int running = ::open((dir_ / locked).c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_EQ(::flock(running, LOCK_EX), 0);
  ASSERT_TRUE(Save(book, "new contents"));
  ::close(running);
  EXPECT_EQ(Hidden(dir_), (std::set<std::string>{stem + "keepme", stem + "abc123", stem + "abc12", stem + "abc1234",
                                                 stem + "abc-12", locked}));
}

// Forks a process that saves first and second over target in turn (the "nameless" or the
// "named" way) and kills it at random moments, `kills` times; after each kill, sound() says
// whether the state is sound. Returns the number of kills that left a hidden file.
int KillSaves(const fs::path& target, const std::string& first, const std::string& second, int kills,
              const char* mode, const std::function<bool()>& sound) {
  const WriteOptions options{std::string(mode) == "nameless"};
  const auto start = std::chrono::steady_clock::now();
  if (!Save(target, second, options) || !Save(target, first, options)) return -1;
  const auto save = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start) / 2;
  std::mt19937 rng(std::random_device{}());
  int leftovers = 0;
  for (int i = 0; i < kills; ++i) {
    int ready[2];
    if (::pipe2(ready, O_CLOEXEC) != 0) return -1;
    const pid_t pid = ::fork();
    if (pid == 0) {  // says it has started, then saves until it is killed
      if (::write(ready[1], "+", 1) != 1) ::_exit(2);
      for (bool odd = false;; odd = !odd)
        if (!Save(target, odd ? first : second, options)) ::_exit(1);
    }
    ::close(ready[1]);
    char byte = 0;
    EXPECT_EQ(::read(ready[0], &byte, 1), 1);
    ::close(ready[0]);
    std::this_thread::sleep_for(std::chrono::microseconds(std::uniform_int_distribution<long>(0, 3 * save.count())(rng)));
    ::kill(pid, SIGKILL);
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status)) << mode << i;  // the saves themselves never failed
    EXPECT_TRUE(sound()) << mode << i;
    leftovers += !Hidden(target.parent_path()).empty();
  }
  return leftovers;
}

// A saving process killed at random moments, on a book of some MB: the usual save leaves the
// old or the new file; a save in place (a hard-linked file) leaves them, or a mix with a copy
// of a whole one beside it, which the next save removes.
TEST_F(Disk, KilledSaveLeavesOldOrNewFileOrACopyAndNextSaveLeavesNoTemporary) {
  GradeBook gb = test::OneClassBook();
  for (int s = 0; s < 40; ++s) {
    Semester& sem = test::AddSemester(gb, "Semester " + std::to_string(s));
    for (int k = 0; k < 800; ++k) sem.AddClass(test::MakeClass(gb, "Class " + std::to_string(k), k % 13, 3, {"Everything"}));
  }
  const std::string a = EncodePlain(gb).bytes;
  gb.Semesters[0].Classes[0].Grade = 7;
  gb.Semesters[0].AddClass(test::MakeClass(gb, "One more", 1, 3, {}));
  const std::string b = EncodePlain(gb).bytes;
  ASSERT_TRUE(a.size() > 800000 && a != b);
  const fs::path folder = Fast("t"), target = folder / "book.mw";
  const auto whole = [&](const fs::path& p) { const std::string now = Slurp(p); return now == a || now == b; };
  const int usual = KillSaves(target, a, b, 30, "nameless", [&] { return whole(target); }) +
                    KillSaves(target, a, b, 30, "named", [&] { return whole(target); });
  ASSERT_TRUE(Save(target, a, {false}));
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), {}), 1);

  fs::create_hard_link(target, folder / "twin");
  int mixed = 0;
  const int inPlace = KillSaves(target, a, b, 200, "named", [&] {
    if (whole(target)) return true;
    ++mixed;
    return whole(RecoveryCopyOf(target));
  });
  RecordProperty("usual_kills_leaving_a_temporary", usual);
  RecordProperty("in_place_kills_leaving_a_copy", inPlace);
  RecordProperty("in_place_kills_leaving_a_mix", mixed);
  ASSERT_TRUE(Save(target, a));
  EXPECT_TRUE(Hidden(folder).empty() && Slurp(folder / "twin") == a);
}

// Two processes saving one hard-linked file at once, through its two names, take turns: every
// save succeeds and the file is always one of the two contents.
TEST_F(Disk, ConcurrentSavesOfAHardLinkedFileTakeTurns) {
  const fs::path book = Fast("t") / "book.mw", twin = dir_ / "t/twin.mw";
  const std::string big(300000, 'a'), small(120000, 'b');
  ASSERT_TRUE(Save(book, "old"));
  fs::create_hard_link(book, twin);
  for (int round = 0; round < 100; ++round) {
    pid_t pids[2];
    for (int p = 0; p < 2; ++p) {
      pids[p] = ::fork();
      if (pids[p] == 0) ::_exit(Save(p ? twin : book, p ? small : big) ? 0 : 1);
    }
    for (pid_t pid : pids) {
      int status = -1;
      ::waitpid(pid, &status, 0);
      EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << round;
    }
    const std::string now = Slurp(book);
    ASSERT_TRUE(now == big || now == small) << round << ": " << now.size() << " bytes";
  }
  EXPECT_TRUE(Hidden(dir_).empty());
}

}  // namespace
}  // namespace mw
