#include "convert/to_html.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

#include "base/sjis_bytes.h"
#include "convert/byte_writer.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace korvane {

namespace {

constexpr std::string_view kCrLf = "\r\n";

// What the body conversion writes for the bytes it has to look at.
enum Slot : unsigned char { kPlain, kAmp, kLt, kGt, kQuot, kTab, kLoneCr, kCrBeforeLf, kSlotCount };

struct Replacement {
    char bytes[16];
    std::size_t size;
};

constexpr std::array<unsigned char, 256> kSlotOf = [] {
    std::array<unsigned char, 256> slots{};
    slots['&'] = kAmp;
    slots['<'] = kLt;
    slots['>'] = kGt;
    slots['"'] = kQuot;
    slots['\t'] = kTab;
    slots['\r'] = kLoneCr;  // kCrBeforeLf when an LF follows
    return slots;
}();

#if defined(__SSE2__)
struct SpecialMasks {
    __m128i amp = _mm_set1_epi8('&');
    __m128i lt = _mm_set1_epi8('<');
    __m128i gt = _mm_set1_epi8('>');
    __m128i quot = _mm_set1_epi8('"');
    __m128i tab = _mm_set1_epi8('\t');
    __m128i cr = _mm_set1_epi8('\r');
};

// One bit for each special byte of the sixteen in `v`.
inline unsigned specialMask(__m128i v, const SpecialMasks& m) {
    const __m128i hit =
        _mm_or_si128(_mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, m.amp), _mm_cmpeq_epi8(v, m.lt)),
                                  _mm_or_si128(_mm_cmpeq_epi8(v, m.gt), _mm_cmpeq_epi8(v, m.quot))),
                     _mm_or_si128(_mm_cmpeq_epi8(v, m.tab), _mm_cmpeq_epi8(v, m.cr)));
    return static_cast<unsigned>(_mm_movemask_epi8(hit));
}
#endif

// The offset of the next special byte at or after `i`, or s.size().
std::size_t nextSpecial(std::string_view s, std::size_t i) {
    const auto* p = reinterpret_cast<const unsigned char*>(s.data());
    const std::size_t n = s.size();
#if defined(__SSE2__)
    const SpecialMasks m;
    while (i + 16 <= n) {
        const unsigned mask =
            specialMask(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i)), m);
        if (mask != 0)
            return i + static_cast<std::size_t>(__builtin_ctz(mask));
        i += 16;
    }
#endif
    while (i < n && kSlotOf[p[i]] == kPlain)
        ++i;
    return i;
}

void appendLine(std::string& out, std::string_view line) {
    out.append(line);
    out.append(kCrLf);
}

}  // namespace

int tabWidthForOption(int tabOption) {
    switch (tabOption) {
        case 0:
            return 1;
        case 1:
            return 2;
        case 2:
            return 4;
        default:
            return 8;
    }
}

