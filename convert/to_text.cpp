#include "convert/to_text.h"

#include "convert/byte_writer.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace korvane {

namespace {

// The steps of the conversion (join lines; replace block tags and drop tags;
// decode references) are fused into one pass over the text, with a second
// pass for the references only from where the first cannot decide them.
// Pages can be megabytes long and most of their bytes need nothing, so the
// passes jump from one interesting byte to the next and copy the runs between
// in one piece. Each fusion is equivalent to the steps one after the other;
// the reasons are given where they are made.

char upperAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// Whether `s` at `i` holds `upperWord` (upper case) without regard to case.
bool matchesNoCase(std::string_view s, std::size_t i, std::string_view upperWord) {
    if (upperWord.size() > s.size() - i)
        return false;
    for (std::size_t k = 0; k < upperWord.size(); ++k) {
        if (upperAscii(s[i + k]) != upperWord[k])
            return false;
    }
    return true;
}

std::size_t findChar(std::string_view s, char c, std::size_t from) {
    if (from >= s.size())
        return std::string_view::npos;
    const void* hit = std::memchr(s.data() + from, c, s.size() - from);
    return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - s.data())
               : std::string_view::npos;
}

// The first `upperWord` (which starts with "<") without regard to case.
// A page without a title is searched to its end, and it has a "<" on every
// line: the candidates are found sixteen bytes at a time by their first two
// bytes ("<T" or "</" in either case) rather than one "<" at a time.
std::size_t findTagNoCase(std::string_view s, std::string_view upperWord) {
    std::size_t i = 0;
#if defined(__SSE2__)
    const char second = upperWord[1];
    const bool letter = second >= 'A' && second <= 'Z';
    const __m128i ltByte = _mm_set1_epi8('<');
    const __m128i secondByte = _mm_set1_epi8(letter ? static_cast<char>(second | 0x20) : second);
    const __m128i fold = _mm_set1_epi8(letter ? 0x20 : 0);
    for (; i + 17 <= s.size(); i += 16) {
        const auto* at = reinterpret_cast<const __m128i*>(s.data() + i);
        const __m128i first = _mm_cmpeq_epi8(_mm_loadu_si128(at), ltByte);
        const __m128i next = _mm_cmpeq_epi8(
            _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(s.data() + i + 1)), fold),
            secondByte);
        for (auto mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_and_si128(first, next)));
             mask != 0; mask &= mask - 1) {
            const std::size_t candidate = i + static_cast<std::size_t>(__builtin_ctz(mask));
            if (matchesNoCase(s, candidate, upperWord))
                return candidate;
        }
    }
#endif
    for (i = findChar(s, '<', i); i != std::string_view::npos; i = findChar(s, '<', i + 1)) {
        if (matchesNoCase(s, i, upperWord))
            return i;
    }
    return std::string_view::npos;
}

// Offset `i` moved past any CR LF pairs that start there. CR LF pairs are
// taken out of the text before tags are looked at, so a tag can be written
// across a line break («<B", CR LF, "R>» is a line break tag).
inline std::size_t skipCrLf(std::string_view s, std::size_t i) {
    while (i + 1 < s.size() && s[i] == '\r' && s[i + 1] == '\n')
        i += 2;
    return i;
}

struct Block {
    std::string_view tag;
    std::string_view replacement;
};

constexpr std::array<Block, 5> kBlocks = {{{"<BR>", "\r\n"},
                                           {"<HR>", "\r\n\r\n"},
                                           {"<TR>", "\r\n"},
                                           {"<P>", "\r\n\r\n"},
                                           {"<LI>", "\r\n"}}};

// The block tag at `i`, if one starts there, matched against the text with
// its CR LF pairs taken out; `end` is set behind its ">" in `s`. Every block
// tag starts with "<", ends with ">" and holds neither inside, so no two
// matches can overlap and a replacement (CR LF only) can neither make nor
// break another match: one pass over all five gives what five passes in the
// table's order give.
const Block* blockTagAt(std::string_view s, std::size_t i, std::size_t& end) {
    const std::size_t second = skipCrLf(s, i + 1);
    if (second >= s.size())
        return nullptr;
    // Most tags are not block tags; their first letter already tells.
    switch (upperAscii(s[second])) {
        case 'B':
        case 'H':
        case 'T':
        case 'P':
        case 'L':
            break;
        default:
            return nullptr;
    }
    for (const Block& b : kBlocks) {
        std::size_t j = i + 1;
        std::size_t k = 1;
        for (; k < b.tag.size(); ++k, ++j) {
            j = skipCrLf(s, j);
            if (j >= s.size() || upperAscii(s[j]) != b.tag[k])
                break;
        }
        if (k == b.tag.size()) {
            end = j;
            return &b;
        }
    }
    return nullptr;
}

