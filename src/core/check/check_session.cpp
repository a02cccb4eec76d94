#include "core/check/check_session.h"

#include <charconv>
#include <optional>

#include "core/store/account_record.h"

namespace pelnor {
namespace {

std::optional<int> DecimalValue(const std::string& text) {
  int value = 0;
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (ec != std::errc() || ptr != end || text.empty()) return std::nullopt;
  return value;
}

int PrinterIndexFrom(const std::string& field, std::size_t printerCount) {
  std::optional<int> index = DecimalValue(field);
  if (!index || *index < 0 || *index > static_cast<int>(printerCount) - 1) return -1;
  return *index;
}

// The address part of a From text.
std::string SenderAddress(std::string from) {
  if (auto open = from.find('<'); open != std::string::npos) from.erase(0, open + 1);
  if (auto close = from.find('>'); close != std::string::npos) from.erase(close);
  return from;
}

}  // namespace

OutputAccount CheckSession::ForOutput() const {
  OutputAccount account;
  account.CurrentAlias = CurrentAlias;
  account.PrinterIndex = PrinterIndex;
  account.PaperIndex = PaperIndex;
  account.SaveAttachFlag = SaveAttachFlag;
  account.AttachDir = AttachDir;
  account.DateDirFlag = DateDirFlag;
  return account;
}

FontStyles FontStylesFromText(const std::string& text) {
  static const char* const kNames[] = {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"};
  std::string inner = text;
  if (!inner.empty() && inner.front() == '[') inner.erase(0, 1);
  if (!inner.empty() && inner.back() == ']') inner.pop_back();
  FontStyles styles;
  std::size_t start = 0;
  while (start <= inner.size()) {
    std::size_t comma = inner.find(',', start);
    if (comma == std::string::npos) comma = inner.size();
    std::string name = inner.substr(start, comma - start);
    for (int i = 0; i < 4; ++i)
      if (name == kNames[i]) styles.set(i);
    start = comma + 1;
  }
  return styles;
}

void ReadSession(const std::string& record, CheckSession& session, PrintCanvas& canvas) {
  session.CurrentAlias = RecordField(record, afAlias);
  session.EnabledFlag = RecordField(record, afEnabled);
  session.Host = RecordField(record, afHost);
  session.UserId = RecordField(record, afUser);
  session.Passwd = RecordField(record, afPassword);
  session.PrinterIndex = PrinterIndexFrom(RecordField(record, afPrinter), canvas.Printers().size());
  session.PaperIndex = DecimalValue(RecordField(record, afPaper)).value_or(-1);

  PrintFont font = canvas.Font();
  font.Name = RecordField(record, afFontName);
  font.Style = FontStylesFromText(RecordField(record, afFontStyle));
  font.Size = DecimalValue(RecordField(record, afFontSize)).value_or(font.Size);
  canvas.SetFont(font);

  session.SaveAttachFlag = RecordField(record, afSaveAttachments);
  session.AttachDir = RecordField(record, afAttachDir);
  session.DateDirFlag = RecordField(record, afDateSubDir);
  session.DeleteFlag = RecordField(record, afDeleteOnServer);
  session.ReceiveAllFlag = RecordField(record, afFilterSenders);
  session.FilterAddresses = RecordFieldsFrom(record, afFirstAddress);
}

bool IsWantedSender(const CheckSession& session, const std::string& from) {
  if (session.ReceiveAllFlag == "0") return true;
  const std::string address = SenderAddress(from);
  for (const std::string& entry : session.FilterAddresses) {
    if (entry.find('@') != std::string::npos) {
      if (address == entry) return true;
    } else {
      std::string::size_type at = address.find('@');
      if (address.substr(at == std::string::npos ? 0 : at + 1) == entry) return true;
    }
  }
  return false;
}

}  // namespace pelnor
