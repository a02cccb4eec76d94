// Jobs on the built-in PDF printer, read back with poppler-utils: the text,
// where it lands, what clipping leaves, the rules, pages and files.

#include "platform/qt_printer.h"

#include "core/text/error_text.h"
#include "support/pdf_probe.h"
#include "core/text/sjis.h"
#include "support/test_process.h"
#include "support/temp_dir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <algorithm>
#include <csignal>
#include <tuple>
#include <fstream>

namespace pelnor {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

constexpr double kPointsPerPixel = 72.0 / kPrinterDpi;

class PdfPrinterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!test::HavePopplerTools())
      GTEST_SKIP() << "poppler-utils (pdftotext, pdfinfo, pdftoppm) not installed";
    printer_.SelectPrinter(static_cast<int>(printer_.Printers().size()) - 1);
    printer_.SetFont({"IPAGothic", {}, 10});
  }

  Rect Page() const { return {0, 0, printer_.PageWidth(), printer_.PageHeight()}; }

  // One job with a single text at (x, y); returns the file.
  std::filesystem::path PrintText(const std::string& sjis, int x = 600, int y = 600) {
    printer_.BeginDoc("Pelnor");
    printer_.TextRect(Page(), x, y, sjis);
    printer_.EndDoc();
    return printer_.LastPdfFile().value();
  }

  std::vector<std::filesystem::path> PdfFiles() const {
    std::vector<std::filesystem::path> files;
    if (std::filesystem::exists(printer_.PdfDir()))
      for (const auto& entry : std::filesystem::directory_iterator(printer_.PdfDir()))
        files.push_back(entry.path());
    return files;
  }

  test::TempDir dir_{"pelnor-pdf-printer-"};
  QtPrinter printer_{dir_.Path()};
};

// Files of this process cannot grow past `bytes`: writes beyond fail with
// EFBIG (SIGXFSZ ignored), as they would on a full disk, without privileges.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &saved_);
    savedHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved_;
    limited.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limited);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, savedHandler_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit saved_{};
  void (*savedHandler_)(int) = SIG_DFL;
};

int DarkPixels(const test::GrayImage& image, int x0, int y0, int x1, int y1) {
  int dark = 0;
  for (int y = std::max(y0, 0); y < std::min(y1, image.Height); ++y)
    for (int x = std::max(x0, 0); x < std::min(x1, image.Width); ++x) dark += image.At(x, y) < 128;
  return dark;
}

TEST_F(PdfPrinterTest, JapaneseTextComesBackFromThePdf) {
  const std::filesystem::path pdf =
      PrintText(std::string("件名：日本語のメール本文です。ｶﾀｶﾅ ①②"));
  EXPECT_EQ(pdf.parent_path(), dir_.Path() / "PDF");
  EXPECT_THAT(test::PdfToText(pdf), HasSubstr("件名：日本語のメール本文です。ｶﾀｶﾅ ①②"));
  const std::string info = test::PdfInfo(pdf);
  EXPECT_THAT(info, HasSubstr("Title:           Pelnor"));
  EXPECT_THAT(info, HasSubstr("(A4)"));
}

// Characters the account's font lacks are drawn from another installed font
// (fontconfig's fallback), never as the box of a missing glyph. Qt writes
// no text layer for characters beyond U+FFFF, so for those the fonts and
// the ink tell.
TEST_F(PdfPrinterTest, CharactersTheFontLacksComeFromAnotherFont) {
  struct Row {
    const char* text;
    bool readable;  // pdftotext gives it back
  };
  const auto print = [this](const char* text) {
    const std::filesystem::path pdf = PrintText(text, 600, 600);
    return std::make_tuple(test::PdfToText(pdf), test::PdfFonts(pdf),
                           test::RenderPdf(pdf, 150, 140, 140, 60, 60).Pixels);
  };
  const auto [boxText, boxFonts, box] = print("\U0010FFFD");  // private use: no font has it
  for (const Row& row : {Row{"𠮷", false}, Row{"😀", false}, Row{"🍣", false},
                         Row{"한국", true}, Row{"①", true}, Row{"中文", true}}) {
    const auto [text, fonts, ink] = print(row.text);
    if (row.readable) EXPECT_THAT(text, HasSubstr(row.text));
    const auto dark = std::count_if(ink.begin(), ink.end(), [](auto v) { return v < 128; });
    EXPECT_GT(dark, 20) << row.text;
    EXPECT_NE(ink, box) << row.text << " printed as the box of a missing glyph";
    if (!row.readable) EXPECT_THAT(fonts, Not(HasSubstr("IPAGothic"))) << row.text;
  }
}

