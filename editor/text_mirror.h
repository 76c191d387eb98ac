// The byte image of an editor's text in the document's codec (Shift_JIS,
// UTF-8 or EUC-JP), kept beside the toolkit's own document.
//
// The toolkit holds the text as paragraphs of UTF-16; everything else in the
// program speaks Shift_JIS bytes with CR LF between lines. Re-encoding a
// 10 MB document for every keystroke, every offset and every search would
// make typing, find-up and replace-all crawl, so the editor keeps this mirror
// and updates only the paragraphs an edit touched.
//
// Positions come in two kinds. A *unit* position is a position in the
// toolkit's document: every line has its UTF-16 units and one more position
// for its line break (the last line's stands for the end of the text). A
// *byte* offset counts the codec's bytes, a line break two. In Shift_JIS and
// EUC-JP every character of a clean text is one unit of one or two bytes; in
// UTF-8 a unit takes one to three bytes, and a character outside the BMP is a
// surrogate pair of two units of two bytes each, which no byte offset
// separates: an offset inside it stands for its first unit.
//
// Character colours live here too, as runs over unit positions per line, so
// they follow the text through edits without touching the document.
//
// A line may end in a soft break instead of a line break: the toolkit cannot
// lay out a paragraph of a megabyte fast enough to type in it, so the editor
// cuts very long lines into display pieces. A soft break is a unit position
// like a line break but has no bytes: the text joins the pieces again.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/edit_control.h"

namespace korvane {

class TextMirror {
  public:
    // A colour other than the automatic one over the unit positions
    // [start, end) of a line; position `units` is the line's line break.
    struct ColorRun {
        std::uint32_t start = 0;
        std::uint32_t end = 0;
        ColorValue color = 0;
        friend bool operator==(const ColorRun&, const ColorRun&) = default;
    };

    // Something in new text that a Shift_JIS document cannot keep as it is.
    struct Problem {
        enum class Kind {
            Replaced,   // CP932 cannot hold the character: `replacement` is what it writes
            LineBreak,  // a CR, LF, CR LF, U+2028 or U+2029 inside a line
            Merges,     // a damaged lead byte that pairs with the byte after it
        };
        Kind kind = Kind::Replaced;
        std::size_t line = 0;    // index among the lines handed to assign() or splice()
        std::size_t unit = 0;    // position in that line
        std::size_t length = 1;  // units it covers (2 for a surrogate pair or CR LF)
        char32_t character = 0;
        std::u16string replacement;
    };

    TextMirror();

    // The codec the bytes are in; Shift_JIS until set. Setting it changes
    // nothing held: the caller assigns the text again.
    void setCodec(const TextCodec& codec);
    const TextCodec& codec() const { return *m_codec; }

    // Replaces everything by `lines` (the texts of the document's
    // paragraphs, at least one). All colours become automatic.
    void assign(const std::vector<std::u16string_view>& lines,
                std::vector<Problem>* problems = nullptr);

    // The unit that stands for a soft break in a document's text.
    static constexpr char16_t kSoftBreakUnit = u'\u2029';

    // Replaces everything by bytes in the codec with CR LF line breaks and the
    // document's text of them (decodeDocument of the same bytes,
    // with kSoftBreakUnit where a line is cut into pieces): the lines are
    // cut and measured from the bytes themselves, without encoding again.
    void assignBytes(std::string_view bytes, std::u16string_view documentText);

    // Where to cut a line of `text` into pieces of at most `maxUnits` units
    // so that none is longer than `target` units unless it must be: the
    // positions (in `text`) that start a new piece, preferably after a
    // space, a ">" or a Japanese comma or full stop. Nothing for a line of
    // at most `maxUnits` units.
    static std::vector<std::size_t> softBreakPoints(std::u16string_view text, std::size_t target,
                                                    std::size_t maxUnits);

    // Whether a line ends in a soft break; the mirror follows the document.
    bool softBreak(std::size_t line) const;
    void setSoftBreak(std::size_t line, bool soft);
    // The same for a text that comes in pieces: adds a piece and its
    // document text at the end. The text so far must end with a line break
    // (a new mirror is one empty line), whose empty last line the piece's
    // first line takes. With `leanLines`, a line whose bytes are the codec's
    // own encoding of its characters keeps no bytes: they are made again
    // from the document through the unit source when asked for.
    void appendBytes(std::string_view bytes, std::u16string_view documentText,
                     bool leanLines = false);