// What follows the "<" or CR at `at`, which stripTags has come to: the
// replacement, if any, is appended to `out`; returns the offset behind what
// it consumed, or npos when an open tag runs to the end.
std::size_t stripAt(ByteWriter& out, std::string_view s, std::size_t at) {
    const char* p = s.data();
    const std::size_t n = s.size();
    if (p[at] == '\r') {
        if (at + 1 < n && p[at + 1] == '\n')
            return at + 2;
        out.put('\r');
        return at + 1;
    }
    // Generated pages end every line with "<BR>" and CR LF: that one case
    // goes first, in any letter case ("|" 0x20 on the two letters folds
    // them to lower case and no other byte to them).
    if (at + 4 <= n) {
        std::uint32_t four;
        std::memcpy(&four, p + at, 4);
        std::uint32_t br;
        std::memcpy(&br, "<br>", 4);
        std::uint32_t letters;
        std::memcpy(&letters, "\0\x20\x20\0", 4);
        if ((four | letters) == br) {
            out.put("\r\n", 2);
            if (at + 6 <= n && p[at + 4] == '\r' && p[at + 5] == '\n' &&
                (at + 6 == n || p[at + 6] != '\r'))
                return at + 6;
            return skipCrLf(s, at + 4);
        }
    }
    std::size_t blockEnd = 0;
    if (const Block* b = blockTagAt(s, at, blockEnd)) {
        out.put(b->replacement.data(), b->replacement.size());
        return blockEnd;
    }
    std::size_t from = at + 1;
    for (;;) {
        const std::size_t gt = findChar(s, '>', from);
        if (gt == std::string_view::npos)
            return std::string_view::npos;
        // Only the last "<" before this ">" can start a block tag ending here.
        const void* last = gt > from ? ::memrchr(p + from, '<', gt - from) : nullptr;
        if (last != nullptr) {
            const auto q = static_cast<std::size_t>(static_cast<const char*>(last) - p);
            if (blockTagAt(s, q, blockEnd) != nullptr && blockEnd == gt + 1) {
                from = gt + 1;
                continue;
            }
        }
        return gt + 1;
    }
}

#if defined(__SSE2__)
// How far ahead of the block being converted the source is asked for.
constexpr std::size_t kPrefetchAhead = 2048;

// A few bytes as the number an 8-byte load of them gives (the SSE2 targets
// are all little-endian), for matching references a word at a time.
constexpr std::uint64_t wordOf(std::string_view text) {
    std::uint64_t v = 0;
    for (std::size_t k = 0; k < text.size(); ++k)
        v |= std::uint64_t{static_cast<unsigned char>(text[k])} << (8 * k);
    return v;
}
constexpr std::uint64_t kAmpWord = wordOf("&amp;"), kLtWord = wordOf("lt;"),
                        kGtWord = wordOf("gt;"), kQuotWord = wordOf("quot;");
constexpr std::uint64_t kThreeBytes = 0xFFFFFF, kFiveBytes = 0xFFFFFFFFFF;

inline std::uint64_t wordAt(const char* at) {
    std::uint64_t v;
    std::memcpy(&v, at, 8);
    return v;
}

