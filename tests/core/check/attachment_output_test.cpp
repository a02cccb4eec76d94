#include "core/check/attachment_output.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>

#include "core/text/sjis.h"
#include "support/files.h"
#include "support/temp_dir.h"

namespace pelnor {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::TempDir;

const char kDate[] = "Sat, 25 Dec 2004 15:29:58 +0900";
const DateTime kRetrieved{2026, 12, 8, 1, 2, 3};

AttachedFile File(std::string name, std::string data) {
  AttachedFile f;
  f.FileName = std::move(name);
  f.Data = std::move(data);
  return f;
}

class AttachmentOutputTest : public testing::Test {
 protected:
  TempDir root;
  fs::path programDir = root.Path() / "prog/";
  AttachmentSaver saver{programDir};
  Account account = Saving(root.Path() / "mail/");

  static Account Saving(const fs::path& dir, std::string dateDirFlag = "1") {
    Account a;
    a.SaveAttachments = true;
    a.AttachDir = dir.string();
    a.SetField(afDateSubDir, std::move(dateDirFlag));
    return a;
  }
  fs::path Save(const AttachedFile& f, const char* date = kDate) {
    return saver.SaveAttachment(f, account, date, kRetrieved);
  }
};

TEST_F(AttachmentOutputTest, NothingIsSavedUnlessTheAccountAsks) {
  for (const char* flag : {"1", "", "yes"}) {
    account.SetField(afSaveAttachments, flag);
    EXPECT_TRUE(Save(File("a.txt", "x")).empty());
  }
  EXPECT_FALSE(fs::exists(root.Path() / "mail"));
}

TEST_F(AttachmentOutputTest, SavesTheDecodedBytesUnderAUtf8Name) {
  fs::path path = Save(File("見積書.pdf", std::string("%PDF\0\r\n", 7)));
  EXPECT_EQ(path, root.Path() / "mail" / "見積書.pdf");
  EXPECT_EQ(ReadBytes(path), std::string("%PDF\0\r\n", 7));
}

TEST_F(AttachmentOutputTest, ShiftJisDirectoryNameIsConvertedToo) {
  account.AttachDir = Sjis((root.Path() / "添付/").string());
  EXPECT_EQ(Save(File("a.txt", "x")), root.Path() / "添付" / "a.txt");
  EXPECT_TRUE(fs::is_regular_file(root.Path() / "添付" / "a.txt"));
}

TEST_F(AttachmentOutputTest, DatedSubDirectory) {
  account.DateSubDir = true;
  EXPECT_EQ(Save(File("a.txt", "x")), root.Path() / "mail" / "0412251529" / "a.txt");
}

TEST_F(AttachmentOutputTest, DateDigitsAreGluedToADirectoryWithoutSeparator) {
  account = Saving(root.Path() / "mail", "0");
  EXPECT_EQ(Save(File("a.txt", "x")), root.Path() / "mail0412251529" / "a.txt");
}

TEST_F(AttachmentOutputTest, MessagesOfTheSameMinuteShareAFolder) {
  account.DateSubDir = true;
  fs::path a = Save(File("a.txt", "1"), "Sat, 25 Dec 2004 15:29:01 +0900");
  fs::path b = Save(File("b.txt", "2"), "Sat, 25 Dec 2004 15:29:59 +0900");
  EXPECT_EQ(a.parent_path(), b.parent_path());
}

TEST_F(AttachmentOutputTest, UnreadableDateUsesTheRetrievalTime) {
  account.DateSubDir = true;
  EXPECT_EQ(Save(File("a.txt", "x"), "not a date"),
            root.Path() / "mail" / "2612080102" / "a.txt");
}

TEST_F(AttachmentOutputTest, NeverReplacesAnExistingFile) {
  const fs::path mail = root.Path() / "mail";
  std::ofstream(root.Path() / "outside") << "keep";
  fs::create_directories(mail);
  fs::create_symlink(root.Path() / "outside", mail / "a.txt");
  const std::pair<std::string, std::string> saves[] = {
      {"注文書.pdf", "注文書.pdf"}, {"注文書.pdf", "注文書 (2).pdf"},
      {"注文書.pdf", "注文書 (3).pdf"}, {"README", "README"},
      {"README", "README (2)"},           {".profile", ".profile"},
      {".profile", ".profile (2)"},       {"a.txt", "a (2).txt"}};
  for (const auto& [given, written] : saves) {
    const fs::path path = Save(File(given, written));
    EXPECT_EQ(path, mail / written);
    EXPECT_EQ(ReadBytes(path), written);
  }
  EXPECT_EQ(ReadBytes(root.Path() / "outside"), "keep");
  EXPECT_TRUE(fs::is_symlink(mail / "a.txt"));
}

TEST_F(AttachmentOutputTest, OverLongNameIsShortenedByWholeCharacters) {
  std::string stem;
  for (int i = 0; i < 90; ++i) stem += "あ";  // 270 bytes
  std::string kept;
  for (int i = 0; i < 83; ++i) kept += "あ";
  std::string keptWithNumber = kept.substr(0, kept.size() - 3);
  const AttachedFile file = File(stem + ".pdf", "x");
  EXPECT_EQ(Save(file).filename(), kept + ".pdf");
  EXPECT_EQ(Save(file).filename(), keptWithNumber + " (2).pdf");
}

TEST_F(AttachmentOutputTest, EmptyDirectoryMeansTheAttachFolderOfTheProgramDirectory) {
  account.AttachDir = "";
  fs::create_directories(programDir);
  EXPECT_EQ(Save(File("a.txt", "x")), programDir / "attach" / "a.txt");
  EXPECT_TRUE(fs::is_regular_file(programDir / "attach" / "a.txt"));
}

// However the program directory is written, no attachment takes one of the
// names the program keeps there; elsewhere those names are ordinary.
TEST_F(AttachmentOutputTest, TheProgramsOwnNamesAreChangedInItsDirectory) {
  const char* const ownNames[] = {"Defult.ini", "User.inf",  "User.inf.bak",       "Log.txt",
                                  "main.dat",   "MAIN.DAT",  "main.uidl",          "Main.PND",
                                  "pelnor",     "pelnor.html", "PDF",              "User.inf.tmpAb12Cd",
                                  "main.uidl.tmpXy34Zw"};
  fs::create_directories(programDir);
  fs::create_symlink(programDir, root.Path() / "link");
  const std::string ways[] = {programDir.string(), programDir.string() + "/",
                              (root.Path() / "prog").string(), (root.Path() / "link/").string()};
  for (const std::string& way : ways) {
    account.AttachDir = way;
    for (const char* name : ownNames) {
      const fs::path written = Save(File(name, "attachment"));
      EXPECT_NE(written.filename(), name) << way;
      EXPECT_FALSE(fs::exists(programDir / name)) << way << " " << name;
    }
  }
  EXPECT_EQ(Save(File("invoice.pdf", "x")).filename(), "invoice.pdf");
  EXPECT_TRUE(fs::is_regular_file(programDir / "main.dat_"));
  EXPECT_TRUE(fs::is_regular_file(programDir / "main (4).dat_"));

  account.AttachDir = (root.Path() / "mail/").string();
  EXPECT_EQ(Save(File("main.dat", "x")), root.Path() / "mail" / "main.dat");
}

TEST_F(AttachmentOutputTest, MissingDirectoryIsCreatedWithItsParents) {
  account = Saving(root.Path() / "a" / "b" / "c/", "0");
  fs::path path = Save(File("x.bin", "x"));
  EXPECT_EQ(path, root.Path() / "a" / "b" / "c" / "0412251529" / "x.bin");
  EXPECT_TRUE(fs::is_regular_file(path));
}

struct NameCase {
  const char* Name;
  const char* Given;
  const char* Saved;
};

class SafeNames : public AttachmentOutputTest, public testing::WithParamInterface<NameCase> {};

TEST_P(SafeNames, StayInsideTheDirectory) {
  fs::path path = Save(File(GetParam().Given, "data"));
  EXPECT_EQ(path, root.Path() / "mail" / GetParam().Saved);
  EXPECT_TRUE(fs::is_regular_file(path));
  // Nothing appeared next to the attachment directory.
  for (const auto& entry : fs::directory_iterator(root.Path()))
    EXPECT_EQ(entry.path().filename(), "mail");
}

INSTANTIATE_TEST_SUITE_P(
    Names, SafeNames,
    testing::Values(NameCase{"Dot", ".", "_."}, NameCase{"DotDot", "..", "_.."},
                    NameCase{"Empty", "", "_"},
                    NameCase{"Traversal", "../../evil", ".._.._evil"},
                    NameCase{"Absolute", "/etc/passwd", "_etc_passwd"},
                    NameCase{"HiddenFileIsFine", ".profile", ".profile"}),
    [](const testing::TestParamInfo<NameCase>& info) { return info.param.Name; });

TEST_F(AttachmentOutputTest, UnwritableDirectoryThrows) {
  if (geteuid() == 0) GTEST_SKIP() << "root ignores directory permissions";
  fs::create_directories(root.Path() / "mail");
  fs::permissions(root.Path() / "mail", fs::perms::owner_read | fs::perms::owner_exec);
  EXPECT_THROW(Save(File("a.txt", "x")), fs::filesystem_error);
}

TEST_F(AttachmentOutputTest, DirectoryThatIsAFileThrows) {
  std::ofstream(root.Path() / "mail") << "in the way";
  EXPECT_THROW(Save(File("a.txt", "x")), fs::filesystem_error);
}

}  // namespace
}  // namespace pelnor
