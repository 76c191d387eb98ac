// sjis-encode: turns a page written in UTF-8 into the Shift_JIS page the
// program ships, with CR LF line breaks. The build runs it on the help
// pages, so that they can be edited in UTF-8 and still reach the user in
// the encoding their META tag names.
//
// A character Shift_JIS cannot hold fails the build with its line number:
// a help page must not show "?" where the writer typed something else.
#include <iostream>
#include <string>
#include <string_view>

#include "base/shift_jis.h"
#include "platform/atomic_file.h"

namespace {

using namespace korvane;

std::string withCrLf(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r')
            continue;  // a CR LF source stays one line break
        if (text[i] == '\n')
            out += '\r';
        out += text[i];
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: sjis-encode INPUT.utf8 OUTPUT\n";
        return 2;
    }
    std::string utf8;
    if (const FileResult r = readWholeFile(argv[1], utf8); !r.ok) {
        std::cerr << argv[1] << ": " << r.error << "\n";
        return 1;
    }
    const std::string lines = withCrLf(utf8);
    // Line by line, so that a failure can say where.
    std::string out;
    std::size_t number = 1;
    for (std::size_t start = 0; start < lines.size(); ++number) {
        std::size_t end = lines.find('\n', start);
        end = end == std::string::npos ? lines.size() : end + 1;
        const SjisEncoded encoded =
            encodeShiftJisFromUtf8(std::string_view(lines).substr(start, end - start));
        if (!encoded.replaced.empty()) {
            std::cerr << argv[1] << ":" << number << ": a character that Shift_JIS cannot hold\n";
            return 1;
        }
        out += encoded.bytes;
        start = end;
    }
    if (const FileResult r = writeFileAtomically(argv[2], out); !r.ok) {
        std::cerr << argv[2] << ": " << r.error << "\n";
        return 1;
    }
    return 0;
}
