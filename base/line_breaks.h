// Line breaks as the editor reads a file: CR LF, and LF or CR alone, are
// each one line break, held as CR LF. The file's own style is remembered,
// so that a save writes the breaks the file had: a page kept in git with LF
// line breaks comes back with LF, and a file that mixes them keeps each
// line's own break.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

std::string normalizeLineBreaks(std::string_view bytes);

// Whether every line break is already CR LF: then normalizeLineBreaks would
// only copy, which a 10 MB document can do without.
bool hasOnlyCrLf(std::string_view bytes);

enum class LineBreak : std::uint8_t { CrLf, Lf, Cr };

// The line breaks of a file as it was read. A file of one style is that
// style; a mixed one keeps, for each line, its break and a hash of its text,
// so that a save can give every line it finds unchanged its own break again
// (a line the user added or changed takes the file's most common break).
class LineBreaks {
  public:
    // CR LF, as new documents and generated pages have.
    LineBreaks() = default;
    static LineBreaks of(std::string_view fileBytes);

    bool mixed() const { return m_mixed; }
    // The style a new line break takes: the file's, or its most common.
    LineBreak common() const { return m_common; }
    // "CRLF", "LF", "CR", or "混在" for a mixed file (UTF-8).
    std::string name() const;

    // `crlfText` (every break CR LF) with the file's breaks.
    std::string restore(std::string_view crlfText) const;

    // Reading a file in pieces: each piece's raw bytes in order, then finish.
    // A scan without lines only counts the breaks: a file of one style, by
    // far the most common, needs nothing else, and a mixed one is scanned
    // again with its lines.
    class Scan {
      public:
        explicit Scan(bool withLines = true) : m_withLines(withLines) {}
        void add(std::string_view raw);
        LineBreaks finish();

      private:
        void lineEnds(LineBreak kind);

        bool m_withLines;
        std::uint32_t m_hash = 2166136261u;
        bool m_pendingCr = false;
        std::size_t m_counts[3] = {0, 0, 0};
        bool m_first = true;
        LineBreak m_firstKind = LineBreak::CrLf;
        bool m_mixed = false;
        std::vector<std::uint32_t> m_hashes;
        std::vector<LineBreak> m_kinds;
    };

  private:
    LineBreak m_common = LineBreak::CrLf;
    bool m_mixed = false;
    // Mixed files only: each line's text hash and break, in file order.
    std::vector<std::uint32_t> m_hashes;
    std::vector<LineBreak> m_kinds;
};

}  // namespace korvane
