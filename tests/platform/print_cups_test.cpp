// The printer object on a real CUPS queue (the private test chain): the
// list, the default rule, the driver's papers and a job that comes out.

#include "platform/qt_printer.h"

#include "support/cups_fixture.h"
#include "support/pdf_probe.h"
#include "core/text/sjis.h"
#include "support/temp_dir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <optional>

namespace pelnor {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;

// Points TMPDIR, where jobs for system printers are rendered, at an empty
// folder of its own while it lives.
class SpoolFolder {
 public:
  explicit SpoolFolder(const std::filesystem::path& path) : path_(path) {
    std::filesystem::create_directory(path_);
    if (const char* saved = std::getenv("TMPDIR")) saved_ = saved;
    setenv("TMPDIR", path_.c_str(), 1);
  }
  ~SpoolFolder() {
    if (saved_) setenv("TMPDIR", saved_->c_str(), 1);
    else unsetenv("TMPDIR");
  }
  SpoolFolder(const SpoolFolder&) = delete;
  SpoolFolder& operator=(const SpoolFolder&) = delete;
  bool Empty() const { return std::filesystem::is_empty(path_); }

 private:
  std::filesystem::path path_;
  std::optional<std::string> saved_;
};

class CupsPrinterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (const std::string missing = test::CupsFixture::MissingTools(); !missing.empty())
      GTEST_SKIP() << "CUPS test printer chain not installed, missing: " << missing;
    if (!test::HavePopplerTools()) GTEST_SKIP() << "poppler-utils not installed";
    cups_ = std::make_unique<test::CupsFixture>();
    printer_ = std::make_unique<QtPrinter>(dir_.Path());
  }

  int Run(const std::vector<std::string>& argv) {
    return test::RunCommand(argv, test::EnvironmentWith({}), dir_.Path() / "command.log");
  }

  void PrintLine(const std::string& sjis) {
    printer_->BeginDoc("Pelnor");
    printer_->TextRect({0, 0, printer_->PageWidth(), printer_->PageHeight()}, 200, 200, sjis);
    printer_->EndDoc();
  }

  test::TempDir dir_{"pelnor-cups-printer-"};
  std::unique_ptr<test::CupsFixture> cups_;
  std::unique_ptr<QtPrinter> printer_;
};

TEST_F(CupsPrinterTest, SystemQueuesComeFirstThenThePdfPrinter) {
  cups_->AddQueue("Office.Floor2");
  EXPECT_THAT(printer_->Printers(), ElementsAre("Office", cups_->Queue(), Sjis("PDF出力")));
}

TEST_F(CupsPrinterTest, SystemDefaultQueueIsTheDefaultPrinter) {
  cups_->AddQueue("another");
  printer_->SelectPrinter(-1);
  const std::vector<std::string> names = printer_->Printers();
  ASSERT_GE(printer_->PrinterIndex(), 0);
  EXPECT_EQ(names[printer_->PrinterIndex()], cups_->Queue());
}

TEST_F(CupsPrinterTest, PapersComeFromTheDriver) {
  printer_->SelectPrinter(-1);
  const std::vector<std::uint16_t> codes = printer_->PaperCodes();
  EXPECT_THAT(codes, Contains(9));  // A4
  EXPECT_THAT(codes, Contains(1));  // Letter
  EXPECT_EQ(printer_->PaperNames().size(), codes.size());
  EXPECT_THAT(codes, Contains(printer_->PaperSize())) << "starts on one of its own papers";
}

TEST_F(CupsPrinterTest, JapaneseJobOnTheQueueKeepsItsTextAndPaper) {
  struct Row {
    std::uint16_t code;
    const char* pdfinfo;
  };
  // Jobs are rendered to a temporary file first; none may be left behind.
  const SpoolFolder spool(dir_.Path() / "spool");
  int expected = 0;
  for (const Row& row : {Row{9, "(A4)"}, Row{1, "(letter)"}}) {
    printer_->SelectPrinter(-1);
    printer_->SetPaperSize(row.code);
    printer_->SetFont({"IPAGothic", {}, 12});
    printer_->BeginDoc("Pelnor");
    const Rect page{0, 0, printer_->PageWidth(), printer_->PageHeight()};
    printer_->TextRect(page, 200, 200, std::string("【 テスト口座 】件名：日本語の本文"));
    printer_->SetPenWidth(2);
    printer_->MoveTo(200, 400);
    printer_->LineTo(page.Right - 200, 400);
    printer_->EndDoc();
    ++expected;

    const std::filesystem::path job = cups_->WaitForJobs(expected).back();
    EXPECT_THAT(job.filename().string(), HasSubstr("pelnor")) << "job title";
    EXPECT_THAT(test::PdfToText(job), HasSubstr("【 テスト口座 】件名：日本語の本文"));
    EXPECT_THAT(test::PdfInfo(job), HasSubstr(row.pdfinfo)) << row.code;
    EXPECT_TRUE(spool.Empty());
  }
}

