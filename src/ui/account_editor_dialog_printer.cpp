// The editor's printer side: printer and paper lists, the font, showing.

#include <QComboBox>
#include <QEvent>
#include <QFontMetrics>
#include <QLineEdit>
#include <QStringDecoder>
#include <QAbstractItemView>
#include <QStringList>

#include <algorithm>
#include <iterator>

#include "core/check/check_session.h"
#include "platform/print_font.h"
#include "platform/print_text.h"
#include "ui/account_editor_dialog.h"
#include "core/store/account_editor.h"
#include "ui/form_placement.h"

namespace pelnor {
namespace {

PrintFont PrintFontOf(const QFont& font) {
  PrintFont result;
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

void AccountEditorDialog::FillPrinters() {
  printerCombo->clear();
  for (const std::string& name : services_.Printer->Printers())
    printerCombo->addItem(FromSjis(name));
}

QString FontStyleWords(const FontStyles& styles) {
  static const char16_t* const kWords[] = {u"太字", u"斜体", u"下線", u"取消線"};
  static_assert(std::size(kWords) == FontStyles().size());
  QStringList words;
  for (size_t i = 0; i < styles.size(); ++i)
    if (styles[i]) words << QString::fromUtf16(kWords[i]);
  return words.isEmpty() ? QStringLiteral("標準") : words.join(QLatin1Char(' '));
}

// Fields 8 to 10 as the print object holds its font now.
void AccountEditorDialog::ShowPrinterFont() {
  const PrintFont font = services_.Printer->Font();
  fontNameEdit->setText(FromSjis(font.Name));
  ShowFontStyle(FontStyleText(font.Style));
  fontSizeEdit->setText(QString::number(font.Size));
}

// The field keeps its bytes, whatever they are; the words are what
// printing makes of them.
void AccountEditorDialog::ShowFontStyle(const std::string& field) {
  fontStyleField_ = field;
  fontStyleEdit->setText(FontStyleWords(FontStylesFromText(field)));
  fontStyleEdit->setToolTip(FromSjis(field));
}

void AccountEditorDialog::showEvent(QShowEvent* event) {
  // Not the button that closed it last time: typing starts with the alias.
  aliasEdit->setFocus(Qt::OtherFocusReason);
  QWidget::showEvent(event);
  Guarded([this] { OnShown(); });
}

void AccountEditorDialog::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) OnActivated();
}

void AccountEditorDialog::OnShown() {
  SetLastShown(kFormNumber);
  CenterOnScreen(*this);
  // Selecting a printer puts its paper back to the driver's default, so the
  // printer already chosen for a loaded record keeps the record's paper.
  const int chosen = printerCombo->currentIndex();
  if (chosen >= 0 && chosen != services_.Printer->PrinterIndex())
    services_.Printer->SelectPrinter(chosen);
  LoadPaperNames();
}

// The drop-down list is widened to its longest printer name.
void AccountEditorDialog::OnActivated() {
  const QFontMetrics metrics(printerCombo->font());
  int width = printerCombo->width() - 20;
  for (int item = 0; item < printerCombo->count(); ++item)
    width = std::max(width, metrics.horizontalAdvance(printerCombo->itemText(item)) + 20);
  if (width > printerCombo->width()) printerCombo->view()->setMinimumWidth(width);
}

void AccountEditorDialog::OnPrinterChanged() {
  services_.Printer->SelectPrinter(printerCombo->currentIndex());
  LoadPaperNames();
}

void AccountEditorDialog::LoadPaperNames() {
  PrintCanvas& printer = *services_.Printer;
  const std::vector<std::string> names = printer.PaperNames();
  if (names.empty()) return;
  const std::vector<std::uint16_t> codes = printer.PaperCodes();
  paperCombo->clear();
  for (const std::string& name : names) paperCombo->addItem(FromSjis(name));
  const auto searched = codes.begin() + static_cast<long>(std::min(names.size(), codes.size()));
  const auto found = std::find(codes.begin(), searched, printer.PaperSize());
  if (found == searched) {
    paperCombo->setCurrentIndex(-1);
    return;
  }
  const int k = static_cast<int>(found - codes.begin());
  paperCombo->setCurrentIndex(k);
  if (services_.PaperIndex) *services_.PaperIndex = k;
}

// "変更": the dialog starts from the font last chosen in it.
void AccountEditorDialog::OnChooseFont() {
  if (!services_.ChooseFont) return;
  const QFont start = dialogFont_.value_or(ToQFont(services_.Printer->Font()));
  const std::optional<QFont> chosen = services_.ChooseFont(start);
  if (!chosen) return;
  dialogFont_ = *chosen;
  services_.Printer->SetFont(PrintFontOf(*chosen));
  ShowPrinterFont();
}

void AccountEditorDialog::SetLastShown(int number) {
  if (services_.SetLastShownForm) services_.SetLastShownForm(number);
}

void AccountEditorDialog::Message(const QString& text) {
  if (services_.ShowMessage) services_.ShowMessage(text);
}

// A failure of the printing system or of a file is shown, and the editor
// carries on.
void AccountEditorDialog::Guarded(const std::function<void()>& handler) {
  try {
    handler();
  } catch (const std::exception& e) {
    Message(ErrorText(e.what()));
  }
}

}  // namespace pelnor
