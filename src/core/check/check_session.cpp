#include "core/check/check_session.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace pelnor {
namespace {

// The address part of a From text.
std::string SenderAddress(std::string from) {
  if (auto open = from.find('<'); open != std::string::npos) from.erase(0, open + 1);
  if (auto close = from.find('>'); close != std::string::npos) from.erase(close);
  return from;
}

}  // namespace

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

void ReadSession(const std::string& record, Account& session, PrintCanvas& canvas) {
  session = Account::FromRecord(record);
  PrintFont font = canvas.Font();
  font.Name = session.FontName;
  font.Style = FontStylesFromText(session.FontStyle);
  font.Size = session.FontSize.value_or(font.Size);
  canvas.SetFont(font);
}

int PrinterIndexFor(const Account& account, std::size_t printerCount) {
  const int index = account.PrinterIndex.value_or(-1);
  return index < 0 || index > static_cast<int>(printerCount) - 1 ? -1 : index;
}

int PaperIndexFor(const Account& account) { return account.PaperIndex.value_or(-1); }

std::optional<int> CurrentPaperIndex(const PrintCanvas& canvas) {
  const std::vector<std::string> names = canvas.PaperNames();
  const std::vector<std::uint16_t> codes = canvas.PaperCodes();
  const std::size_t listed = std::min(names.size(), codes.size());
  const std::uint16_t current = canvas.PaperSize();
  for (std::size_t k = 0; k < listed; ++k)
    if (codes[k] == current) return static_cast<int>(k);
  return std::nullopt;
}

bool IsWantedSender(const Account& session, const std::string& from) {
  if (session.ReceiveAll) return true;
  const std::string address = SenderAddress(from);
  for (const std::string& entry : session.Addresses) {
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