TEST_F(CupsPrinterTest, QueueRemovedAfterSelectionFailsTheJob) {
  cups_->AddQueue("leaving");
  const std::vector<std::string> names = printer_->Printers();
  const auto leaving = std::find(names.begin(), names.end(), "leaving");
  ASSERT_NE(leaving, names.end());
  printer_->SelectPrinter(static_cast<int>(leaving - names.begin()));
  ASSERT_EQ(Run({"lpadmin", "-x", "leaving"}), 0);

  EXPECT_EQ(printer_->PrinterIndex(), -1);
  EXPECT_THROW(printer_->BeginDoc("Pelnor"), EPrinterError);
  printer_->SelectPrinter(-1);  // the account's printer is gone: the default takes over
  PrintLine("on the default");
  EXPECT_THAT(test::PdfToText(cups_->WaitForJobs(1).front()), HasSubstr("on the default"));
}

TEST_F(CupsPrinterTest, JobRefusedByTheQueueIsAFailure) {
  printer_->SelectPrinter(-1);
  ASSERT_EQ(Run({"cupsreject", cups_->Queue()}), 0);
  EXPECT_THROW(PrintLine("refused"), EPrinterError);

  ASSERT_EQ(Run({"cupsaccept", cups_->Queue()}), 0);
  PrintLine("accepted");  // the printer object is ready for the next job
  const std::vector<std::filesystem::path> jobs = cups_->WaitForJobs(1);
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_THAT(test::PdfToText(jobs[0]), HasSubstr("accepted"));
}

TEST_F(CupsPrinterTest, AbortedJobLeavesThePrinterReady) {
  printer_->SelectPrinter(-1);
  printer_->BeginDoc("Pelnor");
  printer_->TextRect({0, 0, 4000, 4000}, 200, 200, "partial");
  printer_->Abort();
  EXPECT_THROW(printer_->TextRect({0, 0, 4000, 4000}, 200, 200, "x"), EPrinterError);
  PrintLine("after abort");
  const std::vector<std::filesystem::path> jobs = cups_->WaitForJobs(1);
  ASSERT_EQ(jobs.size(), 1u) << "the aborted job never reached the queue";
  EXPECT_THAT(test::PdfToText(jobs[0]), HasSubstr("after abort"));
  EXPECT_THAT(test::PdfToText(jobs[0]), Not(HasSubstr("partial")));
}

TEST_F(CupsPrinterTest, StoppedQueueFailsTheJobAndAWholeJobArrivesComplete) {
  printer_->SelectPrinter(-1);
  // A stopped queue takes jobs in and holds them: nothing would come out.
  ASSERT_EQ(Run({"cupsdisable", "-r", "Out of paper", cups_->Queue()}), 0);
  try {
    PrintLine("held back");
    ADD_FAILURE() << "a job on a stopped queue counted as printed";
  } catch (const EPrinterError& error) {
    EXPECT_THAT(error.what(), HasSubstr("Out of paper"));
  }

  ASSERT_EQ(Run({"cupsenable", cups_->Queue()}), 0);
  printer_->BeginDoc("Pelnor");
  for (int page = 1; page <= 6; ++page) {
    if (page > 1) printer_->NewPage();
    for (int line = 0; line < 50; ++line)
      printer_->TextRect({0, 0, printer_->PageWidth(), printer_->PageHeight()}, 200,
                         200 + 120 * line, "page " + std::to_string(page) + " line " +
                                               std::to_string(line) + std::string(" 日本語の本文"));
  }
  printer_->EndDoc();
  const std::filesystem::path job = cups_->WaitForJobs(1).front();
  EXPECT_THAT(test::PdfInfo(job), HasSubstr("Pages:           6"));
  EXPECT_THAT(test::PdfToText(job, 6, 6), HasSubstr("page 6 line 49"));
}

TEST_F(CupsPrinterTest, InterruptedJobLeavesNoSpoolFileAndNeverReachesTheQueue) {
  const SpoolFolder spool(dir_.Path() / "spool");
  printer_->SelectPrinter(-1);
  const auto printHalf = [this] {
    printer_->BeginDoc("Pelnor");
    printer_->TextRect({0, 0, 4000, 4000}, 200, 200, "half done");
    printer_->NewPage();
    printer_->TextRect({0, 0, 4000, 4000}, 200, 200, "half done");
  };
  printHalf();
  printer_->Abort();  // a job that failed midway
  EXPECT_TRUE(spool.Empty());

  ASSERT_EQ(test::RunInChildProcess(printHalf), 0);  // the program ends mid-job
  EXPECT_TRUE(spool.Empty());

  PrintLine("complete");
  const std::vector<std::filesystem::path> jobs = cups_->WaitForJobs(1);
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_THAT(test::PdfToText(jobs[0]), HasSubstr("complete"));
}

}  // namespace
}  // namespace pelnor
