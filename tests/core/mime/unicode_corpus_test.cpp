// The mails of tests/data/mail-unicode (made by make_unicode_corpus.py):
// subject, body and attachment name in every charset mailers send, decoded
// as Python's email package reads them.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "mail_pipeline.h"
#include "support/files.h"
#include "support/temp_dir.h"

namespace pelnor {
namespace {

namespace fs = std::filesystem;

const fs::path kCorpus = fs::path(PELNOR_TEST_DATA) / "mail-unicode";

// "Key: value" of the .expect file.
std::string Expected(const std::string& name, const std::string& key) {
  std::istringstream lines(test::ReadBytes(kCorpus / (name + ".expect")));
  for (std::string line; std::getline(lines, line);)
    if (line.rfind(key + ": ", 0) == 0) return line.substr(key.size() + 2);
  return "<missing " + key + ">";
}

// Trailing line ends aside: the one before a part's boundary stays an
// empty line of the printout, as it always did; Python drops it.
std::string WithoutTrailingLineEnds(std::string text) {
  while (!text.empty() && text.back() == '\n') text.pop_back();
  return text;
}

std::string JoinedText(const MailMessage& msg) {
  std::string text;
  for (const std::string& line : msg.Text) text += line + "\n";
  return WithoutTrailingLineEnds(text);
}

class UnicodeCorpus : public ::testing::TestWithParam<std::string> {};

TEST_P(UnicodeCorpus, DecodesAsPythonReadsIt) {
  const std::string name = GetParam();
  test::PrivateTempDir tmp;
  MailParser parser;
  const auto msg = testing::DecodeMail(parser, test::ReadBytes(kCorpus / (name + ".eml")));
  EXPECT_EQ(msg->Subject, Expected(name, "Subject"));
  EXPECT_EQ(JoinedText(*msg), WithoutTrailingLineEnds(test::ReadBytes(kCorpus / (name + ".text"))));
  ASSERT_EQ(msg->AttachedFiles.Count(), 1);
  EXPECT_EQ(msg->AttachedFiles.Items(0).FileName, Expected(name, "Attachment"));
  EXPECT_EQ(msg->AttachedFiles.Items(0).Data, "%PDF-1.4 sample\n");
}

std::vector<std::string> CorpusNames() {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(kCorpus))
    if (entry.path().extension() == ".eml") names.push_back(entry.path().stem().string());
  std::sort(names.begin(), names.end());
  return names;
}

INSTANTIATE_TEST_SUITE_P(Mails, UnicodeCorpus, ::testing::ValuesIn(CorpusNames()),
                         [](const auto& info) { return info.param; });

}  // namespace
}  // namespace pelnor
