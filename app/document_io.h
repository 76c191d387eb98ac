// Reading and writing documents: Shift_JIS bytes with CR LF line breaks.
//
// A file comes in as its bytes with every line break made CR LF and every
// duplicate code in the form Windows writes for its character, and goes out
// as the editor's bytes unchanged (no final line break is added): a file
// opened and saved without an edit keeps its bytes but for those two. Bytes
// that are not valid Shift_JIS are kept. Writes are atomic: a save that
// fails leaves the old file whole.
#pragma once

#include <string>
#include <string_view>

namespace korvane {

// The same text with each duplicate code in Windows' form (0x8790 "≒" as
// 0x81E0, 0xED40 as 0xFA5C, ...): the editor holds one form per character,
// so that a search for a character finds it whichever form the file had.
std::string windowsForm(std::string_view bytes);

struct DocumentRead {
    bool ok = false;
    std::string bytes;  // the text as the editor holds it
    std::string error;  // the system's reason when !ok
};

DocumentRead readDocument(const std::string& path);

// False with the system's reason in `error` when the file was not replaced.
bool writeDocument(const std::string& path, std::string_view bytes, std::string& error);

// Whether a file, not a folder, exists at `path` (UTF-8).
bool isExistingFile(const std::string& path);

// The messages shown when a document cannot be read or written.
std::string readFailedText(const std::string& path);
std::string createFailedText(const std::string& path);

}  // namespace korvane
