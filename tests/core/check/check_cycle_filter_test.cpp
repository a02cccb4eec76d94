// The sender filter and the reading of an account record into the session.

#include <gtest/gtest.h>

#include "core/check/check_session.h"
#include "core/text/sjis.h"
#include "support/recording_canvas.h"

namespace pelnor::test {
namespace {

struct FilterCase {
  const char* Name;
  std::string ReceiveAll;
  std::vector<std::string> Entries;
  std::string From;
  bool Wanted;
};

TEST(IsWantedSender, ComparesTheAddressExactly) {
  const std::vector<FilterCase> cases = {
      {"no filter takes anyone", "0", {"a@b.jp"}, "x@y.com", true},
      {"domain entry", "1", {"example.jp"}, "Taro <taro@example.jp>", true},
      {"domain entry, sub-domain", "1", {"example.jp"}, "<taro@mail.example.jp>", false},
      {"domain entry, other case", "1", {"example.jp"}, "<taro@Example.JP>", false},
      {"domain entry, after the first @", "1", {"c.jp"}, "<a@b@c.jp>", false},
      {"domain entry, address without @", "1", {"taro"}, "taro", true},
      {"exact address", "1", {"taro@example.jp"}, "\"Taro\" <taro@example.jp>", true},
      {"exact address, other case", "1", {"taro@example.jp"}, "<Taro@example.jp>", false},
      {"bare address", "1", {"taro@example.jp"}, "taro@example.jp", true},
      {"bare address with a comment", "1", {"taro@example.jp"}, "taro@example.jp (Taro)",
       false},
      {"only the first bracket pair", "1", {"a@x.jp"}, "A <a@x.jp> <b@y.jp>", true},
      {"later entry matches", "1", {"other.jp", "x@y.jp"}, "<x@y.jp>", true},
      {"blanks are not trimmed", "1", {"x@y.jp"}, "< x@y.jp>", false},
      {"no entries", "1", {}, "<x@y.jp>", false},
      {"filter on but flag not 1", "", {"y.jp"}, "<x@z.jp>", false},
  };
  for (const FilterCase& c : cases) {
    Account session;
    session.SetField(afFilterSenders, c.ReceiveAll);
    session.Addresses = c.Entries;
    EXPECT_EQ(IsWantedSender(session, c.From), c.Wanted) << c.Name;
  }
}

struct RecordCase {
  const char* Name;
  std::string Printer, Paper, Style, Size;
  int PrinterIndex, PaperIndex;
  std::string Styles;  // bits fsStrikeOut..fsBold
  int FontSize;
};

TEST(ReadSession, ReadsIndicesAndFontSafely) {
  // Two printers installed; the canvas font starts at size 10.
  const std::vector<RecordCase> cases = {
      {"plain", "1", "2", "[]", "12", 1, 2, "0000", 12},
      {"printer past the list", "2", "0", "[fsBold]", "9", -1, 0, "0001", 9},
      {"printer not a number", "x", "0", "[fsItalic,fsUnderline]", "9", -1, 0, "0110", 9},
      {"negative printer", "-3", "1", "[fsStrikeOut]", "9", -1, 1, "1000", 9},
      {"paper and size not numbers", "0", "", "[fsBold,fsStrikeOut]", "big", 0, -1, "1001", 10},
      // Read as the editor and the upgrade read them.
      {"numbers with a plus", "+1", "+2", "[]", "+12", 1, 2, "0000", 12},
  };
  for (const RecordCase& c : cases) {
    RecordingCanvas canvas;
    Account session;
    session.Addresses = {"left@over.jp"};
    ReadSession("acct|1|host|user|pw|" + c.Printer + "|" + c.Paper + "|Gothic|" + c.Style +
                    "|" + c.Size + "|0|/tmp/x|1|0|1|a@b.jp|c.jp",
                session, canvas);
    EXPECT_EQ(PrinterIndexFor(session, canvas.Printers().size()), c.PrinterIndex) << c.Name;
    EXPECT_EQ(PaperIndexFor(session), c.PaperIndex) << c.Name;
    EXPECT_EQ(canvas.Font().Style.to_string(), c.Styles) << c.Name;
    EXPECT_EQ(canvas.Font().Size, c.FontSize) << c.Name;
    EXPECT_EQ(canvas.Font().Name, "Gothic") << c.Name;
    EXPECT_EQ(session.Addresses, (std::vector<std::string>{"a@b.jp", "c.jp"})) << c.Name;
    EXPECT_TRUE(session.DeleteOnServer) << c.Name;
    EXPECT_EQ(session.AttachDir, "/tmp/x") << c.Name;
  }
}

TEST(ReadSession, AnAccountWithoutAddressesLeavesNoneOfThePrevious) {
  RecordingCanvas canvas;
  Account session;
  session.Addresses = {"old@x.jp"};
  ReadSession("acct|1|host|user|pw|0|0|Gothic|[]|10|1||1|1|0", session, canvas);
  EXPECT_TRUE(session.Addresses.empty());
}

}  // namespace
}  // namespace pelnor::test
