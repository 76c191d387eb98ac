// Reading and writing documents: Shift_JIS bytes with CR LF line breaks.
//
// A file comes in as its bytes with every line break made CR LF, and goes
// out as the editor's bytes unchanged (no final line break is added): a file
// opened and saved without an edit keeps its bytes but for the line breaks,
// duplicate codes and bytes that are not valid Shift_JIS included. Writes are
// atomic: a save that fails leaves the old file whole.
#pragma once

#include <string>
#include <string_view>

namespace korvane {

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
