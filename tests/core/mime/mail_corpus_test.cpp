// The sample mails of tests/data/mail, decoded the way the POP3 client does
// it, against the expectations written beside them. Every mail is fed with
// its LF line ends and again with CR LF.

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "body_test_util.h"
#include "mail_pipeline.h"
#include "support/files.h"
#include "support/temp_dir.h"

namespace pelnor {
namespace {

namespace fs = std::filesystem;

const fs::path kMailDir = fs::path(PELNOR_TEST_DATA) / "mail";

using test::ReadBytes;

std::string ToCrLf(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

struct Expectation {
  std::vector<std::pair<std::string, std::string>> fields;  // name, UTF-8 value
  std::vector<std::pair<std::string, std::string>> attachments;  // UTF-8 name, bytes
  std::vector<std::string> text;                           // UTF-8 lines
};

Expectation LoadExpectation(const std::string& name) {
  Expectation e;
  std::istringstream expect(ReadBytes(kMailDir / (name + ".expect")));
  for (std::string line; std::getline(expect, line);) {
    const std::size_t colon = line.find(": ");
    const std::string key = line.substr(0, colon);
    const std::string value = line.substr(colon + 2);
    if (key == "Attachment") {
      const std::size_t blank = value.find(' ');
      e.attachments.emplace_back(value.substr(blank + 1),
                                 ReadBytes(kMailDir / value.substr(0, blank)));
    } else {
      e.fields.emplace_back(key, value);
    }
  }
  std::istringstream text(ReadBytes(kMailDir / (name + ".text")));
  for (std::string line; std::getline(text, line);) e.text.push_back(line);
  return e;
}

const std::string& Field(const MailMessage& msg, const std::string& name) {
  static const std::string kUnknown = "<unknown field>";
  if (name == "From") return msg.From;
  if (name == "Subject") return msg.Subject;
  if (name == "SendTo") return msg.SendTo;
  if (name == "Date") return msg.Date;
  if (name == "MessageId") return msg.MessageId;
  if (name == "ReturnPath") return msg.ReturnPath;
  if (name == "ContentType") return msg.ContentType;
  if (name == "ContentTransferEncoding") return msg.ContentTransferEncoding;
  return kUnknown;
}

class MailCorpus : public ::testing::TestWithParam<std::string> {};

TEST_P(MailCorpus, DecodesToTheExpectedMessage) {
  const std::string name = GetParam();
  const Expectation expected = LoadExpectation(name);
  const std::string raw = ReadBytes(kMailDir / (name + ".eml"));
  ASSERT_FALSE(raw.empty());
  test::PrivateTempDir tmp;
  for (const std::string& mail : {raw, ToCrLf(raw)}) {
    SCOPED_TRACE(mail.size() == raw.size() ? "LF" : "CR LF");
    MailParser parser;
    const auto msg = testing::DecodeMail(parser, mail);
    for (const auto& [field, value] : expected.fields)
      EXPECT_EQ(Field(*msg, field), value) << field;
    EXPECT_EQ(msg->Text, expected.text);
    ASSERT_EQ(msg->AttachedFiles.Count(), static_cast<int>(expected.attachments.size()));
    for (int i = 0; i < msg->AttachedFiles.Count(); ++i) {
      const AttachedFile& file = msg->AttachedFiles.Items(i);
      EXPECT_EQ(file.FileName, expected.attachments[i].first) << "attachment " << i;
      EXPECT_TRUE(file.Data == expected.attachments[i].second)
          << "attachment " << i << ": " << file.Data.size() << " bytes, expected "
          << expected.attachments[i].second.size();
      EXPECT_TRUE(file.Lines.empty());
    }
  }
  EXPECT_EQ(tmp.FileCount(), 0u);
}

std::vector<std::string> MailNames() {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(kMailDir))
    if (entry.path().extension() == ".eml") names.push_back(entry.path().stem().string());
  std::sort(names.begin(), names.end());
  return names;
}

INSTANTIATE_TEST_SUITE_P(Mails, MailCorpus, ::testing::ValuesIn(MailNames()),
                         [](const auto& info) { return info.param; });

TEST(MailCorpusFiles, EveryRequiredKindOfMailIsPresent) {
  for (const char* name : {"jis_plain", "qp_soft_break", "mixed_base64_jpname",
                           "alternative_html", "nested_multipart", "rfc822_forward",
                           "rfc822_top", "inline_uuencode", "no_content_type",
                           "begin_in_text", "uuencode_cut_off"})
    EXPECT_TRUE(fs::exists(kMailDir / (std::string(name) + ".eml"))) << name;
}

}  // namespace
}  // namespace pelnor