void appendHtmlBody(std::string& page, std::string_view body, int tabOption, Progress* progress,
                    const TextCodec& codec) {
    const std::size_t tabWidth = static_cast<std::size_t>(tabWidthForOption(tabOption));

    // Every replacement is at most 16 bytes (a tab at option 3), so each one
    // is written as one 16-byte store from a padded copy; the writer keeps 16
    // bytes of slack for such stores and cuts the string to size at the end.
    // The slot of a byte picks its replacement without a branch: a switch on
    // the byte mispredicts on nearly every special byte of real text.
    Replacement table[kSlotCount] = {};
    // A tab is at most 8 full-width spaces of 2 or 3 bytes: the 16 bytes of
    // a slot hold a Shift_JIS or EUC-JP tab whole, and a UTF-8 one of up to
    // 5 spaces; a wider one is written on its own, by the loop of a byte at
    // a time.
    const std::string_view space = codec.fullWidthSpace();
    std::string tab;
    for (std::size_t k = 0; k < tabWidth; ++k)
        tab.append(space);
    const bool tabFits = tab.size() <= sizeof table[kTab].bytes;
    if (tabFits)
        std::memcpy(table[kTab].bytes, tab.data(), tab.size());
    table[kTab].size = tabFits ? tab.size() : 0;
    const auto set = [&](Slot slot, std::string_view text) {
        std::memcpy(table[slot].bytes, text.data(), text.size());
        table[slot].size = text.size();
    };
    set(kAmp, "&amp;");
    set(kLt, "&lt;");
    set(kGt, "&gt;");
    set(kQuot, "&quot;");
    set(kLoneCr, "\r");
    // The LF behind it is copied as an ordinary byte.
    set(kCrBeforeLf, "<BR>\r");

    // Room for the body and a quarter more; a body full of markup characters
    // grows the buffer a few times at most.
    ByteWriter out(page, body.size() + body.size() / 4 + 64);
    const char* p = body.data();
    const std::size_t n = body.size();

    // The slot of the special byte at `at`: only a CR LF pair is a line break.
    auto slotAt = [&](std::size_t at) {
        const auto c = static_cast<unsigned char>(p[at]);
        const bool beforeLf = c == '\r' && at + 1 < n && p[at + 1] == '\n';
        return static_cast<std::size_t>(kSlotOf[c]) + (beforeLf ? 1 : 0);
    };

    std::size_t i = 0;
    std::size_t nextReport = progress != nullptr ? kProgressStep : SIZE_MAX;
#if defined(__SSE2__)
    const std::size_t blockEnd = tabFits ? n : 0;
    // Sixty-four bytes at a time, so that the branches on where the special
    // bytes fall are taken a quarter as often as with one register's worth.
    // Each plain run (at most 64 bytes) is stored as 64 bytes loaded where it
    // starts and the cursor moves only past the run, so the excess is
    // overwritten next; then the replacement. Loads reach up to 127 bytes past
    // the block start, hence the loop's bound.
    const SpecialMasks m;
    while (i + 128 <= blockEnd) {
        if (i >= nextReport) [[unlikely]] {
            progress->report(i, n);
            nextReport = i + kProgressStep;
        }
        // The work per block is uneven enough that the hardware's own
        // prefetch falls behind on a busy machine.
        _mm_prefetch(p + i + 2048, _MM_HINT_T0);
        // At most 64 replacements of at most 16 bytes each, and a run's store.
        out.reserve(64 * 16 + 64);
        char* w = out.cursor();
        const char* block = p + i;
        std::uint64_t mask = 0;
        for (int k = 0; k < 64; k += 16)
            mask |= std::uint64_t{specialMask(load16(block + k), m)} << k;
        std::size_t from = 0;
        while (mask != 0) {
            const auto k = static_cast<std::size_t>(__builtin_ctzll(mask));
            mask &= mask - 1;
            copy64(w, block + from);
            w += k - from;
            // The byte behind is always there inside the loop's bound; `&`
            // rather than `&&` keeps the test free of a branch, which would
            // mispredict on every other special byte.
            const auto c = static_cast<unsigned char>(block[k]);
            const unsigned beforeLf =
                static_cast<unsigned>(c == '\r') & static_cast<unsigned>(block[k + 1] == '\n');
            const Replacement& r = table[kSlotOf[c] + beforeLf];
            std::memcpy(w, r.bytes, 16);
            w += r.size;
            from = k + 1;
        }
        copy64(w, block + from);
        w += 64 - from;
        out.advance(static_cast<std::size_t>(w - out.cursor()));
        i += 64;
    }
#endif
    while (i < n) {
        if (i >= nextReport) [[unlikely]] {
            progress->report(i, n);
            nextReport = i + kProgressStep;
        }
        const std::size_t special = nextSpecial(body, i);
        out.put(p + i, special - i);
        if (special >= n)
            break;
        const std::size_t slot = slotAt(special);
        i = special + 1;
        if (slot == kTab && !tabFits) {
            out.put(tab.data(), tab.size());
            continue;
        }
        out.reserve(16);
        const Replacement& r = table[slot];
        std::memcpy(out.cursor(), r.bytes, 16);
        out.advance(r.size);
    }
    out.finish();
}

std::string ToHtml(std::string_view body, std::string_view title, const PageSettings& settings,
                   int tabOption, Progress* progress) {
    return ToHtml(body, title, settings, tabOption, shiftJisCodec(), progress);
}

std::string charsetMeta(const TextCodec& codec) {
    // The Parts' own line, blank included, for the pages they describe.
    if (&codec == &shiftJisCodec())
        return "<META http-equiv=\"Content-Type\" content=\"text/html; charset= Shift_JIS\">";
    return "<META http-equiv=\"Content-Type\" content=\"text/html; charset=" +
           std::string(codec.charsetName()) + "\">";
}

