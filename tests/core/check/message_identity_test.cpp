#include "core/check/message_identity.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/session_test_util.h"

namespace pelnor::test {
namespace {

using ::testing::MatchesRegex;
using ::testing::Not;

// A mail without Message-ID whose header holds a folded line and an encoded
// word, so that only the raw header lines give the expected digest.
std::vector<std::string> MailWithoutId(const std::string& date) {
  return {"From: a@example.jp", "Subject: =?ISO-2022-JP?B?GyRCJDMkcyRLJEEkTxsoQg==?=",
          "\tcontinued", "Date: " + date, "", "body"};
}

using MessageIdentityTest = SessionTest;

TEST_F(MessageIdentityTest, DigestOfTheRawHeaderWithoutMessageIdOtherwiseTheId) {
  const std::string date = "Mon, 1 Jan 2024 09:00:00 +0900";
  Pop3Script script = Counted(4);
  AddFetch(script, 1, MailWithoutId(date));
  AddFetch(script, 2, MailWithoutId(date));
  AddFetch(script, 3, MailWithoutId("Mon, 1 Jan 2024 09:00:01 +0900"));
  AddFetch(script, 4, PlainMail("with-id", "text"));
  StartCounted(script);
  std::vector<std::string> ids;
  for (std::uint16_t n = 1; n <= 4; ++n) {
    MailMessage* msg = pop_->RetrieveMessage(n);
    ASSERT_NE(msg, nullptr);
    ids.push_back(MessageIdentity(*msg));
  }
  // SHA-256 of the four header lines as received, each ended by CR LF
  // (computed with sha256sum).
  EXPECT_EQ(ids[0], "<sha256:93b43765bd409a5aaa9eed812e8feae2ab391d1791cf4bac4936da09f9f3f66e>");
  EXPECT_EQ(ids[1], ids[0]);  // the same mail fetched again
  EXPECT_THAT(ids[2], MatchesRegex("<sha256:[0-9a-f]{64}>"));
  EXPECT_NE(ids[2], ids[0]);  // one header byte differs
  EXPECT_EQ(ids[3], "<with-id@x>");
}

}  // namespace
}  // namespace pelnor::test
