#include "app/document_io.h"

#include <filesystem>
#include <system_error>

#include "app/line_breaks.h"
#include "platform/atomic_file.h"
#include "platform/shift_jis.h"

namespace korvane {

namespace {

// The lead bytes of the codes that are duplicates of others (NEC row 13, the
// NEC-selected and the IBM extensions). Text without any of these bytes, at
// any position, holds no duplicate and is taken as it stands.
bool mayHoldDuplicates(std::string_view bytes) {
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b == 0x87 || b == 0xED || b == 0xEE || b >= 0xFA)
            return true;
    }
    return false;
}

}  // namespace

std::string windowsForm(std::string_view bytes) {
    if (!mayHoldDuplicates(bytes))
        return std::string(bytes);
    return encodeShiftJis(decodeShiftJis(bytes)).bytes;
}

DocumentRead readDocument(const std::string& path) {
    DocumentRead result;
    std::string raw;
    const FileResult read = readWholeFile(path, raw);
    if (!read.ok) {
        result.error = read.error;
        return result;
    }
    // CR and LF are never the second byte of a Shift_JIS character, so the
    // line breaks can be found byte by byte, before any decoding.
    result.bytes = windowsForm(normalizeLineBreaks(raw));
    result.ok = true;
    return result;
}

bool writeDocument(const std::string& path, std::string_view bytes, std::string& error) {
    const FileResult written = writeFileAtomically(path, bytes);
    error = written.error;
    return written.ok;
}

bool isExistingFile(const std::string& path) {
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    return !ec && std::filesystem::exists(status) && !std::filesystem::is_directory(status);
}

std::string readFailedText(const std::string& path) {
    return "ファイル " + path + " は開けません";
}

std::string createFailedText(const std::string& path) {
    return "ファイル " + path + " を作成できません";
}

}  // namespace korvane
