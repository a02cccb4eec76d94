#pragma once

// Header-field helpers shared by the parser and the POP3 client: finding
// and unfolding fields, encoded words, Q/B decoding, address lists, plus a
// few text, file-type and temporary-file utilities. Pure functions on byte
// strings; none of them fails on malformed mail.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "mime/temp_file_error.h"

namespace pelnor {

// --- text basics -----------------------------------------------------------
// "Blank" is any byte of code 32 or less. Case changes touch a-z / A-Z only,
// so Shift_JIS bytes pass unchanged.
std::string Trim(std::string_view text);
std::string TrimLeft(std::string_view text);
std::string TrimRight(std::string_view text);
std::string UpperCase(std::string_view text);
std::string LowerCase(std::string_view text);

// The text of a line list: every line followed by CR LF, joined.
std::string JoinLines(const std::vector<std::string>& lines);
// Splits a text into lines at CR LF, a lone CR or a lone LF. A final line
// break does not start another (empty) line.
std::vector<std::string> SplitLines(std::string_view text);

// --- header fields ---------------------------------------------------------
// Finds the first line (before the first empty line) whose upper-cased form
// begins with `key` (upper case, colon included) and returns it with its
// continuation lines appended, each trimmed, with nothing in between.
// (Header trimming spares ESC, so raw ISO-2022-JP text stays convertible.)
std::optional<std::string> FindHeader(std::string_view key,
                                      const std::vector<std::string>& lines);

// The trimmed value after the first `key` (upper case) found in the
// upper-cased `text`, cut before its first ";" (one outside raw
// ISO-2022-JP two-byte text). Empty when `key` is absent.
std::string GetParam(std::string_view key, std::string_view text);

// Decodes every "=?charset?X?...?=" word (Q or B) into Shift_JIS. Words with
// another letter are kept as they are; an unterminated word ends decoding.
std::string DecodeWords(std::string_view text);

// Quoted-printable. `underscoreAsBlank` is set for encoded words, clear for
// bodies. "=XX" that is not hex gives "@"; a cut-off "=" ends the output.
std::string QDecode(std::string_view text, bool underscoreAsBlank);

// Base64 of encoded words and text bodies; out-of-alphabet characters count
// as 63, a group starting with a blank ends the input.
std::string BDecode(std::string_view text);

// Replaces every "=?ISO-2022-JP?B?...?=" (any case) by its JIS bytes
// followed by ESC "(J".
std::string DecodeJisBWords(std::string_view text);

// --- addresses ---------------------------------------------------------------
// The bare address of a mailbox (comments removed, text inside the first
// "<" ">"), in angle brackets when `withBrackets`.
std::string AddressOf(std::string_view text, bool withBrackets);
// The display name of a mailbox, quotes removed, enclosed in double quotes
// when `withQuotes`.
std::string DisplayNameOf(std::string_view text, bool withQuotes);
// `text` without any occurrence of `c`.
std::string RemoveChar(std::string_view text, char c);
// True for a Shift_JIS lead byte (0x81-0x9F, 0xE0-0xFC).
constexpr bool IsSjisLead(unsigned char c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}
// Normalises a Sender/Cc list to `"name" <address>, "name" <address>`.
// Quoted display names vanish with their content.
std::string FormatAddressList(std::string_view text);

// --- POP3 helpers ------------------------------------------------------------
// True for exactly four "."-separated decimal parts, each 0-255.
bool IsDottedAddress(std::string_view host);
// The `index`-th (1-based) space-separated word of `text` as a decimal
// 32-bit number (optional sign); `def` when there is no such word or it is
// not such a number.
int ExtractNumber(std::string_view text, int index, int def);

// --- files -------------------------------------------------------------------
// MIME type for the extension of `fileName` (from the last "."), looked up in
// /etc/mime.types; "application/octet-stream" when unknown.
std::string ContentTypeOfFile(std::string_view fileName);

// The temporary directory: $TMPDIR (or $TMP, $TEMP, $TEMPDIR), else /tmp.
std::string TempDirectory();

// Creates a new empty file "vek..." in the temporary directory, exclusively
// and readable by its owner only, and returns its path. The caller uses and
// deletes it. Throws ETempFileError, naming the directory, on failure.
std::string MakeTempFileName();

// The same file, still open: the caller gets the descriptor (read-write,
// close-on-exec) along with the path and need not open the file by name
// again. The caller closes and deletes it.
struct TTempFile {
  std::string Path;
  int Fd = -1;
};
TTempFile MakeTempFile();

// Writes all `size` bytes to `fd`, going on after interrupted calls.
// Returns 0, or the errno of the failure.
int WriteFully(int fd, const char* data, std::size_t size);
// Reads up to `size` bytes from the start of the file `fd` into `out`;
// `done` says how many came (fewer only at the end of the file). Returns 0,
// or the errno of the failure.
int ReadFully(int fd, char* out, std::size_t size, std::size_t& done);

}  // namespace pelnor
