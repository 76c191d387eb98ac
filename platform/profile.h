// The settings file in the Windows profile (INI) format.
//
// A "krv13.ini" written by the Windows program must read the same here, and
// one written here must read the same there, so this follows the Windows
// profile functions rather than any INI dialect of its own:
//
// - "[Section]" opens a section and "key=value" holds a value; names compare
//   without regard to case (ASCII letters only, never the second byte of a
//   double-byte character); lines, names and values are trimmed of blanks
//   (space, tab, VT, FF); lines starting with ";" are comments; a line
//   without "=" is not a key; of duplicate sections or keys the first wins.
// - A line that starts with "[" but has no "]" is neither a section header
//   nor a key; the lines after it still belong to the section before it.
//   Keys before the first section header belong to no section.
// - Lines end in CR LF; LF or CR alone end a line too. A UTF-8 byte order mark
//   at the start of the file is stepped over (and kept when writing).
// - The file is Shift_JIS bytes; nothing is converted. Scans for "]" and "="
//   step over double-byte characters whole, since "]" (0x5D) is also a
//   second byte.
//
// Values. A value that one line can hold as it stands is written as it
// stands, backslashes included, so a Windows path stays readable and
// unchanged. A value that contains CR, LF or NUL, begins or ends with a
// blank, or begins and ends with a double quote (two bytes or more) is
// written in the quoted form:
//
//     key="<body>"
//
// where the body is the value with, outside double-byte characters,
//     \  -> \\       "  -> \"       CR -> \r       LF -> \n       NUL -> \0
// and a first byte of a double-byte character that has no valid second byte
// after it written as \xHH (so it cannot pair up with the backslash of an
// escape that follows it). A double-byte character is a first byte
// 0x81-0x9F or 0xE0-0xFC followed by a second byte 0x40-0x7E or 0x80-0xFC;
// it is copied whole, so the 0x5C second byte of 表 or ソ is never an escape.
//
// Reading strips matching quotes from a value, as Windows does, and undoes
// the escapes above in what was inside them; a backslash before anything
// else is kept as it is. A Windows reader shows the quoted body, with the
// escapes as text; a Windows-written quoted value reads the same here unless
// its body happens to contain one of the escapes.
//
// Writes. Every write locks "<file>.lock" beside the file (flock; the file
// itself cannot carry the lock, because the rename that replaces it would
// leave the lock on the old file), re-reads the file, changes its one key's
// line (or adds the key at the end of its section, or the section at the end
// of the file) and replaces the file through writeFileAtomically. Every other
// line keeps its bytes. Copies of the program writing different keys at the
// same time therefore lose none, and a failed write leaves the file exactly
// as it was. When the path is a symbolic link, the lock and the write are
// those of the file at the end of the link chain, so that a copy given the
// link and one given the real path still exclude each other. A write waits
// about a second for a lock another program holds, then fails.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace korvane {

// Strings read back at most this many bytes, as the Windows program's read
// buffer holds.
constexpr std::size_t kProfileStringLimit = 2047;

struct ProfileWriteResult {
    bool ok = true;
    std::string path;   // the file that could not be written, when !ok
    std::string error;  // the system's reason, when !ok
};

// The message the user sees for a failed write, in UTF-8 (the path is in the
// file system's own form, UTF-8).
std::string writeFailedMessage(const std::string& path);

// Reading values. Implementations give the stored text of a key with quotes
// and escapes undone, or nothing when the key or section is missing; the
// typed reads are built on that one call so that a recording implementation
// sees every read.
class ProfileReader {
  public:
    virtual ~ProfileReader() = default;
    virtual std::optional<std::string> lookup(std::string_view section,
                                              std::string_view key) const = 0;

    // The value cut to kProfileStringLimit bytes at a character boundary, or
    // `fallback` when the key is missing.
    std::string readString(std::string_view section, std::string_view key,
                           std::string_view fallback) const;
    // By parseProfileInteger; `fallback` when missing or not a number.
    std::int32_t readInteger(std::string_view section, std::string_view key,
                             std::int32_t fallback) const;
    // An integer; any non-zero value is true.
    bool readBool(std::string_view section, std::string_view key, bool fallback) const;
};

// Writing values, one key per call.
class ProfileWriter {
  public:
    virtual ~ProfileWriter() = default;
    virtual ProfileWriteResult writeString(std::string_view section, std::string_view key,
                                           std::string_view value) = 0;

    // Decimal, with "-" for negative values.
    ProfileWriteResult writeInteger(std::string_view section, std::string_view key,
                                    std::int32_t value);
    // "1" or "0".
    ProfileWriteResult writeBool(std::string_view section, std::string_view key, bool value);
};

struct ProfileLoadResult {
    bool ok = true;       // false: something is there but could not be read
    bool exists = false;  // false: there is no file (every key is missing)
    std::string error;
};

// A settings file on disk. Reads come from the contents taken by load() (the
// settings are read once, at start-up); every write goes to the file itself
// as described above and then becomes what later reads see.
class Profile final : public ProfileReader, public ProfileWriter {
  public:
    explicit Profile(std::string path);

    const std::string& path() const { return m_path; }

    // Takes the file's current contents for the reads. A missing file is not
    // an error: it reads as empty. Also removes the temporary files that
    // writers which died left in the file's folder.
    ProfileLoadResult load();

    std::optional<std::string> lookup(std::string_view section,
                                      std::string_view key) const override;
    // Creates the file's folder when it is missing (the user's config folder
    // on the first write). Fails without touching the file when the folder
    // or the file cannot be written, the existing file cannot be read, or a
    // name could not be written as a name (empty, or holding a line break,
    // "]" in a section, "=" in a key).
    ProfileWriteResult writeString(std::string_view section, std::string_view key,
                                   std::string_view value) override;
    // The same read-modify-write for several keys at once: `change` gets the
    // file's bytes as they are under the lock and returns what it becomes,
    // so that a list kept in several keys changes whole even while other
    // copies of the program write theirs.
    ProfileWriteResult rewrite(const std::function<std::string(std::string_view bytes)>& change);

  private:
    void setContents(std::string_view bytes);

    std::string m_path;
    // Values of the first occurrence of each section and key, quotes and
    // escapes undone, by "section\nkey" in lower case.
    std::unordered_map<std::string, std::string> m_values;
};

// The pieces of the format, for the converter and for tests.

// The value of section/key in the file bytes, quotes and escapes undone, not
// cut; nothing when missing.
std::optional<std::string> profileLookup(std::string_view fileBytes, std::string_view section,
                                         std::string_view key);
// The file bytes after writing section/key = value.
std::string profileWithValue(std::string_view fileBytes, std::string_view section,
                             std::string_view key, std::string_view value);
// The text written after "key=".
std::string encodeProfileValue(std::string_view value);
// The value read from the (trimmed) text after "key=".
std::string decodeProfileValue(std::string_view text);
// At most `limit` bytes of `value`, never ending inside a double-byte character.
std::string cutAtCharacter(std::string_view value, std::size_t limit = kProfileStringLimit);
// "0x…"/"0X…" longer than two characters and "$…" are hexadecimal (up to
// 32 bits, taken as a signed 32-bit pattern), otherwise decimal with an
// optional "-" in the 32-bit range; anything else is `fallback`.
std::int32_t parseProfileInteger(std::string_view text, std::int32_t fallback);

}  // namespace korvane
