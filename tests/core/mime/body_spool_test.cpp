// The attachment decoders' temporary file and its write buffer.

#include "core/mime/body_spool.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "support/file_probes.h"

namespace pelnor {
namespace {

namespace fs = std::filesystem;
using test::OpenDescriptors;
using test::Pattern;

TEST(DecodeSpool, IsAPrivateTemporaryFileRemovedWithItsDescriptor) {
  const int before = OpenDescriptors();
  std::string path;
  {
    DecodeSpool spool;
    path = spool.Path();
    EXPECT_EQ(fs::path(path).parent_path(), fs::temp_directory_path());
    EXPECT_EQ(fs::path(path).filename().string().rfind("vek", 0), 0u);
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(st.st_size, 0);
    EXPECT_EQ(OpenDescriptors(), before + 1);
    EXPECT_EQ(spool.ReadAll(), "");
  }
  EXPECT_FALSE(fs::exists(path));
  EXPECT_EQ(OpenDescriptors(), before);
}

TEST(DecodeSpool, ReadAllGivesBackEveryWriteInOrder) {
  DecodeSpool spool;
  std::string expected;
  for (std::size_t size : {std::size_t{1}, std::size_t{0}, std::size_t{4096},
                           std::size_t{300 * 1024}, std::size_t{7}}) {
    const std::string piece = Pattern(size, static_cast<unsigned>(expected.size()));
    spool.Write(piece.data(), piece.size());
    expected += piece;
  }
  EXPECT_TRUE(spool.ReadAll() == expected);
  EXPECT_EQ(fs::file_size(spool.Path()), expected.size());
  // Reading does not end writing.
  spool.Write("tail", 4);
  EXPECT_TRUE(spool.ReadAll() == expected + "tail");
}

TEST(SpoolWriter, CollectsSmallPiecesAndLargeOnes) {
  DecodeSpool spool;
  std::string expected;
  {
    SpoolWriter writer(spool);
    for (int i = 0; i < 5000; ++i) {
      const std::string line = Pattern(76, static_cast<unsigned>(i)) + "\r\n";
      std::memcpy(writer.Reserve(line.size()), line.data(), line.size());
      writer.Commit(line.size());
      expected += line;
    }
    // One piece larger than the writer's chunk.
    const std::string big = Pattern(600 * 1024, 9);
    std::memcpy(writer.Reserve(big.size()), big.data(), big.size());
    writer.Commit(big.size());
    expected += big;
    writer.Flush();
  }
  EXPECT_TRUE(spool.ReadAll() == expected);
}

}  // namespace
}  // namespace pelnor
