#pragma once

// The message model: one decoded mail (TVekMsg), its attachments
// (TAttachedFiles / TAttachedFile) and the messages of one POP3 session
// (TVekMsgList). Plain data; parsing lives in TVekParser.
//
// Ownership: the POP3 client owns its messages (std::unique_ptr); a
// TVekMsgList only refers to them; attachments belong to their message.
// All strings are byte strings (Shift_JIS once a message is finished).

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace pelnor {

enum TPriority : int { prHighest, prHigh, prNormal, prLow, prLowest };

class TVekMsg;

class TAttachedFile {
 public:
  std::string FileName;              // shown in the printout, used to save
  std::string SourcePath;            // the name given to AddFile, unchanged
  std::vector<std::string> Lines;    // encoded lines while a decoder runs
  std::string Data;                  // decoded bytes, exactly as saved
  std::string ContentType;           // from the file-name extension

  // Writes the whole of Data to a new file at `path`. False, writing
  // nothing, when something of that name exists (a symlink too: it is never
  // followed). Other file-system failures throw
  // std::filesystem::filesystem_error and leave no file behind.
  bool SaveToNewFile(const std::filesystem::path& path) const;
};

class TAttachedFiles {
 public:
  explicit TAttachedFiles(TVekMsg* owner) : owner_(owner) {}
  TAttachedFiles(const TAttachedFiles&) = delete;
  TAttachedFiles& operator=(const TAttachedFiles&) = delete;

  // Appends an attachment for `name` (directory parts allowed, "\" or ":"
  // separated). A non-ASCII file name is kept in ISO-2022-JP form until the
  // parser's finishing step turns it back into Shift_JIS.
  TAttachedFile& AddFile(const std::string& name);

  TAttachedFile& Items(int index) { return *items_.at(index); }
  const TAttachedFile& Items(int index) const { return *items_.at(index); }
  int Count() const { return static_cast<int>(items_.size()); }
  void Clear() { items_.clear(); }
  TVekMsg* Owner() const { return owner_; }

 private:
  TVekMsg* owner_;
  // unique_ptr keeps references from AddFile valid while items are added.
  std::vector<std::unique_ptr<TAttachedFile>> items_;
};

class TVekMsg {
 public:
  TVekMsg() : AttachedFiles(this) {}
  TVekMsg(const TVekMsg&) = delete;
  TVekMsg& operator=(const TVekMsg&) = delete;

  TPriority Priority = prNormal;
  std::string UserName;
  std::string JPName;
  std::string From;
  std::string Sender;
  std::string MessageId;
  std::string InReplyTo;
  std::string ReturnPath;
  std::string ReplyTo;
  std::string SendTo;
  std::string CC;
  std::string BCC;
  std::string Date;
  std::string Subject;
  std::vector<std::string> Text;          // body lines
  std::vector<std::string> ExtraHeaders;
  TAttachedFiles AttachedFiles;           // in the order found
  std::string ContentType;                // upper-cased, "TEXT/PLAIN" default
  std::string ContentTransferEncoding;    // upper-cased, "7BIT" default
  std::vector<std::string> Headers;       // raw header lines, in order
  std::string CharSet = "ISO-8859-1";
  std::int32_t Size = 0;                  // octets, from the LIST reply
};

// The messages of one session, in server order. Holds references only:
// Clear frees nothing; the messages live as long as their owner.
class TVekMsgList {
 public:
  TVekMsg& Items(int index) const { return *items_.at(index); }
  int Add(TVekMsg& msg) {
    items_.push_back(&msg);
    return Count() - 1;
  }
  int Count() const { return static_cast<int>(items_.size()); }
  void Clear() { items_.clear(); }

 private:
  std::vector<TVekMsg*> items_;
};

}  // namespace pelnor