TEST_F(PdfPrinterTest, WindowsFontNamesStillPrintJapanese) {
  // Records written on Windows name fonts this system does not have.
  for (const char* face : {"ＭＳ 明朝", "ＭＳ Ｐゴシック", "Arial", "no such font"}) {
    PrintFont font;
    font.Name = Sjis(face);
    font.Size = 12;
    font.Style.set(fsBold);
    printer_.SetFont(font);
    EXPECT_THAT(test::PdfToText(PrintText(std::string("件名：お問い合わせ"))), HasSubstr("件名：お問い合わせ"))
        << face;
  }
}

TEST_F(PdfPrinterTest, EachJobGoesToANewFile) {
  const std::filesystem::path first = PrintText("first job");
  const std::filesystem::path second = PrintText("second job");
  EXPECT_NE(first, second);
  EXPECT_EQ(PdfFiles().size(), 2u);
  EXPECT_THAT(test::PdfToText(first), HasSubstr("first job"));
  EXPECT_THAT(test::PdfToText(second), HasSubstr("second job"));
  EXPECT_EQ(first.extension(), ".pdf");
}

TEST_F(PdfPrinterTest, DrawnTextLandsWhereMeasured) {
  struct Row {
    const char* utf8;
    int x, y;
  };
  for (const Row& row : {Row{"WAVE", 600, 600}, Row{"日本語のテキスト", 1200, 1500}}) {
    const std::string text = row.utf8;
    const int width = printer_.TextWidth(text);
    const std::vector<test::PdfWord> words = test::PdfWords(PrintText(text, row.x, row.y));
    ASSERT_EQ(words.size(), 1u) << row.utf8;
    EXPECT_EQ(words[0].Text, row.utf8);
    EXPECT_NEAR(words[0].XMin, row.x * kPointsPerPixel, 0.5) << row.utf8;
    EXPECT_NEAR(words[0].XMax - words[0].XMin, width * kPointsPerPixel, 1.0) << row.utf8;
    EXPECT_NEAR(words[0].YMin, row.y * kPointsPerPixel, 2.0) << row.utf8;
  }
}

TEST_F(PdfPrinterTest, TabsAndControlsAreDrawnWhereMeasured) {
  // Mail bodies carry tabs; the wrapping relies on the measure of what follows.
  for (const std::string text : {"AA\tBB", "AA\t\tBB", "A\x01\x7f" "BB"}) {
    const int lead = printer_.TextWidth(text.substr(0, text.find('B')));
    const std::vector<test::PdfWord> words = test::PdfWords(PrintText(text, 600, 600));
    ASSERT_FALSE(words.empty());
    EXPECT_EQ(words.back().Text, "BB");
    EXPECT_NEAR(words.back().XMin, (600 + lead) * kPointsPerPixel, 0.5) << text;
  }
}

TEST_F(PdfPrinterTest, TextIsClippedToItsRectangle) {
  // A line much longer than its rectangle, which also cuts the glyphs in half.
  std::string line;
  for (int i = 0; i < 40; ++i) line += std::string("書");
  const Rect clip{600, 600, 1400, 640};
  printer_.BeginDoc("Pelnor");
  printer_.TextRect(clip, 600, 600, line);
  printer_.EndDoc();
  // Rendered at 600 dpi: one image pixel is one printer pixel.
  const test::GrayImage image = test::RenderPdf(*printer_.LastPdfFile(), 600, 0, 0, 3000, 1000);
  EXPECT_GT(DarkPixels(image, clip.Left, clip.Top, clip.Right, clip.Bottom), 100);
  EXPECT_GT(DarkPixels(image, clip.Right - 40, clip.Top, clip.Right, clip.Bottom), 0)
      << "the text runs up to the right edge";
  const int all = DarkPixels(image, 0, 0, image.Width, image.Height);
  const int inside = DarkPixels(image, clip.Left - 1, clip.Top - 1, clip.Right + 1, clip.Bottom + 1);
  EXPECT_EQ(all, inside) << "ink outside the rectangle";
}

TEST_F(PdfPrinterTest, EmptyRectangleDrawsNothing) {
  printer_.BeginDoc("Pelnor");
  printer_.TextRect({600, 600, 600, 700}, 600, 600, "invisible");
  printer_.TextRect({600, 600, 1000, 600}, 600, 600, "invisible");
  printer_.EndDoc();
  EXPECT_THAT(test::PdfToText(*printer_.LastPdfFile()), Not(HasSubstr("invisible")));
}

