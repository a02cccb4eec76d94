#include "core/store/account_editor.h"

#include "core/store/account_record.h"
#include "core/store/history.h"
#include "core/text/integer.h"

namespace pelnor {
namespace {

// "0" means on for the flags 11, 13, 14 and 15.
const char* Flag(bool on) { return on ? "0" : "1"; }

bool IsSjisLeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

int NumberField(std::string_view record, int field, std::vector<int>& notWhole) {
  if (std::optional<int> value = ParseInteger(RecordField(record, field), kSignedNumber))
    return *value;
  notWhole.push_back(field);
  return 0;
}

}  // namespace

std::string BuildAccountRecord(const AccountDraft& d) {
  std::string r;
  for (const std::string* text : {&d.Alias, &d.Server, &d.User, &d.Password}) {
    r += *text;
    r += '|';
    if (text == &d.Alias) r += "1|";
  }
  r += std::to_string(d.PrinterItem) + '|' + std::to_string(d.PaperItem) + '|';
  r += d.FontName + '|' + d.FontStyle + '|' + d.FontSize + '|';
  r += std::string(Flag(d.SaveAttachments)) + '|' + d.AttachDir + '|';
  r += std::string(Flag(d.DateSubDir)) + '|' + Flag(d.DeleteOnServer) + '|';
  if (d.ReceiveAll || d.Addresses.empty()) return r + '0';
  r += '1';
  for (const std::string& address : d.Addresses) r += '|' + address;
  return r;
}

LoadedAccount ReadAccountRecord(std::string_view record) {
  LoadedAccount loaded;
  AccountDraft& d = loaded.Draft;
  d.Alias = RecordField(record, afAlias);
  d.Server = RecordField(record, afHost);
  d.User = RecordField(record, afUser);
  d.Password = RecordField(record, afPassword);
  d.PrinterItem = NumberField(record, afPrinter, loaded.NotWholeFields);
  d.PaperItem = NumberField(record, afPaper, loaded.NotWholeFields);
  d.FontName = RecordField(record, afFontName);
  d.FontStyle = RecordField(record, afFontStyle);
  d.FontSize = RecordField(record, afFontSize);
  d.SaveAttachments = RecordField(record, afSaveAttachments) == "0";
  d.AttachDir = RecordField(record, afAttachDir);
  d.DateSubDir = RecordField(record, afDateSubDir) == "0";
  d.DeleteOnServer = RecordField(record, afDeleteOnServer) == "0";
  d.ReceiveAll = RecordField(record, afFilterSenders) == "0";
  if (!d.ReceiveAll) d.Addresses = RecordFieldsFrom(record, afFirstAddress);
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
