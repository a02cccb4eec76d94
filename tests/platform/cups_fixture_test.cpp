// The test printer chain itself: a page printed through a plain QPrinter on
// the private queue comes back as a kept job with its text.

#include "support/cups_fixture.h"

#include "support/pdf_probe.h"

#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>

namespace pelnor::test {
namespace {

using ::testing::Contains;
using ::testing::HasSubstr;

class CupsFixtureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (const std::string missing = CupsFixture::MissingTools(); !missing.empty())
      GTEST_SKIP() << "CUPS test printer chain not installed, missing: " << missing;
    if (!HavePopplerTools()) GTEST_SKIP() << "poppler-utils not installed";
    if (const char* server = std::getenv("CUPS_SERVER")) previous_ = server;
    cups_ = std::make_unique<CupsFixture>();
  }

  static std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "(unset)";
  }

  std::string previous_ = "(unset)";
  std::unique_ptr<CupsFixture> cups_;
};

TEST_F(CupsFixtureTest, QueueIsTheDefaultPrinterOfThisProcess) {
  EXPECT_EQ(Env("CUPS_SERVER"), cups_->Server());
  EXPECT_EQ(QPrinterInfo::defaultPrinterName().toStdString(), cups_->Queue());
  EXPECT_THAT(QPrinterInfo::availablePrinterNames(),
              Contains(QString::fromStdString(cups_->Queue())));
  EXPECT_TRUE(cups_->Jobs().empty());
}

TEST_F(CupsFixtureTest, QPrinterPageComesBackAsKeptJob) {
  QPrinter printer(QPrinterInfo::printerInfo(QString::fromStdString(cups_->Queue())),
                   QPrinter::HighResolution);
  printer.setDocName("fixture");
  QPainter painter;
  ASSERT_TRUE(painter.begin(&printer)) << cups_->Logs();
  painter.setFont(QFont("IPAGothic", 12));
  painter.drawText(QPoint(300, 300), QString::fromUtf8("印刷テスト 日本語"));
  ASSERT_TRUE(painter.end());

  const std::vector<std::filesystem::path> jobs = cups_->WaitForJobs(1);
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_THAT(jobs[0].filename().string(), HasSubstr("fixture"));
  EXPECT_THAT(PdfToText(jobs[0]), HasSubstr("印刷テスト 日本語"));
}

TEST_F(CupsFixtureTest, SecondFixtureInOneProcessGetsItsOwnServer) {
  const std::string first = cups_->Server();
  cups_.reset();
  EXPECT_EQ(Env("CUPS_SERVER"), previous_);
  CupsFixture second("second-queue");
  EXPECT_NE(second.Server(), first);
  EXPECT_EQ(QPrinterInfo::defaultPrinterName().toStdString(), "second-queue");
}

}  // namespace
}  // namespace pelnor::test