// The reference at `at` (an "&") decoded from the source bytes, as
// decodeReferencesInPlace would decode it from the stripped text: the
// decoded byte and the number of bytes it takes. False when the stripped
// text may differ there: the decision looks at most 9 bytes past the "&",
// and the stripped text has the source's bytes up to the next "<" or CR. A
// "<BR>" or a CR without LF there becomes a CR, which, like "<" and CR, no
// reference holds, so the decision ends at it the same way; anything else
// (another tag, a CR LF pair that goes) may bring in other bytes.
// Reads up to 16 bytes past `at`.
inline bool referenceAt(const char* at, char& decoded, std::size_t& length) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + 1));
    const auto breaks =
        static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(
            _mm_cmpeq_epi8(v, _mm_set1_epi8('<')), _mm_cmpeq_epi8(v, _mm_set1_epi8('\r'))))) &
        0x1FFu;
    if (breaks != 0) {
        const char* q = at + 1 + __builtin_ctz(breaks);
        const bool loneCr = q[0] == '\r' && q[1] != '\n';
        const bool lineBreakTag =
            q[0] == '<' && (q[1] | 0x20) == 'b' && (q[2] | 0x20) == 'r' && q[3] == '>';
        if (!loneCr && !lineBreakTag)
            return false;
    }
    // Which of the references this is, without a branch: real text has them
    // at random and a branch would mispredict on each.
    const std::size_t afterAmp = (wordAt(at) & kFiveBytes) == kAmpWord ? 5 : 1;
    const std::uint64_t rest = wordAt(at + afterAmp);
    const bool lt = (rest & kThreeBytes) == kLtWord;
    const bool gt = (rest & kThreeBytes) == kGtWord;
    const bool quot = (rest & kFiveBytes) == kQuotWord;
    decoded = lt ? '<' : gt ? '>' : quot ? '"' : '&';
    length = afterAmp + (lt || gt ? 3 : quot ? 5 : 0);
    return true;
}
#endif

