// Pop3Session when the event pump throws, as it does once the program is told to
// end in the middle of a check: every operation unwinds at once, with the
// connection closed and no spool file left.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

#include "core/text/text_util.h"
#include "support/session_test_util.h"
#include "support/test_mails.h"

namespace pelnor::test {
namespace {

using ::testing::Contains;
using ::testing::IsEmpty;

class EEnding : public std::runtime_error {
 public:
  EEnding() : std::runtime_error("ending") {}
};

// A mail of `size` bytes whose answer pauses after `before` of them, so the
// session waits (and pumps) there.
void AddPausedFetch(Pop3Script& script, int n, std::size_t size, std::size_t before) {
  std::string answer = "+OK\r\nSubject: big\r\n\r\n";
  while (answer.size() < size) answer += std::string(70, 'a') + "\r\n";
  answer += ".\r\n";
  const std::string num = std::to_string(n);
  script.On("LIST " + num, "+OK " + num + " " + std::to_string(size) + "\r\n")
      .Expect("RETR " + num)
      .Send(answer.substr(0, before))
      .Pause(300)
      .Send(answer.substr(before));
}

using Pop3SessionEnding = SessionTest;

TEST_F(Pop3SessionEnding, ThrowingPumpUnwindsEveryOperation) {
  std::string attached;
  for (int i = 0; i < 200; ++i) attached += std::string(57, static_cast<char>('a' + i % 26));
  Pop3Script greeting = Pop3Script().Pause(300).Send("+OK\r\n");
  Pop3Script spooling = Counted(1);
  AddPausedFetch(spooling, 1, 100000, 70000);
  Pop3Script fetchAhead = Counted(2);
  AddFetch(fetchAhead, 1, PlainMail("m1", "b"));
  AddPausedFetch(fetchAhead, 2, 100000, 70000);
  Pop3Script decoding = Counted(1);
  AddFetch(decoding, 1, SplitLines(MailWithAttachment("m1", "text", "a.bin", attached)));
  Pop3Script deleting = Counted(1).On("DELE 1", "+OK\r\n");
  Pop3Script quitting = Counted(1).Expect("QUIT").Pause(300).Send("+OK\r\n");

  auto retrieveAll = [](Pop3Session& pop) {
    MailMessageList list;
    pop.RetrieveAll(list);
  };
  const struct {
    const char* name;
    const Pop3Script& script;
    bool loggedIn;
    bool overlap;
    // The pump throws once a spool file exists (the fetch or the decoder
    // is under way), else at its first call.
    bool whileSpooling;
    std::function<void(Pop3Session&)> run;
  } rows[] = {
      {"waiting for the greeting", greeting, false, false, false,
       [](Pop3Session& pop) { pop.Connect(); }},
      {"spooling a fetch", spooling, true, false, true, retrieveAll},
      {"fetching ahead while decoding", fetchAhead, true, true, true, retrieveAll},
      {"in the decoder's pump", decoding, true, false, true, retrieveAll},
      {"before a deletion", deleting, true, false, false,
       [](Pop3Session& pop) { pop.DeleteMessage(1); }},
      {"waiting for QUIT's answer", quitting, true, false, false, [](Pop3Session& pop) { pop.Quit(); }},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    if (row.loggedIn) {
      StartCounted(row.script);
    } else {
      Start(row.script);
    }
    if (row.overlap) pop_->OverlapDecodeFrom = 0;
    pop_->OnProcessMessages = [this, &row] {
      if (!row.whileSpooling || !tmp_.TempFilesLeft().empty()) throw EEnding();
    };
    EXPECT_THROW(row.run(*pop_), EEnding);
    EXPECT_FALSE(pop_->Connected());
    EXPECT_THAT(events_.Events, Contains("quit"));
    EXPECT_THAT(events_.Only("after"), IsEmpty()) << "nothing more ran";
    EXPECT_THAT(tmp_.TempFilesLeft(), IsEmpty());
  }
}

}  // namespace
}  // namespace pelnor::test