    // Where the characters of lines without bytes come from: the document's
    // units [start, start + count) appended to `out`. The document must be
    // the one the mirror describes whenever bytes are asked for; during an
    // edit the mirror has not yet taken in, only the edit itself asks, and
    // never for the bytes of such lines.
    using UnitSource =
        std::function<void(std::size_t start, std::size_t count, std::u16string& out)>;
    void setUnitSource(UnitSource source) { m_source = std::move(source); }
    // Whether a line keeps its bytes (else they are its characters encoded).
    bool keepsBytes(std::size_t line) const;

    // Takes in one edit of the document: the units [pos, pos + removed) of
    // the old text were replaced by `added` units. `newLines` are the whole
    // texts, after the edit, of the lines from the one holding `pos` to the
    // one holding `pos + added`. Inserted units take the colour of the unit
    // before them, removed ones take theirs with them. Returns false (and
    // changes nothing) when the edit does not fit the text the mirror holds.
    bool splice(std::size_t pos, std::size_t removed, std::size_t added,
                const std::vector<std::u16string_view>& newLines,
                std::vector<Problem>* problems = nullptr);

    // Lines after the last splice(): the first replaced line and how many
    // lines replaced how many.
    struct SpliceLines {
        std::size_t first = 0;
        std::size_t oldCount = 0;
        std::size_t newCount = 0;
    };
    SpliceLines lastSplice() const { return m_lastSplice; }

    std::size_t lineCount() const { return m_lineCount; }
    std::size_t byteLength() const { return m_totalBytes - 2; }
    // Unit positions, the end position included (the toolkit's character count).
    std::size_t unitLength() const { return m_totalUnits; }

    std::string text() const;
    // Bytes [start, end), clamped to the text.
    std::string textRange(std::size_t start, std::size_t end) const;

    // The byte offset of a unit position (clamped to the end).
    std::size_t unitToByte(std::size_t unit) const;
    // The unit position of the character that holds byte `offset`; a byte of
    // a line break gives the line break, an offset past the end the end.
    std::size_t byteToUnit(std::size_t offset) const;

    std::size_t lineOfUnit(std::size_t unit) const;
    std::size_t lineOfByte(std::size_t offset) const;
    std::size_t lineStartUnit(std::size_t line) const;
    std::size_t lineStartByte(std::size_t line) const;
    std::size_t lineUnits(std::size_t line) const;
    // Valid until the fourth call after it: a line without bytes of its own
    // is encoded into one of a few buffers.
    std::string_view lineBytes(std::size_t line) const;
    // Byte length of the first `units` units of a line.
    std::size_t bytesOfUnits(std::size_t line, std::size_t units) const;

    // Colours the unit positions [start, end). Returns the first and last
    // line whose colours changed, or nothing when none did.
    std::optional<std::pair<std::size_t, std::size_t>> setColor(std::size_t start, std::size_t end,
                                                                CharColor color);
    // Colours the characters of each byte range [start, end) (ascending),
    // as byteToUnit() and setColor() would range by range, in one sweep.
    std::optional<std::pair<std::size_t, std::size_t>> setColors(
        const std::vector<std::pair<std::size_t, std::size_t>>& byteRanges, CharColor color);
    CharColor colorAtUnit(std::size_t unit) const;
    const std::vector<ColorRun>& lineColors(std::size_t line) const;

    // The first occurrence of `what` wholly inside the bytes [min, max) that
    // starts at a character boundary. A line break is one character of two
    // bytes. Without matchCase the single-byte and full-width Latin letters
    // match either case.
    std::optional<std::size_t> find(std::string_view what, std::size_t min, std::size_t max,
                                    bool matchCase) const;

