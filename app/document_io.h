// Reading and writing documents: Shift_JIS bytes with CR LF line breaks.
//
// A file comes in as its bytes with every line break made CR LF, and goes
// out as the editor's bytes unchanged (no final line break is added): a file
// opened and saved without an edit keeps its bytes but for the line breaks,
// duplicate codes and bytes that are not valid Shift_JIS included. Writes are
// atomic: a save that fails leaves the old file whole.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "base/line_breaks.h"
#include "base/progress.h"
#include "platform/atomic_file.h"
#include "platform/encodings.h"

namespace korvane {

struct DocumentRead {
    bool ok = false;
    // What the file seems to be. Its text comes as the editor holds it in
    // that encoding's codec (holdDocument): a UTF-16 file as UTF-8, a byte
    // order mark dropped. A UTF-16 file that is not valid comes as
    // Shift_JIS, its bytes kept.
    TextEncoding encoding = TextEncoding::ShiftJis;
    std::string bytes;       // the text as the editor holds it
    std::string error;       // the system's reason when !ok
    std::uint64_t hash = 0;  // of the file's bytes, as DiskWatch remembers them
    LineBreaks breaks;       // the file's own
};

// How many times its size a text takes once it is shown in the editor, at
// most (measured: about 13 times for a large text).
inline constexpr std::size_t kShowingFactor = 16;

// A file larger than `headroom` / kShowingFactor bytes is not read.
DocumentRead readDocument(const std::string& path, std::size_t headroom);
// The same read as `encoding`, whatever the bytes seem to be (the user's
// choice when the guess was wrong). UTF-8 keeps a byte order mark the file
// has; UTF-16 follows the file's mark, little-endian without one. A UTF-16
// read of bytes that are not UTF-16 fails with kNotInEncoding.
DocumentRead readDocumentAs(const std::string& path, TextEncoding encoding);
inline constexpr const char* kNotInEncoding = "その文字コードとしては読めません";
// The same, with what this process may still allocate (memoryHeadroom()).
DocumentRead readDocument(const std::string& path);

// What the start of the file at `path` (its first megabyte, cut behind its
// last line break) seems to be; Shift_JIS for a file that cannot be read.
// The editor is told the encoding before the first piece of a read in
// pieces; the guess over the whole file has the last word.
TextEncoding encodingOfStart(const std::string& path);

// readDocument a piece at a time, for a file that may be too large to hold
// twice: each piece, its line breaks made CR LF and every piece but the last
// ending with one, goes to `piece` as soon as it is read, and `progress`
// hears how many bytes of the file are through. A false from `progress`
// stops the read (`cancelled`). The encoding is guessed over the whole. The
// pieces are the file's bytes but for the line breaks, a UTF-8 byte order
// mark included; a UTF-16 file is known by its first bytes: it sends none.
struct PiecesRead {
    bool ok = false;
    bool cancelled = false;
    TextEncoding encoding = TextEncoding::ShiftJis;
    std::string error;
    std::uint64_t hash = 0;  // of the file's bytes
    LineBreaks breaks;       // the file's own
};
PiecesRead readDocumentInPieces(const std::string& path, std::size_t headroom,
                                const std::function<void(std::string_view)>& piece,
                                Progress& progress);

// False with the system's reason in `error` when the file was not replaced.
bool writeDocument(const std::string& path, std::string_view bytes, std::string& error);

// Whether a file, not a folder, exists at `path` (UTF-8).
bool isExistingFile(const std::string& path);

// What the user is told of a file another program changed or removed.
std::string changedOnDiskText(const std::string& path);
std::string overwriteChangedText(const std::string& path);
std::string deletedOnDiskText(const std::string& path);

// What the status line says of a document's file: its encoding and line
// breaks ("UTF-8  LF", "UTF-16 BE  CRLF").
std::string documentFormatText(TextEncoding encoding, const LineBreaks& breaks);

// The messages shown when a document cannot be read or written.
std::string readFailedText(const std::string& path);
std::string createFailedText(const std::string& path);
// The questions of the encoding commands.
inline constexpr const char* kNothingToReopenText =
    "開き直すファイルがありません。ファイルを開いてから選んでください。";
std::string reopenQuestionText(const std::string& path, TextEncoding current);
std::string saveEncodingQuestionText(TextEncoding current);
std::string addCharsetQuestionText(std::string_view charset);
// The characters `target` (named `name`) cannot hold, each with what would
// be written for it, and the question whether to write that.
std::string unencodableText(const std::string& name, const std::vector<SjisReplacement>& replaced,
                            const TextCodec& target);
// What the user is asked about a file whose save was killed midway, with the
// copies of its old contents that save left, newest first (the one offered).
std::string interruptedSaveQuestionText(const std::string& path,
                                        const std::vector<std::string>& backups);

}  // namespace korvane
