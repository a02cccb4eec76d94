#pragma once

// One account with typed fields, as its record in the account list holds it
// (the 1.7 layout of account_record.h). The mail check, the printout and the
// account editor all read a record through it. Texts are Shift_JIS.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/store/account_record.h"

namespace pelnor {

// Fields 1 to 15; the receiving addresses follow them.
inline constexpr int kFixedFieldCount = afFirstAddress - 1;

class Account {
 public:
  std::string Alias;
  bool Enabled = true;  // field 2: anything but "0"
  std::string Host;
  std::string User;
  std::string Password;
  std::optional<int> PrinterIndex;  // none: the field holds no whole number
  std::optional<int> PaperIndex;    // none: the field holds no whole number
  std::string FontName;
  std::string FontStyle;            // "[fsBold,fsItalic]", as stored
  std::optional<int> FontSize;      // points; none: no whole number
  bool SaveAttachments = false;     // field 11 "0"
  std::string AttachDir;
  bool DateSubDir = false;          // field 13 "0": one sub-directory per message
  bool DeleteOnServer = false;      // field 14 "0": delete every retrieved message
  bool ReceiveAll = true;           // field 15 "0": no sender filter
  std::vector<std::string> Addresses;  // fields 16 on: the receiving addresses

  // Reads every field by the record rule (see RecordField): a field the
  // record lacks reads as an empty text, so its flags are off and field 2
  // on. Numbers are read by the rule kSignedNumber.
  static Account FromRecord(std::string_view record);

  // Sets fixed field `field` (afAlias to afFilterSenders) from its text, as
  // reading a record does, and keeps the text. Throws std::range_error for
  // any other field number.
  void SetField(int field, std::string text);

  // The text fixed field `field` is written as: the text it was read or set
  // from while that still reads as the field's value ("007", "yes" in field
  // 2, a font size "abc"), otherwise the form the editor writes: "1"/"0"
  // for field 2, "0" for an on flag and "1" for an off one, a number in
  // decimal, none as an empty text.
  std::string Field(int field) const;

  // The record: the fixed fields joined by "|", then the addresses. A record
  // read and written unchanged comes out byte for byte as it went in, its
  // length too: fields it lacked stay away while they are empty.
  std::string ToRecord() const;

 private:
  std::string NormalField(int field) const;

  // The texts the fixed fields were read or set from.
  std::array<std::optional<std::string>, kFixedFieldCount> texts_;
  // How many fixed fields the record read had.
  int storedFieldCount_ = kFixedFieldCount;
};

}  // namespace pelnor