  private:
    // A line as made from new text, before it is stored.
    struct Line {
        std::string bytes;  // without the line break
        // Bit u: unit u takes one byte more than one; empty when none does.
        // With `three`, a second set of as many words follows: bit u, unit u
        // takes two bytes more (a unit's bytes are 1 + first bit + 2 x second).
        std::vector<std::uint64_t> wide;
        bool three = false;
        std::uint32_t units = 0;
        std::vector<ColorRun> colors;  // sorted, disjoint, never automatic
        bool soft = false;             // ends in a soft break: no bytes between it and the next
    };
    // A stored line, read where it lies in its chunk.
    struct LineView {
        std::string_view bytes;                // empty for a line without bytes: see bytesOf()
        std::size_t size = 0;                  // its bytes, kept or not
        bool lean = false;                     // keeps no bytes: they are its characters encoded
        const std::uint64_t* wide = nullptr;   // (units + 63) / 64 words; null when no unit is wide
        const std::uint64_t* wide3 = nullptr;  // the second set; null when no unit has three bytes
        std::uint32_t units = 0;
        bool soft = false;
        const std::vector<ColorRun>* colors = nullptr;
    };
    // How a chunk keeps a line: 16 bytes beside the line's bytes, where a
    // line record of its own strings and vectors took about 200 with their
    // heap blocks, more than the text itself for short lines. A line holds
    // fewer than 2^31 units, as the toolkit's whole document does.
    struct Record {
        static constexpr std::uint32_t kTopBit = std::uint32_t{1} << 31;
        static constexpr std::uint32_t kThreeBit = std::uint32_t{1} << 30;
        // In wideWord: the line keeps no bytes in the chunk's text; `begin`
        // is where they would be.
        static constexpr std::uint32_t kLeanBit = std::uint32_t{1} << 29;
        std::uint32_t begin = 0;      // of its bytes in the chunk's text
        std::uint32_t size = 0;       // its bytes, without the line break
        std::uint32_t unitsSoft = 0;  // its units; the top bit: it ends in a soft break
        std::uint32_t wideWord = 0;   // its first width word in the chunk; the top bit: it has
                                      // some, the next: it has the second set too
        std::uint32_t units() const { return unitsSoft & ~kTopBit; }
        bool soft() const { return (unitsSoft & kTopBit) != 0; }
        bool hasWide() const { return (wideWord & kTopBit) != 0; }
        bool hasThree() const { return (wideWord & kThreeBit) != 0; }
        bool lean() const { return (wideWord & kLeanBit) != 0; }
        std::size_t storedBytes() const { return lean() ? 0u : size; }
        std::uint32_t wideIndex() const { return wideWord & ~(kTopBit | kThreeBit | kLeanBit); }
        std::size_t wideWords() const {
            return hasWide() ? (units() + 63u) / 64u * (hasThree() ? 2u : 1u) : 0;
        }
        std::size_t extentBytes() const { return size + (soft() ? 0u : 2u); }
    };
    static std::size_t extentBytes(const LineView& line) { return line.size + (line.soft ? 0 : 2); }
    struct Chunk {
        std::string text;                 // its lines' bytes, one after the other
        std::vector<std::uint64_t> wide;  // the width words of its lines that have any
        std::vector<Record> lines;
        std::vector<std::vector<ColorRun>> colors;  // one per line once a line has colours
        std::size_t bytes = 0;  // each line's bytes and its two line-break bytes
        std::size_t units = 0;  // each line's units and its line-break position
    };
    // Where a line is: its chunk, its index there and where it starts.
    struct LineRef {
        std::size_t chunk = 0;
        std::size_t index = 0;
        std::size_t line = 0;
        std::size_t byte = 0;
        std::size_t unit = 0;
    };
    class CharWalker;
    struct SearchChar;
    // A search: its characters, its length in bytes, the byte range
    // [min, max) it must lie in.
    struct Search {
        const std::vector<SearchChar>& pattern;
        std::size_t bytes;
        std::size_t min;
        std::size_t max;
        bool matchCase;
    };

