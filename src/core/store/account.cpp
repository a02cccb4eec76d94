#include "core/store/account.h"

#include <algorithm>
#include <stdexcept>

#include "core/text/integer.h"

namespace pelnor {
namespace {

// "0" means on for the flags 11, 13, 14 and 15.
const char* FlagText(bool on) { return on ? "0" : "1"; }

std::string NumberText(const std::optional<int>& number) {
  return number ? std::to_string(*number) : std::string();
}

std::optional<int> NumberOf(const std::string& text) { return ParseInteger(text, kSignedNumber); }

}  // namespace

Account Account::FromRecord(std::string_view record) {
  std::vector<std::string> fields = RecordFieldsFrom(record, afAlias);
  Account account;
  account.storedFieldCount_ = std::min(static_cast<int>(fields.size()), kFixedFieldCount);
  for (int field = afAlias; field <= kFixedFieldCount; ++field) {
    const auto index = static_cast<std::size_t>(field - 1);
    account.SetField(field, index < fields.size() ? std::move(fields[index]) : std::string());
  }
  if (fields.size() > kFixedFieldCount)
    account.Addresses.assign(std::make_move_iterator(fields.begin() + kFixedFieldCount),
                             std::make_move_iterator(fields.end()));
  return account;
}

void Account::SetField(int field, std::string text) {
  switch (field) {
    case afAlias: Alias = text; break;
    case afEnabled: Enabled = text != "0"; break;
    case afHost: Host = text; break;
    case afUser: User = text; break;
    case afPassword: Password = text; break;
    case afPrinter: PrinterIndex = NumberOf(text); break;
    case afPaper: PaperIndex = NumberOf(text); break;
    case afFontName: FontName = text; break;
    case afFontStyle: FontStyle = text; break;
    case afFontSize: FontSize = NumberOf(text); break;
    case afSaveAttachments: SaveAttachments = text == "0"; break;
    case afAttachDir: AttachDir = text; break;
    case afDateSubDir: DateSubDir = text == "0"; break;
    case afDeleteOnServer: DeleteOnServer = text == "0"; break;
    case afFilterSenders: ReceiveAll = text == "0"; break;
    default: throw std::range_error("no fixed account field " + std::to_string(field));
  }
  texts_[static_cast<std::size_t>(field - 1)] = std::move(text);
}

std::string Account::NormalField(int field) const {
  switch (field) {
    case afAlias: return Alias;
    case afEnabled: return Enabled ? "1" : "0";
    case afHost: return Host;
    case afUser: return User;
    case afPassword: return Password;
    case afPrinter: return NumberText(PrinterIndex);
    case afPaper: return NumberText(PaperIndex);
    case afFontName: return FontName;
    case afFontStyle: return FontStyle;
    case afFontSize: return NumberText(FontSize);
    case afSaveAttachments: return FlagText(SaveAttachments);
    case afAttachDir: return AttachDir;
    case afDateSubDir: return FlagText(DateSubDir);
    case afDeleteOnServer: return FlagText(DeleteOnServer);
    case afFilterSenders: return FlagText(ReceiveAll);
    default: throw std::range_error("no fixed account field " + std::to_string(field));
  }
}

std::string Account::Field(int field) const {
  std::string normal = NormalField(field);
  const std::optional<std::string>& kept = texts_[static_cast<std::size_t>(field - 1)];
  if (!kept) return normal;
  Account probe;
  probe.SetField(field, *kept);
  return probe.NormalField(field) == normal ? *kept : normal;
}

std::string Account::ToRecord() const {
  int count = kFixedFieldCount;
  if (Addresses.empty())
    while (count > std::max(storedFieldCount_, 1) && Field(count).empty()) --count;
  std::string record;
  for (int field = afAlias; field <= count; ++field) {
    if (field > afAlias) record += kFieldSeparator;
    record += Field(field);
  }
  for (const std::string& address : Addresses) record += kFieldSeparator + address;
  return record;
}

}  // namespace pelnor