// Block tags become line breaks, every other tag is dropped, and the CR LF
// pairs of the source go, all in one pass appended to `out`. A tag runs from
// "<" to the first ">" that is still there once the block tags inside it have
// been replaced: a block tag's ">" closes the block tag, not the outer one
// («<a <BR> b>» is one tag). CR LF pairs hold neither "<" nor ">", so taking
// them out first changes no tag boundary; only the block tag match has to
// look across them.
//
// The references are decoded in the same pass where the bytes that decide
// them are the bytes the stripped text has there (see referenceAt). From the
// first one that is not so, the rest is left to decodeReferencesInPlace:
// `undecodedFrom` is set to where it starts in `text` (npos: nothing yet).
//
// `s` starts `done` bytes into a source of `total`, for `progress`.
void stripTags(std::string& text, std::string_view s, std::size_t& undecodedFrom,
               Progress* progress, std::size_t done, std::size_t total) {
    // A local: every byte written through the cursor could change it, as far
    // as the compiler knows, were it read through the reference.
    std::size_t undecoded = undecodedFrom;
    // Only "<P>" grows (3 bytes to 4); the buffer grows if a text is made of
    // little else.
    ByteWriter out(text, s.size() + s.size() / 16 + 64);
    const char* p = s.data();
    const std::size_t n = s.size();
    std::size_t i = 0;
    std::size_t nextReport = progress != nullptr ? kProgressStep : SIZE_MAX;
#if defined(__SSE2__)
    // Sixty-four bytes at a time, so that the branches on where the "<" and
    // CR bytes fall are taken a quarter as often as with one register's
    // worth. Each plain run (at most 64 bytes) is stored as 64 bytes loaded
    // where it starts and the cursor moves only past the run, so the excess
    // is overwritten next. Loads reach up to 127 bytes past the block start,
    // hence the loop's bound.
    //
    // A generated page ends every line with "<BR>" and CR LF, and that is
    // the same as the "<BR>" alone taken out (the line break tag gives CR LF,
    // the CR LF pair goes): one run each, and the CR is no event then.
    // Everything else goes through stripAt.
    const __m128i ltByte = _mm_set1_epi8('<');
    const __m128i crByte = _mm_set1_epi8('\r');
    const __m128i ampByte = _mm_set1_epi8('&');
    std::uint32_t br;
    std::memcpy(&br, "<br>", 4);
    std::uint32_t letters;
    std::memcpy(&letters, "\0\x20\x20\0", 4);
    // The cursor is kept in a local between the calls of stripAt: through
    // the writer, every run would wait for the cursor to come back from
    // memory.
    out.reserve(128);
    char* w = out.cursor();
    while (i + 128 <= n) {
        if (i >= nextReport) [[unlikely]] {
            progress->report(done + i, total);
            nextReport = i + kProgressStep;
        }
        const char* block = p + i;
        // The work per block is uneven enough that the hardware's own
        // prefetch falls behind on a busy machine.
        _mm_prefetch(block + kPrefetchAhead, _MM_HINT_T0);
        // "&" is looked for while the references are decoded here; after
        // that the third comparison repeats the first.
        const __m128i third = undecoded == std::string_view::npos ? ampByte : ltByte;
        std::uint64_t mask = 0;
        for (int k = 0; k < 64; k += 16) {
            const __m128i v = load16(block + k);
            const __m128i hit =
                _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, ltByte), _mm_cmpeq_epi8(v, crByte)),
                             _mm_cmpeq_epi8(v, third));
            mask |= std::uint64_t{static_cast<unsigned>(_mm_movemask_epi8(hit))} << k;
        }
        // A block writes at most 64 bytes outside stripAt, as one store each
        // for its runs.
        if (out.room(w) < 128) {
            out.advance(static_cast<std::size_t>(w - out.cursor()));
            out.reserve(128);
            w = out.cursor();
        }
        std::size_t from = 0;
        std::size_t next = i + 64;
        while (mask != 0) {
            const auto k = static_cast<std::size_t>(__builtin_ctzll(mask));
            copy64(w, block + from);
            w += k - from;
            if (block[k] == '&') {
                char decoded;
                std::size_t length;
                if (undecoded == std::string_view::npos &&
                    referenceAt(block + k, decoded, length)) {
                    *w++ = decoded;
                    from = k + length;
                    if (from >= 64) {
                        next = i + from;
                        break;
                    }
                    mask &= ~std::uint64_t{0} << from;
                } else {
                    // Copied as it is with the next run, decoded afterwards
                    // with everything behind it.
                    if (undecoded == std::string_view::npos)
                        undecoded = static_cast<std::size_t>(w - text.data());
                    from = k;
                    mask &= mask - 1;
                }
                continue;
            }
            if (block[k] == '\r' && block[k + 1] == '\n') {
                // A CR LF pair of the source goes.
                from = k + 2;
                if (from >= 64) {
                    next = i + from;
                    break;
                }
                mask &= ~std::uint64_t{0} << from;
                continue;
            }
            std::uint32_t four;
            std::memcpy(&four, block + k, 4);
            if ((four | letters) == br && block[k + 4] == '\r' && block[k + 5] == '\n') {
                if (k + 5 < 64) {
                    from = k + 4;
                    mask &= ~std::uint64_t{0} << (k + 5);
                    continue;
                }
                // Its CR LF lies (partly) in the next block, where it would
                // be taken for a pair of the source: written here instead.
                std::memcpy(w, "\r\n", 2);
                w += 2;
                next = i + k + 6;
                break;
            }
            out.advance(static_cast<std::size_t>(w - out.cursor()));
            next = stripAt(out, s, i + k);
            if (next == std::string_view::npos) {
                undecodedFrom = undecoded;
                out.finish();
                return;
            }
            out.reserve(128);
            w = out.cursor();
            if (next >= i + 64)
                break;
            from = next - i;
            // What the tag or line break took in is looked at no more.
            mask &= ~std::uint64_t{0} << from;
            next = i + 64;
        }
        if (mask == 0) {
            copy64(w, block + from);
            w += 64 - from;
        }
        i = next;
    }
    out.advance(static_cast<std::size_t>(w - out.cursor()));
#endif
    // The last bytes are copied with their references as they are.
    if (undecoded == std::string_view::npos && i < n && std::memchr(p + i, '&', n - i) != nullptr)
        undecoded = static_cast<std::size_t>(out.cursor() - text.data());
    undecodedFrom = undecoded;
    while (i < n) {
        if (i >= nextReport) [[unlikely]] {
            progress->report(done + i, total);
            nextReport = i + kProgressStep;
        }
        std::size_t at = i;
        while (at < n && p[at] != '<' && p[at] != '\r')
            ++at;
        out.put(p + i, at - i);
        if (at == n)
            break;
        i = stripAt(out, s, at);
        if (i == std::string_view::npos)
            break;
    }
    out.finish();
}

std::string_view trimControl(std::string_view s) {
    std::size_t b = 0;
    std::size_t e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= 32)
        ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= 32)
        --e;
    return s.substr(b, e - b);
}

bool startsWith(std::string_view s, std::size_t i, std::string_view word) {
    if (s.size() - i < word.size())
        return false;
    for (std::size_t k = 0; k < word.size(); ++k) {
        if (s[i + k] != word[k])
            return false;
    }
    return true;
}

