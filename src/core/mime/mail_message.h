#pragma once

// The message model: one decoded mail (MailMessage), its attachments
// (AttachedFileList / AttachedFile) and the messages of one POP3 session
// (MailMessageList). Plain data; parsing lives in MailParser.
//
// Ownership: the POP3 client owns its messages (std::unique_ptr); a
// MailMessageList only refers to them; attachments belong to their message.
// Decoded text (header fields, body lines, attachment names) is UTF-8;
// Headers hold the raw lines as they came.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace pelnor {

enum MailPriority : int { prHighest, prHigh, prNormal, prLow, prLowest };

class MailMessage;

class AttachedFile {
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

class AttachedFileList {
 public:
  explicit AttachedFileList(MailMessage* owner) : owner_(owner) {}
  AttachedFileList(const AttachedFileList&) = delete;
  AttachedFileList& operator=(const AttachedFileList&) = delete;

  // Appends an attachment for the UTF-8 `name` (directory parts allowed,
  // "\", "/" or ":" separated; only the last part is kept).
  AttachedFile& AddFile(const std::string& name);

  AttachedFile& Items(int index) { return *items_.at(index); }
  const AttachedFile& Items(int index) const { return *items_.at(index); }
  int Count() const { return static_cast<int>(items_.size()); }
  void Clear() { items_.clear(); }
  MailMessage* Owner() const { return owner_; }

 private:
  MailMessage* owner_;
  // unique_ptr keeps references from AddFile valid while items are added.
  std::vector<std::unique_ptr<AttachedFile>> items_;
};

class MailMessage {
 public:
  MailMessage() : AttachedFiles(this) {}
  MailMessage(const MailMessage&) = delete;
  MailMessage& operator=(const MailMessage&) = delete;

  MailPriority Priority = prNormal;
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
  AttachedFileList AttachedFiles;         // in the order found
  std::string ContentType;                // upper-cased, "TEXT/PLAIN" default
  std::string ContentTransferEncoding;    // upper-cased, "7BIT" default
  std::vector<std::string> Headers;       // raw header lines, in order
  std::string CharSet = "ISO-8859-1";
  std::int32_t Size = 0;                  // octets, from the LIST reply
};

// The messages of one session, in server order. Holds references only:
// Clear frees nothing; the messages live as long as their owner.
class MailMessageList {
 public:
  MailMessage& Items(int index) const { return *items_.at(index); }
  int Add(MailMessage& msg) {
    items_.push_back(&msg);
    return Count() - 1;
  }
  int Count() const { return static_cast<int>(items_.size()); }
  void Clear() { items_.clear(); }

 private:
  std::vector<MailMessage*> items_;
};

}  // namespace pelnor