namespace {

// `s` with ASCII letters in lower case: tags and attribute names are ASCII
// in every encoding a page is read in, and no byte of a multibyte
// character is an ASCII letter in UTF-8 or EUC-JP (in Shift_JIS a second
// byte may be, which only makes a lower-case copy, never a false "<").
std::string asciiLowered(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

// The part of a page its charset may be declared in: up to "</head>" or
// "<body", or the first 64 KiB of a page that has neither.
std::size_t headEnd(const std::string& lowered) {
    const std::size_t end = std::min(lowered.find("</head"), lowered.find("<body"));
    return end == std::string::npos ? std::min<std::size_t>(lowered.size(), 64 * 1024) : end;
}

}  // namespace

std::optional<std::pair<std::size_t, std::size_t>> metaCharsetName(std::string_view page) {
    const std::string lowered =
        asciiLowered(page.substr(0, std::min<std::size_t>(page.size(), 1 << 20)));
    const std::size_t limit = headEnd(lowered);
    for (std::size_t meta = lowered.find("<meta"); meta < limit;
         meta = lowered.find("<meta", meta + 1)) {
        const std::size_t close = std::min(lowered.find('>', meta), limit);
        const std::size_t key = lowered.find("charset", meta);
        if (key >= close)
            continue;
        std::size_t at = key + 7;
        while (at < close && (lowered[at] == ' ' || lowered[at] == '\t'))
            ++at;
        if (at >= close || lowered[at] != '=')
            continue;
        ++at;
        while (at < close && (lowered[at] == ' ' || lowered[at] == '\t' || lowered[at] == '"' ||
                              lowered[at] == '\''))
            ++at;
        std::size_t end = at;
        while (end < close && ((lowered[end] >= 'a' && lowered[end] <= 'z') ||
                               (lowered[end] >= '0' && lowered[end] <= '9') ||
                               lowered[end] == '-' || lowered[end] == '_'))
            ++end;
        if (end > at)
            return std::pair(at, end);
    }
    return std::nullopt;
}

std::optional<std::size_t> charsetMetaPlace(std::string_view page) {
    const std::string lowered =
        asciiLowered(page.substr(0, std::min<std::size_t>(page.size(), 1 << 20)));
    // "<head>" or "<head ...>", not "<header>".
    std::size_t head = lowered.find("<head");
    while (head != std::string::npos && head + 5 < lowered.size() && lowered[head + 5] != '>' &&
           lowered[head + 5] != ' ' && lowered[head + 5] != '\t' && lowered[head + 5] != '\r' &&
           lowered[head + 5] != '\n')
        head = lowered.find("<head", head + 1);
    if (head == std::string::npos || head >= headEnd(lowered))
        return std::nullopt;
    const std::size_t close = lowered.find('>', head);
    if (close == std::string::npos)
        return std::nullopt;
    std::size_t at = close + 1;
    if (lowered.compare(at, 2, "\r\n") == 0)
        at += 2;
    return at;
}

std::string ToHtml(std::string_view body, std::string_view title, const PageSettings& shiftJis,
                   int tabOption, const TextCodec& codec, Progress* progress) {
    // The settings file keeps its values in Shift_JIS; a page in another
    // encoding gets them in its own.
    PageSettings converted;
    const bool other = &codec != &shiftJisCodec();
    if (other) {
        converted = shiftJis;
        for (std::string* value : {&converted.Author, &converted.Description, &converted.Keywords,
                                   &converted.HeadText, &converted.BackPicture}) {
            *value = recodeFromShiftJis(*value, codec);
        }
    }
    const PageSettings& settings = other ? converted : shiftJis;
    std::string out;
    // The body sizes the output exactly when it is appended.
    out.reserve(1024 + title.size() + settings.Author.size() + settings.Description.size() +
                settings.Keywords.size() + settings.HeadText.size() + settings.BackPicture.size());

    out.append("<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\"\"");
    out.append(kTransitionalDtd);
    out.append("\">\r\n");
    appendLine(out, "<HTML lang=\"ja\">");
    appendLine(out, "<HEAD>");
    appendLine(out, charsetMeta(codec));
    if (!title.empty()) {
        out.append("<TITLE>").append(title).append("</TITLE>").append(kCrLf);
    }
    if (settings.DetailOn) {
        auto meta = [&](std::string_view name, const std::string& value) {
            if (value.empty())
                return;
            out.append("<META name=\"").append(name).append("\" content=\"");
            out.append(value).append("\">").append(kCrLf);
        };
        meta("author", settings.Author);
        meta("description", settings.Description);
        meta("keywords", settings.Keywords);
        if (!settings.HeadText.empty())
            appendLine(out, settings.HeadText);
    }
    appendLine(out, "</HEAD>");

    out.append("<BODY");
    auto attribute = [&](std::string_view name, std::string_view value) {
        out.append(" ").append(name).append("=\"").append(value).append("\"");
    };
    if (settings.BackPictureOn)
        attribute("background", settings.BackPicture);
    if (settings.ColorCheck & kCheckBack)
        attribute("bgcolor", settings.BackColorHtml);
    if (settings.ColorCheck & kCheckFont)
        attribute("text", settings.FontColorHtml);
    if (settings.ColorCheck & kCheckLink)
        attribute("link", settings.LinkColorHtml);
    if (settings.ColorCheck & kCheckVlink)
        attribute("vlink", settings.VlinkColorHtml);
    if (settings.ColorCheck & kCheckAlink)
        attribute("alink", settings.AlinkColorHtml);
    out.append(">").append(kCrLf);

    appendHtmlBody(out, body, tabOption, progress, codec);
    out.append(kCrLf);
    appendLine(out, "</BODY>");
    out.append("</HTML>");
    return out;
}

void replaceFirstOccurrence(std::string& document, std::string_view picture,
                            std::string_view relative) {
    if (picture.empty())
        return;
    const std::size_t at = findAtCharBoundary(document, picture);
    if (at == std::string::npos)
        return;
    document.replace(at, picture.size(), relative);
}

}  // namespace korvane
