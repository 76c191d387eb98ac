#include "convert/to_text.h"

#include <array>
#include <cstring>

namespace korvane {

namespace {

// The steps of the conversion are fused into three passes over the text
// (join lines; replace block tags and drop tags; decode references). Pages
// can be megabytes long and most of their bytes need nothing, so each pass
// jumps from one interesting byte to the next with memchr and copies the runs
// between in one piece. Each fusion is equivalent to the steps one after the
// other; the reasons are given where they are made.

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
std::size_t findTagNoCase(std::string_view s, std::string_view upperWord) {
    for (std::size_t i = findChar(s, '<', 0); i != std::string_view::npos;
         i = findChar(s, '<', i + 1)) {
        if (matchesNoCase(s, i, upperWord))
            return i;
    }
    return std::string_view::npos;
}

// Appends `s` without its CR LF pairs; a CR or LF alone stays.
void appendWithoutCrLf(std::string& out, std::string_view s) {
    std::size_t i = 0;
    for (std::size_t cr = findChar(s, '\r', 0); cr != std::string_view::npos;
         cr = findChar(s, '\r', cr + 1)) {
        if (cr + 1 < s.size() && s[cr + 1] == '\n') {
            out.append(s.data() + i, cr - i);
            i = cr + 2;
        }
    }
    out.append(s.data() + i, s.size() - i);
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

// The block tag at `i`, if one starts there. Every block tag starts with "<",
// ends with ">" and holds neither inside, so no two matches can overlap and
// a replacement (CR LF only) can neither make nor break another match: one
// pass over all five gives what five passes in the table's order give.
const Block* blockTagAt(std::string_view s, std::size_t i) {
    for (const Block& b : kBlocks) {
        if (matchesNoCase(s, i, b.tag))
            return &b;
    }
    return nullptr;
}

// Block tags become line breaks, every other tag is dropped. A tag runs from
// "<" to the first ">" that is still there once the block tags inside it
// have been replaced: a block tag's ">" closes the block tag, not the outer
// one («<a <BR> b>» is one tag).
std::string replaceBlocksAndDropTags(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    std::size_t i = 0;
    for (;;) {
        const std::size_t lt = findChar(s, '<', i);
        if (lt == std::string_view::npos) {
            out.append(s.data() + i, s.size() - i);
            break;
        }
        out.append(s.data() + i, lt - i);
        if (const Block* b = blockTagAt(s, lt)) {
            out.append(b->replacement);
            i = lt + b->tag.size();
            continue;
        }
        std::size_t from = lt + 1;
        std::size_t end = std::string_view::npos;
        for (;;) {
            const std::size_t gt = findChar(s, '>', from);
            if (gt == std::string_view::npos)
                break;
            // Only the last "<" before this ">" can start a block tag ending here.
            const void* last = gt > from ? ::memrchr(s.data() + from, '<', gt - from) : nullptr;
            if (last != nullptr) {
                const auto q = static_cast<std::size_t>(static_cast<const char*>(last) - s.data());
                const Block* b = blockTagAt(s, q);
                if (b != nullptr && q + b->tag.size() == gt + 1) {
                    from = gt + 1;
                    continue;
                }
            }
            end = gt;
            break;
        }
        if (end == std::string_view::npos)
            break;  // an open tag runs to the end
        i = end + 1;
    }
    return out;
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
    return s.size() - i >= word.size() && s.compare(i, word.size(), word) == 0;
}

// The four references in one pass, as the four passes "&amp;", "&lt;",
// "&gt;", "&quot;" one after the other decode them. After the first pass an
// "&" is either one of the text or one decoded from "&amp;", and the later
// passes look only at what follows it in the text: so "&amp;lt;" becomes "<",
// as it does in four passes. No later pass makes an "&", and each "&" can
// start at most one of the three.
//
// Decoding only shrinks the text, so it works in place: the bytes [from, end)
// of `s` are decoded to the start of `s`, which is then cut to size.
void decodeReferencesInPlace(std::string& s, std::size_t from, std::size_t end) {
    const std::string_view in(s.data(), end);
    char* w = s.data();
    std::size_t i = from;
    auto copy = [&](std::size_t to) {
        std::memmove(w, s.data() + i, to - i);
        w += to - i;
    };
    for (std::size_t amp = findChar(in, '&', i); amp != std::string_view::npos;
         amp = findChar(in, '&', i)) {
        copy(amp);
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
    s.resize(static_cast<std::size_t>(w - s.data()));
}

}  // namespace

TextAndTitle ToText(std::string_view html) {
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

    // Line breaks of the source do not survive. "before" ends with "<TITLE>",
    // so no CR LF pair can form across the removed title.
    std::string joined;
    joined.reserve(before.size() + after.size());
    appendWithoutCrLf(joined, before);
    appendWithoutCrLf(joined, after);

    result.text = replaceBlocksAndDropTags(joined);
    const std::string_view trimmed = trimControl(result.text);
    const auto from = static_cast<std::size_t>(trimmed.data() - result.text.data());
    decodeReferencesInPlace(result.text, from, from + trimmed.size());
    return result;
}

}  // namespace korvane
