// The message model: defaults, attachments by name, saving, the session list.

#include "core/mime/mail_message.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>
#include <string>
#include <vector>

#include "support/files.h"
#include "support/temp_dir.h"

#include "core/mime/mail_parser.h"
#include "core/text/japanese_code.h"
#include "core/text/sjis.h"

namespace pelnor {
namespace {

namespace fs = std::filesystem;

using test::ReadBytes;

TEST(MailMessage, NewMessageHasTheDocumentedDefaults) {
  const MailMessage msg;
  EXPECT_EQ(msg.Priority, prNormal);
  EXPECT_EQ(msg.CharSet, "ISO-8859-1");
  EXPECT_EQ(msg.Size, 0);
  for (const std::string* s : {&msg.UserName, &msg.JPName, &msg.From, &msg.Sender,
                               &msg.MessageId, &msg.InReplyTo, &msg.ReturnPath, &msg.ReplyTo,
                               &msg.SendTo, &msg.CC, &msg.BCC, &msg.Date, &msg.Subject,
                               &msg.ContentType, &msg.ContentTransferEncoding}) {
    EXPECT_TRUE(s->empty());
  }
  EXPECT_TRUE(msg.Text.empty());
  EXPECT_TRUE(msg.ExtraHeaders.empty());
  EXPECT_TRUE(msg.Headers.empty());
  EXPECT_EQ(msg.AttachedFiles.Count(), 0);
  EXPECT_EQ(msg.AttachedFiles.Owner(), &msg);
}

TEST(AddFile, KeepsOnlyTheLastPathComponent) {
  struct Row {
    const char* given;
    const char* fileName;
  } rows[] = {
      {"C:\\Users\\taro\\report.pdf", "report.pdf"},
      {"C:report.pdf", "report.pdf"},
      {"/home/taro/report.pdf", "report.pdf"},
      {"report.pdf", "report.pdf"},
      {"dir\\", ""},
  };
  MailMessage msg;
  for (const auto& r : rows) {
    const AttachedFile& f = msg.AttachedFiles.AddFile(r.given);
    EXPECT_EQ(f.FileName, r.fileName) << r.given;
    EXPECT_EQ(f.SourcePath, r.given);
  }
  EXPECT_EQ(msg.AttachedFiles.Count(), 5);
}

TEST(AddFile, ContentTypeComesFromTheExtension) {
  if (!fs::exists("/etc/mime.types")) {
    GTEST_SKIP() << "/etc/mime.types missing: install the Debian package media-types";
  }
  MailMessage msg;
  EXPECT_EQ(msg.AttachedFiles.AddFile("C:\\x\\scan.PDF").ContentType, "application/pdf");
  EXPECT_EQ(msg.AttachedFiles.AddFile("Makefile").ContentType, "application/octet-stream");
}

TEST(AddFile, JapaneseNameIsKeptAsItIs) {
  MailMessage msg;
  const std::string name = "報告書.pdf";
  AttachedFile& f = msg.AttachedFiles.AddFile(name);
  EXPECT_EQ(f.FileName, name);
  EXPECT_EQ(f.SourcePath, name);
  MailParser::Finish(msg);
  EXPECT_EQ(f.FileName, name);
}

TEST(AddFile, CharactersWhoseShiftJisFormEndsInABackslashAreNoSeparator) {
  // "ソ" and "表" end in 0x5C in Shift_JIS; names are UTF-8 here.
  MailMessage msg;
  const std::string name = "ソフト表.txt";
  AttachedFile& f = msg.AttachedFiles.AddFile("C:\\tmp\\" + name);
  MailParser::Finish(msg);
  EXPECT_EQ(f.FileName, name);
}

TEST(AddFile, HalfWidthKatakanaStayAsWritten) {
  MailMessage msg;
  AttachedFile& f = msg.AttachedFiles.AddFile("ｶﾀｶﾅ.txt");
  MailParser::Finish(msg);
  EXPECT_EQ(f.FileName, "ｶﾀｶﾅ.txt");
}

TEST(AttachedFiles, KeepOrderAndStayValidWhileGrowing) {
  MailMessage msg;
  AttachedFile& first = msg.AttachedFiles.AddFile("a.txt");
  for (int i = 0; i < 100; ++i) msg.AttachedFiles.AddFile("f" + std::to_string(i));
  first.Data = "still here";
  EXPECT_EQ(msg.AttachedFiles.Items(0).Data, "still here");
  EXPECT_EQ(msg.AttachedFiles.Items(1).FileName, "f0");
  EXPECT_EQ(msg.AttachedFiles.Items(100).FileName, "f99");
  EXPECT_THROW(msg.AttachedFiles.Items(101), std::out_of_range);
  msg.AttachedFiles.Clear();
  EXPECT_EQ(msg.AttachedFiles.Count(), 0);
}

TEST(SaveToNewFile, WritesTheExactBytesButNeverOverAnExistingName) {
  test::TempDir dir;
  AttachedFile f;
  f.Data = std::string("line\r\n\0\xff\x1a end\n", 13);
  const fs::path path = dir.Path() / "out.bin";
  ASSERT_TRUE(f.SaveToNewFile(path));
  EXPECT_EQ(ReadBytes(path), f.Data);

  // A second save, and one through a link planted at the name, leave both
  // the file and the link's target as they were.
  const fs::path target = dir.Path() / "target";
  std::ofstream(target) << "keep";
  fs::create_symlink(target, dir.Path() / "link");
  fs::create_symlink(dir.Path() / "missing", dir.Path() / "dangling");
  f.Data = "other";
  EXPECT_FALSE(f.SaveToNewFile(path));
  EXPECT_FALSE(f.SaveToNewFile(dir.Path() / "link"));
  EXPECT_FALSE(f.SaveToNewFile(dir.Path() / "dangling"));
  EXPECT_FALSE(f.SaveToNewFile(dir.Path()));  // a directory takes the name too
  EXPECT_EQ(ReadBytes(path), std::string("line\r\n\0\xff\x1a end\n", 13));
  EXPECT_EQ(ReadBytes(target), "keep");
  EXPECT_FALSE(fs::exists(dir.Path() / "missing"));
}

TEST(SaveToNewFile, FileSystemErrorsReachTheCaller) {
  test::TempDir dir;
  AttachedFile f;
  f.Data = "abc";
  EXPECT_THROW(f.SaveToNewFile(dir.Path() / "no-such-dir" / "x.txt"), fs::filesystem_error);
}

// A file-size limit stands for a full disk: the write fails half-way.
TEST(SaveToNewFile, AFailedWriteLeavesNoPartialFile) {
  test::TempDir dir;
  rlimit old{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  const auto oldSignal = signal(SIGXFSZ, SIG_IGN);
  rlimit small = old;
  small.rlim_cur = 4096;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  AttachedFile f;
  f.Data = std::string(100000, 'x');
  bool threw = false;
  try {
    f.SaveToNewFile(dir.Path() / "big.bin");
  } catch (const fs::filesystem_error&) {
    threw = true;
  }
  setrlimit(RLIMIT_FSIZE, &old);
  signal(SIGXFSZ, oldSignal);
  EXPECT_TRUE(threw);
  EXPECT_FALSE(fs::exists(dir.Path() / "big.bin"));
}

TEST(MailMessageList, HoldsReferencesOnly) {
  std::vector<std::unique_ptr<MailMessage>> owner;  // as the POP3 client holds them
  MailMessageList list;
  for (int i = 0; i < 3; ++i) {
    owner.push_back(std::make_unique<MailMessage>());
    owner.back()->Subject = "m" + std::to_string(i);
    EXPECT_EQ(list.Add(*owner.back()), i);
  }
  EXPECT_EQ(list.Count(), 3);
  EXPECT_EQ(&list.Items(1), owner[1].get());
  list.Items(2).Subject = "changed";
  EXPECT_EQ(owner[2]->Subject, "changed");

  list.Clear();
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(owner[0]->Subject, "m0");  // still alive and readable
  EXPECT_EQ(list.Add(*owner[0]), 0);
}

}  // namespace
}  // namespace pelnor
