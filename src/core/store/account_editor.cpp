#include "core/store/account_editor.h"

#include "core/store/account_record.h"
#include "core/store/history.h"

namespace pelnor {
namespace {

bool IsSjisLeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

void ShowNotWholeAsZero(std::optional<int>& number, int field, std::vector<int>& notWhole) {
  if (number) return;
  number = 0;
  notWhole.push_back(field);
}

}  // namespace

std::string BuildAccountRecord(Account account) {
  account.Enabled = true;
  if (account.ReceiveAll || account.Addresses.empty()) {
    account.ReceiveAll = true;
    account.Addresses.clear();
  }
  return account.ToRecord();
}

LoadedAccount ReadRecordForEditor(std::string_view record) {
  LoadedAccount loaded{Account::FromRecord(record), {}};
  Account& shown = loaded.Shown;
  ShowNotWholeAsZero(shown.PrinterIndex, afPrinter, loaded.NotWholeFields);
  ShowNotWholeAsZero(shown.PaperIndex, afPaper, loaded.NotWholeFields);
  if (shown.ReceiveAll) shown.Addresses.clear();
  return loaded;
}

std::string FontStyleText(const std::bitset<4>& styles) {
  static const char* const kNames[] = {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"};
  std::string text = "[";
  for (size_t i = 0; i < styles.size(); ++i) {
    if (!styles[i]) continue;
    if (text.size() > 1) text += ',';
    text += kNames[i];
  }
  return text + ']';
}

std::string FieldBreakingChar(std::string_view sjis) {
  for (size_t i = 0; i < sjis.size(); ++i) {
    const auto b = static_cast<unsigned char>(sjis[i]);
    if (b == '|') return "|";
    if (IsSjisLeadByte(b) && i + 1 < sjis.size()) {
      if (sjis[i + 1] == '|') return std::string(sjis.substr(i, 2));
      ++i;
    }
  }
  return {};
}

std::string WithTrailingSeparator(std::string dir) {
  if (dir.empty() || dir.back() != '/') dir += '/';
  return dir;
}

std::vector<size_t> DuplicateAliases(const AccountList& list, std::string_view alias,
                                     std::optional<size_t> skip) {
  std::vector<size_t> equal;
  for (size_t i = 0; i < list.size(); ++i)
    if (i != skip && RecordField(list[i], afAlias) == alias) equal.push_back(i);
  return equal;
}

bool StoreAccountRecord(AccountList& list, const std::string& dir, const std::string& alias,
                        const std::string& record, std::optional<size_t> editIndex) {
  if (editIndex && *editIndex >= list.size()) editIndex.reset();
  for (size_t i = 0; i < list.size(); ++i)
    if (i != editIndex && CompareRecords(list[i], record) == 0) return false;
  // The history comes first: should it fail, the edited record is still held.
  CreateHistory(dir, alias, record);
  if (editIndex) list.Delete(*editIndex);
  list.Add(record);
  return true;
}

}  // namespace pelnor
