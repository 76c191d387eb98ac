// Lines held several to a paragraph of the toolkit's document.
//
// The toolkit keeps about 600 bytes for each paragraph of a loaded text, and
// once the view's width changes (its first show is such a change) a text
// layout of about 260 bytes more for every paragraph, on screen or not. For
// a text of short lines that is eight times the text itself. So past its
// first megabyte a loaded text is held several lines to a paragraph, the
// lines inside one parted by U+2028, which the toolkit lays out as a line
// break of its own. The editor counts it as the line break it stands for:
// the mirror, the line numbers, the status line, the colours and a
// triple-click see lines, not paragraphs. Text the user types, pastes or
// drops makes a paragraph of each line, as before.
#pragma once

#include <QString>

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace korvane {

class LineGroups {
  public:
    static constexpr char16_t kLineSeparator = u'\u2028';
    // A paragraph takes lines while it stays within both: a paragraph of
    // 2,048 units lays out in well under a millisecond, and 64 short lines
    // bring the toolkit's cost per line to a few bytes.
    static constexpr std::size_t kGroupUnits = 2048;
    static constexpr std::size_t kGroupLines = 64;

    // Lines of a loaded text that start before this many units are a
    // paragraph each: typing in them lays out a line, as in a small text.
    static constexpr std::size_t kGroupFrom = std::size_t{1} << 20;

    // Joins lines of `text` (line breaks '\n', soft breaks U+2029) into
    // groups by turning the line breaks inside a group into separators.
    // Only lines that start at or after unit `from` join the line before.
    // Whether any did.
    static bool group(QString& text, std::size_t from);

    // The first unit at or after `from` that is `a` or `b`, or `size`.
    // A load looks at every unit of the text for its line breaks, so eight
    // units go at a time where none of them is either (four without SSE2).
    static std::size_t findEither(const char16_t* data, std::size_t from, std::size_t size,
                                  char16_t a, char16_t b) {
        std::size_t i = from;
#if defined(__SSE2__)
        const __m128i wa = _mm_set1_epi16(static_cast<short>(a));
        const __m128i wb = _mm_set1_epi16(static_cast<short>(b));
        for (; i + 8 <= size; i += 8) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
            const int hits =
                _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi16(v, wa), _mm_cmpeq_epi16(v, wb)));
            if (hits != 0)
                return i +
                       static_cast<std::size_t>(std::countr_zero(static_cast<unsigned>(hits))) / 2;
        }
#else
        constexpr std::uint64_t kOnes = 0x0001000100010001u;
        constexpr std::uint64_t kHigh = 0x8000800080008000u;
        const std::uint64_t wa = kOnes * a;
        const std::uint64_t wb = kOnes * b;
        for (; i + 4 <= size; i += 4) {
            std::uint64_t w = 0;
            std::memcpy(&w, data + i, sizeof w);
            const std::uint64_t xa = w ^ wa;
            const std::uint64_t xb = w ^ wb;
            // A unit equal to `a` or `b` is a zero unit of xa or xb.
            if ((((xa - kOnes) & ~xa) | ((xb - kOnes) & ~xb)) & kHigh)
                break;
        }
#endif
        for (; i < size; ++i) {
            if (data[i] == a || data[i] == b)
                return i;
        }
        return size;
    }

    static bool isSeparator(QChar c) {
        return c.unicode() == kLineSeparator;
    }
    // The lines of a paragraph's text: its separators part them.
    static std::vector<std::u16string_view> linesOf(std::u16string_view text);
};

// Typing in a held line would lay out its whole paragraph at every key. So
// before an edit the line is parted from the lines around it: the
// separators at its ends become paragraph breaks, each as an undo step of
// its own that changes no character. The user never sees those steps: an
// undo takes back the edit together with the partings made for it, a redo
// brings them back together. This keeps the steps apart in the document's
// history, which counts in its own commands (a step is several).
class PartingSteps {
  public:
    // A step went onto the history, whose top is now `top`; `parting`: one
    // of ours. What was above the old top (what a redo would have brought
    // back) is gone from the history.
    void added(int top, bool parting);
    // The history's top after an undo or a redo.
    void moved(int top) { m_top = top; }
    void clear() {
        m_steps.clear();
        m_top = 0;
    }
    // Where the parting step that ends at `top` starts, or the one that
    // starts at `start` ends; nothing when the step there is no parting.
    std::optional<int> partingEndingAt(int top) const;
    std::optional<int> partingStartingAt(int start) const;

  private:
    std::vector<std::pair<int, int>> m_steps;  // [start, end), in order
    int m_top = 0;
};

}  // namespace korvane
