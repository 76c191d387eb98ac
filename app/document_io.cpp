#include "app/document_io.h"

#include <cstdint>
#include <filesystem>
#include <new>
#include <system_error>

#include "base/line_breaks.h"
#include "platform/atomic_file.h"
#include "platform/memory_tuning.h"

namespace korvane {

DocumentRead readDocument(const std::string& path, std::size_t headroom) {
    DocumentRead result;
    // Showing a text takes many times its size (the bytes, the decoded text,
    // the editor's paragraphs and their layout, the byte mirror). A file that
    // cannot fit is refused before anything is read or replaced, rather than
    // ending the program halfway through.
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (!ec && size > headroom / kShowingFactor) {
        result.error = kNotEnoughMemory;
        return result;
    }
    try {
        std::string raw;
        const FileResult read = readWholeFile(path, raw);
        if (!read.ok) {
            result.error = read.error;
            return result;
        }
        // CR and LF are never the second byte of a Shift_JIS character, so
        // the line breaks can be found byte by byte, before any decoding.
        // Every other byte stays as the file has it: a duplicate code put in
        // Windows' form would change a file nobody edited (a UTF-8 page read
        // as Shift_JIS, a file with NEC or IBM codes).
        result.bytes = normalizeLineBreaks(raw);
    } catch (const std::bad_alloc&) {
        result.bytes = std::string();
        result.error = kNotEnoughMemory;
        return result;
    }
    result.ok = true;
    return result;
}

DocumentRead readDocument(const std::string& path) {
    return readDocument(path, memoryHeadroom());
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