    Line makeLine(std::u16string_view text, std::size_t lineIndex,
                  std::vector<Problem>* problems) const;
    // makeLine for the codecs other than Shift_JIS.
    Line makeCodecLine(std::u16string_view text, std::size_t lineIndex,
                       std::vector<Problem>* problems) const;
    struct ChunkFill;
    // assignBytes with the codec's measure of a character that is not
    // ASCII: measure(offset, first byte, first unit) gives its bytes, 4
    // for a surrogate pair.
    // With `lean`, a line for which `canonical(its bytes, its units)` keeps
    // no bytes. Unless `kByUnits` is No, a line is first measured from its
    // units alone (lineByUnits()).
    enum class ByUnits { No, ShiftJis, Utf8 };
    template <ByUnits kByUnits, typename Measure, typename Canonical>
    void assignMeasured(std::string_view bytes, std::u16string_view documentText, Measure measure,
                        bool lean, Canonical canonical);
    struct LineByUnits {
        std::uint32_t units = 0;
        std::size_t bytes = 0;
        bool soft = false;   // ended by a soft break
        bool three = false;  // a second set of width words follows the first
        bool pairs = false;  // holds a surrogate pair's half
    };
    // Measures the line of `bytes` at `i` from its units in `text` at `u`
    // (unitWidths: in Shift_JIS a byte or two each, in UTF-8 one to three
    // bytes, a pair's halves two each) and adds its width words to `wide`,
    // a second set from `threes` behind them where any unit took three
    // bytes. False, with `wide` as it was and `threes` empty, where the units cannot say: a
    // line break of another kind (the bytes do not end where the units do)
    // or a UTF-8 stand-in or its look-alike. The caller then measures the
    // line byte by byte.
    template <bool kUtf8>
    static bool lineByUnits(std::string_view bytes, std::size_t i, std::u16string_view text,
                            std::size_t u, std::vector<std::uint64_t>& wide,
                            std::vector<std::uint64_t>& threes, LineByUnits& line);
    // assignBytes(), lean or not.
    void assignPiece(std::string_view bytes, std::u16string_view documentText, bool lean);
    // The codec's encoding of a line without bytes, appended to `out`.
    void encodeLean(std::u16string_view units, std::string& out) const;
    void keepUnchangedBytes(const std::vector<LineView>& oldLines, std::vector<Line>& newLines,
                            std::size_t front, std::size_t back) const;
    void keepFrontBytes(const std::vector<LineView>& oldLines, std::vector<Line>& newLines,
                        std::size_t front) const;
    void keepBackBytes(const std::vector<LineView>& oldLines, std::vector<Line>& newLines,
                       std::size_t back) const;
    // Whether the characters at two positions (unit and byte in an old and a
    // new line) are one; `patch` when the new one must take the old one's
    // bytes.
    bool sameCharacter(const LineView& o, std::size_t ou, std::size_t ob, const LineView& n,
                       std::size_t nu, std::size_t nb, bool& patch) const;
    static LineView viewOf(const Line& line);
    static LineView viewIn(const Chunk& chunk, std::size_t index);
    // Adds a line's record and bytes at the end of a chunk, whose width
    // words (if it `hasWide`) the chunk holds from `firstWord` on.
    // A line without bytes comes with no `bytes` and its `leanSize`.
    static void pushRecord(Chunk& chunk, std::string_view bytes, std::uint32_t units, bool soft,
                           std::size_t firstWord, bool hasWide, bool hasThree = false,
                           std::size_t leanSize = 0);
    // Adds a line at the end of a chunk.
    static void appendLine(Chunk& chunk, std::string_view bytes, const std::uint64_t* wide,
                           std::uint32_t units, bool soft, std::vector<ColorRun> colors,
                           bool three = false, std::size_t leanSize = 0);
    static void appendLine(Chunk& chunk, const LineView& line);
    // Gives a finished chunk back what its buffers hold in reserve.
    static void seal(Chunk& chunk);
    // Replaces a chunk's line in place; returns how its extent changed.
    static std::pair<std::ptrdiff_t, std::ptrdiff_t> storeLine(Chunk& chunk, std::size_t index,
                                                               Line&& line);
    static std::size_t unitToByteIn(const LineView& line, std::size_t unit);
    static std::size_t byteToUnitIn(const LineView& line, std::size_t byte);
    // Moves the character position (unit, byte) of a line forward to the
    // character that holds byte `target`, a word of 64 units at a time
    // where it can.
    static void advanceTo(const LineView& line, std::size_t& unit, std::size_t& byte,
                          std::size_t target);
    static bool isWide(const LineView& line, std::size_t unit);
    // The bytes of a unit.
    static std::size_t widthOf(const LineView& line, std::size_t unit);
    // Whether a unit is the second half of a surrogate pair: no character
    // starts there.
    bool isPairTail(const LineView& line, std::size_t unit, std::size_t byte) const;
    // Whether a byte offset falls at the start of a character (or of a line
    // break, or at the end).
    bool isCharBoundary(std::size_t offset) const;
    // find() for the codecs other than Shift_JIS: the bytes compared as
    // they are, ASCII letters folded without matchCase.
    std::optional<std::size_t> findCodecBytes(std::string_view what, std::size_t min,
                                              std::size_t max, bool matchCase) const;
    static CharColor colorIn(const LineView& line, std::size_t unit);
    static bool paint(std::vector<ColorRun>& runs, std::uint32_t start, std::uint32_t end,
                      CharColor color);

