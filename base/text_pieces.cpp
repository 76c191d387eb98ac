#include "base/text_pieces.h"

#include <memory>

#include "base/line_breaks.h"

namespace korvane {

void setTextInPieces(EditControl& edit, std::string_view bytes, Progress& progress) {
    setTextInPieces(edit, bytes, progress, edit.codec());
}

void setTextInPieces(EditControl& edit, std::string_view bytes, Progress& progress,
                     const TextCodec& codec) {
    if (bytes.size() <= kTextPiece && &codec == &edit.codec()) {
        edit.setText(bytes);
        return;
    }
    const std::unique_ptr<EditControl::TextLoad> load = edit.beginTextLoadIn(codec);
    std::size_t start = 0;
    while (start < bytes.size()) {
        // Behind an LF: a CR LF is never cut in two, and a lone CR stays a
        // line break of its own.
        const std::size_t lf = bytes.find('\n', start + kTextPiece);
        const std::size_t end = lf == std::string_view::npos ? bytes.size() : lf + 1;
        load->append(normalizeLineBreaks(bytes.substr(start, end - start)));
        start = end;
        progress.report(start, bytes.size());
    }
    load->commit();
}

}  // namespace korvane
