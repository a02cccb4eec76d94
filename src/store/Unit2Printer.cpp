// The editor's printer side: printer and paper lists, the font, showing.

#include <QComboBox>
#include <QEvent>
#include <QFontMetrics>
#include <QLineEdit>
#include <QStringDecoder>
#include <QAbstractItemView>

#include <algorithm>

#include "platform/print_font.h"
#include "platform/print_text.h"
#include "store/Unit2.h"
#include "store/account_editor.h"
#include "store/form_placement.h"

namespace pelnor {
namespace {

TPrintFont PrintFontOf(const QFont& font) {
  TPrintFont result;
  result.Name = ToSjis(font.family());
  result.Style[fsBold] = font.bold();
  result.Style[fsItalic] = font.italic();
  result.Style[fsUnderline] = font.underline();
  result.Style[fsStrikeOut] = font.strikeOut();
  result.Size = font.pointSize() > 0 ? font.pointSize() : qRound(font.pointSizeF());
  return result;
}

// Printer errors are Shift_JIS, file errors UTF-8.
QString ErrorText(const char* what) {
  QStringDecoder utf8(QStringDecoder::Utf8);
  const QString text = utf8(QByteArray(what));
  return utf8.hasError() ? FromSjis(what) : text;
}

}  // namespace

void TForm2::FillPrinters() {
  ComboBox1->clear();
  for (const std::string& name : services_.Printer->Printers()) ComboBox1->addItem(FromSjis(name));
}

// Fields 8 to 10 as the print object holds its font now.
void TForm2::ShowPrinterFont() {
  const TPrintFont font = services_.Printer->Font();
  Edit5->setText(FromSjis(font.Name));
  Edit6->setText(FromSjis(FontStyleText(font.Style)));
  Edit7->setText(QString::number(font.Size));
}

void TForm2::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  Guarded([this] { FormShow(); });
}

void TForm2::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) FormActivate();
}

void TForm2::FormShow() {
  SetLastShown(kForm2Number);
  CenterOnScreen(*this);
  // Selecting a printer puts its paper back to the driver's default, so the
  // printer already chosen for a loaded record keeps the record's paper.
  const int chosen = ComboBox1->currentIndex();
  if (chosen >= 0 && chosen != services_.Printer->PrinterIndex())
    services_.Printer->SelectPrinter(chosen);
  LoadPaperNames();
}

// The drop-down list is widened to its longest printer name.
void TForm2::FormActivate() {
  const QFontMetrics metrics(ComboBox1->font());
  int width = ComboBox1->width() - 20;
  for (int item = 0; item < ComboBox1->count(); ++item)
    width = std::max(width, metrics.horizontalAdvance(ComboBox1->itemText(item)) + 20);
  if (width > ComboBox1->width()) ComboBox1->view()->setMinimumWidth(width);
}

void TForm2::ComboBox1Change() {
  services_.Printer->SelectPrinter(ComboBox1->currentIndex());
  LoadPaperNames();
}

void TForm2::LoadPaperNames() {
  TPrintCanvas& printer = *services_.Printer;
  const std::vector<std::string> names = printer.PaperNames();
  if (names.empty()) return;
  const std::vector<std::uint16_t> codes = printer.PaperCodes();
  ComboBox2->clear();
  for (const std::string& name : names) ComboBox2->addItem(FromSjis(name));
  const auto searched = codes.begin() + static_cast<long>(std::min(names.size(), codes.size()));
  const auto found = std::find(codes.begin(), searched, printer.PaperSize());
  if (found == searched) {
    ComboBox2->setCurrentIndex(-1);
    return;
  }
  const int k = static_cast<int>(found - codes.begin());
  ComboBox2->setCurrentIndex(k);
  if (services_.PaperIndex) *services_.PaperIndex = k;
}

// "変更": the dialog starts from the font last chosen in it.
void TForm2::Button5Click() {
  if (!services_.ChooseFont) return;
  const QFont start = dialogFont_.value_or(ToQFont(services_.Printer->Font()));
  const std::optional<QFont> chosen = services_.ChooseFont(start);
  if (!chosen) return;
  dialogFont_ = *chosen;
  services_.Printer->SetFont(PrintFontOf(*chosen));
  ShowPrinterFont();
}

void TForm2::SetLastShown(int number) {
  if (services_.SetLastShownForm) services_.SetLastShownForm(number);
}

void TForm2::Message(const QString& text) {
  if (services_.ShowMessage) services_.ShowMessage(text);
}

// A failure of the printing system or of a file is shown, and the editor
// carries on.
void TForm2::Guarded(const std::function<void()>& handler) {
  try {
    handler();
  } catch (const std::exception& e) {
    Message(ErrorText(e.what()));
  }
}

}  // namespace pelnor