    // Whether the occurrence that starts with the character at `walker` matches.
    static bool matchesAt(const CharWalker& walker, const Search& search);
    std::optional<std::size_t> findByWalking(const Search& search) const;
    // Looks in each line's bytes for the forms `firsts` of the first character.
    std::optional<std::size_t> findByScanning(const Search& search,
                                              const std::vector<std::string>& firsts) const;
    // Moves `at` past the lines of its chunk whose bytes hold none of the
    // forms `firsts`, stopping at a line that keeps no bytes, the chunk's
    // last line, or one past `maxByte`.
    void skipLinesWithoutFirsts(LineRef& at, const std::vector<std::string>& firsts,
                                std::size_t maxByte) const;

    LineView lineAt(const LineRef& ref) const { return viewIn(m_chunks[ref.chunk], ref.index); }
    // A line's bytes: its own, or its characters encoded into `buffer`.
    // Inline for the lines with bytes: a find over a large text asks for
    // every line's.
    std::string_view bytesOf(const LineRef& ref, const LineView& line, std::string& buffer) const {
        return line.lean ? leanBytesOf(ref, line, buffer) : line.bytes;
    }
    std::string_view leanBytesOf(const LineRef& ref, const LineView& line,
                                 std::string& buffer) const;
    const Record& recordAt(const LineRef& ref) const {
        return m_chunks[ref.chunk].lines[ref.index];
    }
    // Colours a line's unit positions [start, end); whether they changed.
    bool paintLine(const LineRef& ref, std::uint32_t start, std::uint32_t end, CharColor color);
    template <typename Key, typename ChunkSize, typename LineSize>
    LineRef locate(std::size_t target, Key key, ChunkSize chunkSize, LineSize lineSize) const;
    LineRef refOfLine(std::size_t line) const;
    LineRef refOfUnit(std::size_t unit) const;
    LineRef refOfByte(std::size_t offset) const;
    // Moves a reference to the next line; false at the last.
    bool nextLine(LineRef& ref) const;
    void replaceLines(std::size_t first, std::size_t count, std::vector<Line> lines);
    // Replaces as many lines of one chunk, from `a` on, as `lines` holds.
    void replaceInPlace(const LineRef& a, std::vector<Line> lines);
    // Replaces the lines [a, b] by `lines`, making the chunks they lie in anew.
    void remakeChunks(const LineRef& a, const LineRef& b, std::vector<Line> lines);
    // A chunk's own byte and unit totals from its lines.
    static void recountChunk(Chunk& chunk);
    // The mirror's totals from its chunks' totals; forgets the look-up hints.
    void sumChunks();

    const TextCodec* m_codec = &shiftJisCodec();
    bool m_sjis = true;   // the codec is Shift_JIS: the tables' own fast paths
    bool m_utf8 = false;  // the codec is UTF-8: units of three bytes and surrogate pairs
    std::vector<Chunk> m_chunks;
    std::size_t m_lineCount = 0;
    std::size_t m_totalBytes = 0;
    std::size_t m_totalUnits = 0;
    SpliceLines m_lastSplice;
    // The line found last: edits, colour requests and mapping come in runs
    // close to each other, so most look-ups start here.
    mutable LineRef m_hint;
    mutable LineRef m_hintChunk;  // the start of the hint's chunk
    // Where byteToUnit() last stopped inside a line: a pass maps tag after
    // tag from left to right, and the next one is found from here instead
    // of from the line's start.
    struct WalkPoint {
        std::size_t line = SIZE_MAX;
        std::size_t unit = 0;
        std::size_t byte = 0;
    };
    mutable WalkPoint m_walk;
    UnitSource m_source;
    // lineBytes()'s buffers for lines without bytes.
    mutable std::array<std::string, 4> m_lineBuffers;
    mutable std::size_t m_nextBuffer = 0;
    mutable std::u16string m_units;  // the characters of the line bytesOf() encodes
};

}  // namespace korvane
