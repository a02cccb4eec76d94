// The temporary file a fetched message is spooled to.

#include "core/pop3/spool_file.h"

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/file_probes.h"
#include "support/files.h"

namespace pelnor {
namespace {

namespace fs = std::filesystem;
using test::OpenDescriptors;
using test::Pattern;
using test::ReadBytes;
using ::testing::HasSubstr;

TEST(SpoolFile, BecomesAPrivateTemporaryFileOnceTheMailOutgrowsTheBuffer) {
  const int before = OpenDescriptors();
  SpoolFile spool;
  EXPECT_EQ(spool.Size(), 0u);
  EXPECT_EQ(spool.ReadAll(), "");
  spool.Write(Pattern(64 * 1024, 1));
  EXPECT_EQ(spool.Path(), "") << "a mail that fits the buffer needs no file";
  EXPECT_EQ(OpenDescriptors(), before);
  spool.Write("x");
  const fs::path path = spool.Path();
  EXPECT_EQ(path.parent_path(), fs::temp_directory_path());
  EXPECT_EQ(path.filename().string().rfind("vek", 0), 0u);
  ASSERT_TRUE(fs::exists(path));
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  EXPECT_EQ(OpenDescriptors(), before + 1);
}

TEST(SpoolFile, HoldsOneDescriptorAndLeavesNoneBehind) {
  const int before = OpenDescriptors();
  {
    SpoolFile spool;
    EXPECT_EQ(OpenDescriptors(), before);
    spool.Write(Pattern(200 * 1024, 1));
    EXPECT_EQ(OpenDescriptors(), before + 1);
    EXPECT_EQ(spool.ReadAll().size(), 200u * 1024);
    EXPECT_EQ(OpenDescriptors(), before + 1);
  }
  EXPECT_EQ(OpenDescriptors(), before);
}

TEST(SpoolFile, ReadAllGivesBackExactlyWhatWasWritten) {
  struct Row {
    const char* name;
    std::vector<std::size_t> pieces;
  };
  const std::vector<Row> rows = {
      {"one small mail", {2852}},
      {"1 KB reads up to just below the buffer", std::vector<std::size_t>(63, 1024)},
      {"exactly the buffer", {64 * 1024}},
      {"1 KB reads past the buffer", std::vector<std::size_t>(200, 1024)},
      {"one piece larger than the buffer", {300 * 1024}},
      {"small, then large, then small", {10, 100 * 1024, 1, 65535, 2}},
      {"filling the buffer to the byte, then one more", {65535, 1, 1}},
  };
  for (const Row& row : rows) {
    SpoolFile spool;
    std::string expected;
    unsigned seed = 0;
    for (std::size_t size : row.pieces) {
      const std::string piece = Pattern(size, ++seed);
      spool.Write(piece);
      expected += piece;
    }
    EXPECT_EQ(spool.Size(), expected.size()) << row.name;
    EXPECT_TRUE(spool.ReadAll() == expected) << row.name;
  }
}

TEST(SpoolFile, WritesLargeMailToTheFileInsteadOfMemory) {
  SpoolFile spool;
  const std::string bytes = Pattern(300 * 1024, 3);
  for (std::size_t at = 0; at < bytes.size(); at += 1024)
    spool.Write(std::string_view(bytes).substr(at, 1024));
  // Everything but the last buffer's worth is already on disk.
  EXPECT_GE(fs::file_size(spool.Path()), bytes.size() - 64 * 1024);
  EXPECT_TRUE(spool.ReadAll() == bytes);
  EXPECT_TRUE(ReadBytes(spool.Path()) == bytes);
}

TEST(SpoolFile, WritingGoesOnAfterReadAll) {
  for (std::size_t first : {std::size_t{100}, std::size_t{100 * 1024}}) {
    SpoolFile spool;
    const std::string a = Pattern(first, 1);
    const std::string b = Pattern(70 * 1024, 2);
    spool.Write(a);
    EXPECT_TRUE(spool.ReadAll() == a) << first;
    spool.Write("x");
    spool.Write(b);
    EXPECT_EQ(spool.Size(), a.size() + 1 + b.size()) << first;
    EXPECT_TRUE(spool.ReadAll() == a + "x" + b) << first;
  }
}

TEST(SpoolFile, ContentsShowWhatWasWrittenUntilRemove) {
  for (const std::size_t size : {std::size_t{0}, std::size_t{1000}, std::size_t{64 * 1024},
                                 std::size_t{64 * 1024 + 1}, std::size_t{3 * 1024 * 1024 + 17}}) {
    SCOPED_TRACE(size);
    const std::string bytes = Pattern(size, 5);
    const int before = OpenDescriptors();
    {
      SpoolFile spool;
      for (std::size_t at = 0; at < size; at += 1024) spool.Write(std::string_view(bytes).substr(at, 1024));
      const std::string_view contents = spool.Contents();
      EXPECT_TRUE(contents == bytes);
      // Pages let go come back when read again.
      spool.Release(100, size / 2);
      spool.Release(0, size + 4096);
      EXPECT_TRUE(contents == bytes);
      EXPECT_EQ(spool.ReadAll(), bytes);
      const std::string path = spool.Path();
      EXPECT_EQ(path.empty(), size <= 64 * 1024);
      spool.Remove();
      if (!path.empty()) {
        EXPECT_FALSE(fs::exists(path));
        EXPECT_EQ(ReadBytes("/proc/self/maps").find(path), std::string::npos) << "still mapped";
      }
      EXPECT_EQ(spool.Contents(), "");
    }
    EXPECT_EQ(OpenDescriptors(), before);
  }
}

TEST(SpoolFile, EmptyWritesChangeNothing) {
  SpoolFile spool;
  spool.Write("");
  spool.Write("abc");
  spool.Write("");
  EXPECT_EQ(spool.Size(), 3u);
  EXPECT_EQ(spool.ReadAll(), "abc");
}

TEST(SpoolFile, RemoveDeletesTheFileOnceAndForAll) {
  const int before = OpenDescriptors();
  SpoolFile spool;
  spool.Write(Pattern(100 * 1024, 2));
  const std::string path = spool.Path();
  ASSERT_TRUE(fs::exists(path));
  spool.Remove();
  EXPECT_FALSE(fs::exists(path));
  EXPECT_EQ(OpenDescriptors(), before);
  EXPECT_EQ(spool.ReadAll(), "");
  spool.Remove();  // quiet the second time, and again in the destructor
  EXPECT_EQ(spool.Path(), path);
  EXPECT_THROW(spool.Write("late"), fs::filesystem_error);
}

TEST(SpoolFile, DestructorDeletesTheFile) {
  std::string small;
  std::string large;
  {
    SpoolFile a;
    SpoolFile b;
    a.Write(Pattern(70 * 1024, 3));
    b.Write(Pattern(100 * 1024, 4));
    EXPECT_NE(a.Path(), b.Path());
    small = a.Path();
    large = b.Path();
  }
  EXPECT_FALSE(fs::exists(small));
  EXPECT_FALSE(fs::exists(large));
}

// Nobody, not even root, can create files in /proc.
TEST(SpoolFile, FailureToCreateRaisesNamingThePath) {
  const char* old = std::getenv("TMPDIR");
  const std::string saved = old ? old : "";
  ::setenv("TMPDIR", "/proc", 1);
  const int before = OpenDescriptors();
  try {
    SpoolFile spool;
    spool.Write(Pattern(1000, 1));  // still in memory
    spool.Write(Pattern(64 * 1024, 2));
    ADD_FAILURE() << "created " << spool.Path();
  } catch (const fs::filesystem_error& e) {
    EXPECT_EQ(e.path1().parent_path(), "/proc");
    EXPECT_EQ(e.path1().filename().string().rfind("vek", 0), 0u);
    EXPECT_THAT(e.what(), HasSubstr("in /proc: "));
  }
  EXPECT_EQ(OpenDescriptors(), before);
  if (old)
    ::setenv("TMPDIR", saved.c_str(), 1);
  else
    ::unsetenv("TMPDIR");
}

// A file size limit makes the kernel refuse the write (EFBIG once SIGXFSZ is
// ignored), as a full disk would.
TEST(SpoolFile, FailureToWriteRaisesNamingThePath) {
  rlimit saved{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
  const auto oldHandler = ::signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = 128 * 1024;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  std::string path;
  std::string what;
  {
    SpoolFile spool;
    try {
      for (int i = 0; i < 64; ++i) spool.Write(Pattern(16 * 1024, i));
      spool.ReadAll();
    } catch (const fs::filesystem_error& e) {
      what = e.what();
    }
    path = spool.Path();
  }
  ::setrlimit(RLIMIT_FSIZE, &saved);
  ::signal(SIGXFSZ, oldHandler);
  EXPECT_THAT(what, HasSubstr("Cannot write the spool file"));
  ASSERT_FALSE(path.empty());
  EXPECT_THAT(what, HasSubstr(path));
  EXPECT_FALSE(fs::exists(path));
}

}  // namespace
}  // namespace pelnor