TEST_F(PdfPrinterTest, HeavyRuleIsSixPixelsAcrossTheMargins) {
  const int right = printer_.PageWidth() - 200;
  printer_.BeginDoc("Pelnor");
  printer_.SetPenWidth(2);
  for (int i = 0; i <= 4; ++i) {
    printer_.MoveTo(200, 1000 + i);
    printer_.LineTo(right, 1000 + i);
  }
  printer_.EndDoc();
  const test::GrayImage image =
      test::RenderPdf(*printer_.LastPdfFile(), 600, 0, 980, printer_.PageWidth(), 40);
  int rows = 0;
  for (int y = 0; y < image.Height; ++y) rows += image.At(1000, y) < 128;
  EXPECT_EQ(rows, 6);
  const int middle = 1002 - 980;
  EXPECT_GE(image.At(198, middle), 128);
  EXPECT_LT(image.At(201, middle), 128);
  EXPECT_LT(image.At(right - 2, middle), 128);
  EXPECT_GE(image.At(right + 1, middle), 128);
}

TEST_F(PdfPrinterTest, NewPageStartsTheNextPage) {
  printer_.BeginDoc("Pelnor");
  printer_.TextRect(Page(), 200, 200, "first page");
  printer_.NewPage();
  printer_.TextRect(Page(), 200, 200, "second page");
  printer_.EndDoc();
  const std::filesystem::path pdf = *printer_.LastPdfFile();
  EXPECT_THAT(test::PdfInfo(pdf), HasSubstr("Pages:           2"));
  EXPECT_THAT(test::PdfToText(pdf, 2, 2), HasSubstr("second page"));
  EXPECT_THAT(test::PdfToText(pdf, 2, 2), Not(HasSubstr("first page")));
}

TEST_F(PdfPrinterTest, SelectedPaperIsThePdfPageSize) {
  printer_.SetPaperSize(8);  // A3
  const std::filesystem::path pdf = PrintText("A3");
  EXPECT_THAT(test::PdfInfo(pdf), HasSubstr("(A3)"));
}

TEST_F(PdfPrinterTest, AbortedJobLeavesNoFile) {
  printer_.BeginDoc("Pelnor");
  printer_.TextRect(Page(), 200, 200, "half done");
  printer_.Abort();
  EXPECT_TRUE(PdfFiles().empty());
  EXPECT_FALSE(printer_.LastPdfFile().has_value());
  EXPECT_THAT(test::PdfToText(PrintText("after abort")), HasSubstr("after abort"));
}

TEST_F(PdfPrinterTest, JobThatCannotBeWrittenFailsAndLeavesNoFile) {
  const auto printPages = [this] {
    printer_.BeginDoc("Pelnor");
    for (int page = 1; page <= 4; ++page) {
      if (page > 1) printer_.NewPage();
      for (int line = 0; line < 40; ++line)
        printer_.TextRect(Page(), 200, 200 + 150 * line,
                          std::string("本文の行です。") + std::to_string(page * 100 + line));
    }
    printer_.EndDoc();
  };
  {
    const FileSizeLimit diskFull(8192);
    try {
      printPages();
      ADD_FAILURE() << "a job cut off at 8 KiB counted as printed";
    } catch (const EPrinterError& error) {
      EXPECT_THAT(error.what(), HasSubstr(printer_.PdfDir().string()));
      EXPECT_THAT(error.what(), HasSubstr(ErrorText(EFBIG)));
    }
    printer_.Abort();  // as the job guard does
  }
  EXPECT_TRUE(PdfFiles().empty());
  EXPECT_FALSE(printer_.LastPdfFile().has_value());

  printPages();  // room again: the printer works on
  EXPECT_THAT(test::PdfInfo(*printer_.LastPdfFile()), HasSubstr("Pages:           4"));
  EXPECT_EQ(PdfFiles().size(), 1u);
}

TEST_F(PdfPrinterTest, JobCutShortByTheProgramsEndLeavesNoFile) {
  const int exitCode = test::RunInChildProcess([this] {
    printer_.BeginDoc("Pelnor");
    for (int page = 1; page <= 3; ++page) {
      printer_.TextRect(Page(), 200, 200, "page " + std::to_string(page));
      printer_.NewPage();
    }
  });  // ends with the job half written, neither finished nor aborted
  ASSERT_EQ(exitCode, 0);
  EXPECT_TRUE(PdfFiles().empty());
}

TEST_F(PdfPrinterTest, UnwritableFolderFailsTheJobCleanly) {
  const std::filesystem::path file = dir_.Path() / "not-a-dir";
  std::ofstream(file) << "x";
  QtPrinter blocked(file);
  blocked.SelectPrinter(static_cast<int>(blocked.Printers().size()) - 1);
  EXPECT_THROW(blocked.BeginDoc("Pelnor"), EPrinterError);
  EXPECT_THROW(blocked.TextRect(Page(), 0, 0, "x"), EPrinterError);  // no job is running
  EXPECT_NO_THROW(blocked.SelectPrinter(-1));
}

}  // namespace
}  // namespace pelnor
