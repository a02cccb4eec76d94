// The check cycle printing on a real CUPS queue: a private cupsd whose
// default queue ends in an ippeveprinter that keeps each job as a PDF file.
// The mail comes from a real Dovecot.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "cycle_rig.h"
#include "support/dovecot_fixture.h"
#include "support/cups_fixture.h"
#include "support/pdf_probe.h"
#include "support/test_mails.h"
#include "support/temp_dir.h"

namespace pelnor::test {
namespace {

using ::testing::AllOf;
using ::testing::ElementsAre;
using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

TEST(CupsPrintIntegration, CheckCyclePrintsTheMailOnTheQueue) {
  if (const std::string missing = CupsFixture::MissingTools(); !missing.empty())
    GTEST_SKIP() << "*** CUPS test printer chain NOT installed, missing: " << missing << " ***";
  if (DovecotServer::BinaryPath().empty())
    GTEST_SKIP() << "*** dovecot is NOT installed (dovecot-pop3d): test did not run ***";
  if (!HavePopplerTools()) GTEST_SKIP() << "*** poppler-utils NOT installed: test did not run ***";

  DovecotServer server;
  server.AddUser("taro", "secret");
  server.Deliver("taro", JapaneseMail("山田太郎", "yamada@example.jp", "印刷のお願い",
                                      {"この文書を印刷してください。"}));
  server.Start();

  CupsFixture cups;
  TempDir dir("pelnor-cycle-cups-");
  CycleRig rig(dir.Path(), server.Port());
  const std::vector<std::string> printers = rig.Canvas().Printers();
  const auto queue = std::find(printers.begin(), printers.end(), cups.Queue());
  ASSERT_NE(queue, printers.end()) << cups.Logs();
  rig.Accounts().Add(rig.Record("営業", static_cast<int>(queue - printers.begin()),
                                dir.Path() / "attach"));

  rig.Cycle().OnCheckTimer();

  EXPECT_THAT(rig.LogLines(), ElementsAre(EndsWith("<出力終了>")));
  const std::vector<std::filesystem::path> jobs = cups.WaitForJobs(1);
  ASSERT_EQ(jobs.size(), 1u) << cups.Logs();
  EXPECT_THAT(PdfToText(jobs[0]),
              AllOf(HasSubstr("【 営業 】"), HasSubstr("件名："), HasSubstr("印刷のお願い"),
                    HasSubstr("山田太郎"), HasSubstr("この文書を印刷してください。")));
  EXPECT_THAT(rig.PdfFiles(), IsEmpty());  // not on the built-in printer
}

}  // namespace
}  // namespace pelnor::test
