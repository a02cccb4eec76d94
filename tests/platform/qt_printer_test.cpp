// The printer object without reading its output back: printer list, default
// rule, papers, fonts, measurement and the job state rules.

#include "platform/qt_printer.h"

#include "platform/print_printer_list.h"
#include "core/text/sjis.h"
#include "support/test_process.h"
#include "support/temp_dir.h"

#include <QPrinterInfo>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>

namespace pelnor {
namespace {

using ::testing::Contains;
using ::testing::Each;
using ::testing::Not;

int MmToPixels(double mm) { return static_cast<int>(std::lround(mm / 25.4 * kPrinterDpi)); }

class QtPrinterTest : public ::testing::Test {
 protected:
  int PdfIndex() { return static_cast<int>(printer_.Printers().size()) - 1; }
  void SelectPdf() { printer_.SelectPrinter(PdfIndex()); }

  test::TempDir dir_{"pelnor-print-"};
  QtPrinter printer_{dir_.Path()};
};

// --- printer list -------------------------------------------------------------

TEST_F(QtPrinterTest, ListEndsWithBuiltInPdfPrinter) {
  const std::vector<std::string> names = printer_.Printers();
  ASSERT_FALSE(names.empty());
  EXPECT_EQ(names.back(), Sjis("PDF出力"));
  EXPECT_THAT(names, Each(Not(::testing::HasSubstr("."))));
}

TEST(PrinterDisplayName, CutsSystemNamesBeforeFirstDot) {
  struct Row {
    const char* system;
    const char* shown;
  };
  for (const Row& row : {Row{"Office", "Office"}, Row{"Office.Floor2", "Office"},
                         Row{"a.b.c", "a"}, Row{".hidden", ""}, Row{"trailing.", "trailing"}}) {
    EXPECT_EQ(PrinterDisplayName({QString::fromUtf8(row.system), false}), row.shown) << row.system;
  }
  EXPECT_EQ(PrinterDisplayName({QString::fromUtf8("経理.2F"), false}), Sjis("経理"));
  EXPECT_EQ(PrinterDisplayName({QString(), true}), Sjis("PDF出力"));
}

TEST(PrinterDisplayName, NamesWithoutShiftJisFormStayReadable) {
  EXPECT_EQ(PrinterDisplayName({QString::fromUtf8("Drucker\u00e4\u4e00"), false}),
            "Drucker?" + Sjis("一"));
}

TEST_F(QtPrinterTest, DefaultIsSystemDefaultOrElseThePdfPrinter) {
  printer_.SelectPrinter(-1);
  const QString system = QPrinterInfo::defaultPrinterName();
  if (system.isEmpty()) {
    EXPECT_EQ(printer_.PrinterIndex(), PdfIndex());
  } else {
    EXPECT_EQ(printer_.Printers()[printer_.PrinterIndex()],
              PrinterDisplayName({system, false}));
  }
}

TEST_F(QtPrinterTest, ConstructionSelectsTheDefaultPrinter) {
  printer_.SelectPrinter(-1);
  const int chosen = printer_.PrinterIndex();
  QtPrinter fresh(dir_.Path());
  EXPECT_EQ(fresh.PrinterIndex(), chosen);
}

TEST_F(QtPrinterTest, IndexOutsideTheListIsRefused) {
  for (int index : {-2, PdfIndex() + 1, 1000}) {
    EXPECT_THROW(printer_.SelectPrinter(index), EPrinterError) << index;
  }
}

// --- papers -------------------------------------------------------------------

TEST_F(QtPrinterTest, PdfPrinterOffersA4FirstAndStartsOnIt) {
  SelectPdf();
  const std::vector<std::uint16_t> codes = printer_.PaperCodes();
  const std::vector<std::string> names = printer_.PaperNames();
  ASSERT_FALSE(codes.empty());
  EXPECT_EQ(codes.front(), 9);  // DMPAPER_A4
  EXPECT_EQ(names.size(), codes.size());
  EXPECT_EQ(names.front(), "A4");
  EXPECT_EQ(printer_.PaperSize(), 9);
  EXPECT_THAT(codes, Contains(13));  // JIS B5
}

TEST_F(QtPrinterTest, PaperCodesSetThePageInPrinterPixels) {
  struct Row {
    std::uint16_t code;
    double widthMm, heightMm;
  };
  SelectPdf();
  for (const Row& row : {Row{9, 210, 297}, Row{8, 297, 420}, Row{11, 148, 210},
                         Row{12, 257, 364}, Row{13, 182, 257}, Row{43, 100, 148},
                         Row{1, 215.9, 279.4}, Row{70, 105, 148}}) {
    printer_.SetPaperSize(row.code);
    EXPECT_EQ(printer_.PaperSize(), row.code);
    // Qt rounds paper sizes to whole points: within 0.35 mm.
    EXPECT_NEAR(printer_.PageWidth(), MmToPixels(row.widthMm), 8) << row.code;
    EXPECT_NEAR(printer_.PageHeight(), MmToPixels(row.heightMm), 8) << row.code;
  }
}

TEST_F(QtPrinterTest, UnknownPaperCodeIsRefusedAndKeepsThePaper) {
  SelectPdf();
  printer_.SetPaperSize(8);
  EXPECT_THROW(printer_.SetPaperSize(0xFFFF), EPrinterError);
  EXPECT_THROW(printer_.SetPaperSize(0), EPrinterError);
  EXPECT_EQ(printer_.PaperSize(), 8);
}

TEST_F(QtPrinterTest, ResetAndReselectReturnToTheDriverDefault) {
  SelectPdf();
  printer_.SetPaperSize(8);
  printer_.ResetDeviceMode();
  EXPECT_EQ(printer_.PaperSize(), 9);
  printer_.SetPaperSize(11);
  SelectPdf();
  EXPECT_EQ(printer_.PaperSize(), 9);
}

// --- font and measurement -----------------------------------------------------

TEST_F(QtPrinterTest, FontIsKeptAsSet) {
  PrintFont font;
  font.Name = Sjis("ＭＳ 明朝");  // not installed: kept as written all the same
  font.Style.set(fsBold).set(fsStrikeOut);
  font.Size = 14;
  printer_.SetFont(font);
  SelectPdf();  // the font stays with the printer object
  const PrintFont back = printer_.Font();
  EXPECT_EQ(back.Name, font.Name);
  EXPECT_EQ(back.Style, font.Style);
  EXPECT_EQ(back.Size, 14);
}

TEST_F(QtPrinterTest, TextIsMeasuredAt600Dpi) {
  SelectPdf();
  printer_.SetFont({"IPAGothic", {}, 10});
  // A full-width character is one em: 10 points are 10/72 inch = 83.3 pixels.
  EXPECT_NEAR(printer_.TextWidth(std::string("あ")), 83, 2);
  const int height10 = printer_.TextHeight(std::string("あ"));
  EXPECT_GE(height10, 83);
  EXPECT_LE(height10, 110);
  printer_.SetFont({"IPAGothic", {}, 20});
  EXPECT_NEAR(printer_.TextWidth(std::string("あ")), 167, 2);
  EXPECT_NEAR(printer_.TextHeight(""), 2 * height10, 3);
}

TEST_F(QtPrinterTest, WidthsAddUpAndGrowWithTheText) {
  SelectPdf();
  printer_.SetFont({"IPAGothic", {}, 10});
  const int one = printer_.TextWidth(std::string("あ"));
  EXPECT_EQ(printer_.TextWidth(""), 0);
  EXPECT_EQ(printer_.TextWidth(std::string("あいうえお")), 5 * one);
  const std::string mixed = std::string("件名 Subject テスト 123");
  int previous = 0;
  for (size_t n = 1; n <= mixed.size(); ++n) {
    // Whole UTF-8 characters only.
    while (n < mixed.size() && (static_cast<unsigned char>(mixed[n]) & 0xC0) == 0x80) ++n;
    const int width = printer_.TextWidth(mixed.substr(0, n));
    EXPECT_GT(width, previous) << n;
    previous = width;
  }
}

TEST_F(QtPrinterTest, StyleAndSizeChangeTheMeasure) {
  SelectPdf();
  printer_.SetFont({"IPAGothic", {}, 10});
  const int regular = printer_.TextWidth("Pelnor mail");
  printer_.SetFont({"IPAGothic", {}, 0});  // a broken record prints at 10 points
  EXPECT_EQ(printer_.TextWidth("Pelnor mail"), regular);
  printer_.SetFont({"IPAGothic", {}, 30});
  EXPECT_NEAR(printer_.TextWidth("Pelnor mail"), 3 * regular, 6);
}

TEST_F(QtPrinterTest, VeryLongLinesMeasureWithoutOverflow) {
  SelectPdf();
  printer_.SetFont({"IPAGothic", {}, 10});
  const int one = printer_.TextWidth(std::string("あ"));
  std::string line;
  for (int i = 0; i < 500000; ++i) line += std::string("あ");  // 1 MB, about 42 million pixels
  const long long expected = 500000LL * one;
  EXPECT_NEAR(static_cast<double>(printer_.TextWidth(line)), static_cast<double>(expected),
              expected * 0.001);
}

TEST_F(QtPrinterTest, InvalidShiftJisIsMeasuredNotRejected) {
  SelectPdf();
  EXPECT_GT(printer_.TextWidth("\x81"), 0);       // a lone lead byte
  EXPECT_GT(printer_.TextWidth("ab\xFF\xFF"), 0);
}

// --- job state ------------------------------------------------------------------

TEST_F(QtPrinterTest, CanvasNeedsARunningJob) {
  SelectPdf();
  EXPECT_THROW(printer_.TextRect({0, 0, 100, 100}, 0, 0, "x"), EPrinterError);
  EXPECT_THROW(printer_.MoveTo(0, 0), EPrinterError);
  EXPECT_THROW(printer_.LineTo(10, 0), EPrinterError);
  EXPECT_THROW(printer_.NewPage(), EPrinterError);
  EXPECT_THROW(printer_.EndDoc(), EPrinterError);
  EXPECT_NO_THROW(printer_.Abort());
  EXPECT_NO_THROW(printer_.SetPenWidth(2));
  EXPECT_GT(printer_.TextWidth("x"), 0);
}

TEST_F(QtPrinterTest, PrinterStaysPutDuringAJob) {
  SelectPdf();
  printer_.BeginDoc("Pelnor");
  EXPECT_THROW(printer_.BeginDoc("Pelnor"), EPrinterError);
  EXPECT_THROW(printer_.SelectPrinter(-1), EPrinterError);
  EXPECT_THROW(printer_.ResetDeviceMode(), EPrinterError);
  printer_.EndDoc();
  EXPECT_NO_THROW(printer_.SelectPrinter(-1));
}

TEST_F(QtPrinterTest, MeasureIsTheSameBeforeAndDuringAJob) {
  SelectPdf();
  printer_.SetFont({"IPAGothic", {}, 11});
  const std::string text = std::string("送信者：山田 太郎 <taro@example.jp>");
  const int before = printer_.TextWidth(text);
  const int height = printer_.TextHeight(text);
  const int page = printer_.PageWidth();
  printer_.BeginDoc("Pelnor");
  EXPECT_EQ(printer_.TextWidth(text), before);
  EXPECT_EQ(printer_.TextHeight(text), height);
  EXPECT_EQ(printer_.PageWidth(), page);
  printer_.EndDoc();
}

}  // namespace
}  // namespace pelnor