// The four references in one pass, as the four passes "&amp;", "&lt;",
// "&gt;", "&quot;" one after the other decode them. After the first pass an
// "&" is either one of the text or one decoded from "&amp;", and the later
// passes look only at what follows it in the text: so "&amp;lt;" becomes "<",
// as it does in four passes. No later pass makes an "&", and each "&" can
// start at most one of the three.
//
// Decoding only shrinks the text, so it works in place: the bytes [from, end)
// of `s` are written to the start of `s`, those from `decodeFrom` on decoded,
// and `s` is then cut to size.
void decodeReferencesInPlace(std::string& s, std::size_t from, std::size_t decodeFrom,
                             std::size_t end) {
    const std::string_view in(s.data(), end);
    char* base = s.data();
    char* w = base;
    std::size_t i = from;
    auto copy = [&](std::size_t to) {
        if (w != base + i)
            std::memmove(w, base + i, to - i);
        w += to - i;
    };
    copy(decodeFrom);
    i = decodeFrom;
    for (;;) {
        // Up to the next "&", sixteen bytes at a time. A block may be stored
        // whole only when the write position lags the read position by a
        // block or more, so the store never reaches bytes not yet read.
        std::size_t amp = std::string_view::npos;
#if defined(__SSE2__)
        const __m128i ampByte = _mm_set1_epi8('&');
        while (i + 16 <= end) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(base + i));
            const auto mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, ampByte)));
            const std::size_t k = mask == 0 ? 16 : static_cast<std::size_t>(__builtin_ctz(mask));
            const auto lag = static_cast<std::size_t>(base + i - w);
            if (lag >= 16) {
                _mm_storeu_si128(reinterpret_cast<__m128i*>(w), v);
            } else if (lag > 0) {
                std::memmove(w, base + i, k);
            }
            w += k;
            i += k;
            if (k < 16) {
                amp = i;
                break;
            }
        }
        if (amp == std::string_view::npos)
#endif
        {
            amp = findChar(in, '&', i);
            if (amp == std::string_view::npos)
                break;
            copy(amp);
        }
        i = amp;
        std::size_t k = startsWith(in, amp, "&amp;") ? amp + 5 : amp + 1;
        char decoded = '&';
        if (startsWith(in, k, "lt;")) {
            decoded = '<';
            k += 3;
        } else if (startsWith(in, k, "gt;")) {
            decoded = '>';
            k += 3;
        } else if (startsWith(in, k, "quot;")) {
            decoded = '"';
            k += 5;
        }
        *w++ = decoded;
        i = k;
    }
    copy(end);
    s.resize(static_cast<std::size_t>(w - base));
}

}  // namespace

TextAndTitle ToText(std::string_view html, Progress* progress) {
    TextAndTitle result;

    // The first "<TITLE>" and "</TITLE>" in any case are the ones the
    // case-sensitive search finds once they are written in upper case. Their
    // case need not really change: both are dropped as ordinary tags.
    std::string_view before = html;
    std::string_view after;
    const std::size_t open = findTagNoCase(html, "<TITLE>");
    const std::size_t close =
        open == std::string_view::npos ? open : findTagNoCase(html, "</TITLE>");
    if (close != std::string_view::npos) {
        if (close > open) {
            result.title = std::string(html.substr(open + 7, close - (open + 7)));
            before = html.substr(0, open + 7);
            after = html.substr(close);
        } else {
            result.title = std::string();
        }
    }

    // "before" ends with the ">" of "<TITLE>": no tag, block tag or CR LF
    // pair runs across the removed title, so the two parts can be stripped
    // one after the other.
    result.text.reserve(before.size() + after.size() + after.size() / 16 + 128);
    std::size_t undecoded = std::string_view::npos;
    stripTags(result.text, before, undecoded, progress, 0, html.size());
    stripTags(result.text, after, undecoded, progress,
              after.empty() ? html.size() : static_cast<std::size_t>(after.data() - html.data()),
              html.size());
    // Trimming and decoding can go in either order: the references hold no
    // byte <= 32 and decode to none.
    const std::string_view trimmed = trimControl(result.text);
    const auto from = static_cast<std::size_t>(trimmed.data() - result.text.data());
    const std::size_t end = from + trimmed.size();
    decodeReferencesInPlace(result.text, from, std::clamp(undecoded, from, end), end);
    return result;
}

}  // namespace korvane
