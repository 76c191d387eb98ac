#include "convert/to_html.h"

#include <cstring>

#include "base/sjis_bytes.h"
#include "convert/byte_writer.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace korvane {

namespace {

constexpr std::string_view kCrLf = "\r\n";

// True for the bytes the body conversion has to look at.
constexpr bool isSpecial(unsigned char c) {
    return c == '&' || c == '<' || c == '>' || c == '"' || c == '\t' || c == '\r';
}

#if defined(__SSE2__)
struct SpecialMasks {
    __m128i amp = _mm_set1_epi8('&');
    __m128i lt = _mm_set1_epi8('<');
    __m128i gt = _mm_set1_epi8('>');
    __m128i quot = _mm_set1_epi8('"');
    __m128i tab = _mm_set1_epi8('\t');
    __m128i cr = _mm_set1_epi8('\r');
    __m128i lf = _mm_set1_epi8('\n');
};

#endif

// The offset of the next special byte at or after `i`, or s.size(). Most
// bytes of a page are plain, so runs are skipped sixteen bytes at a time.
std::size_t nextSpecial(std::string_view s, std::size_t i) {
    const auto* p = reinterpret_cast<const unsigned char*>(s.data());
    const std::size_t n = s.size();
#if defined(__SSE2__)
    const SpecialMasks m;
    while (i + 16 <= n) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        const __m128i hit = _mm_or_si128(
            _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, m.amp), _mm_cmpeq_epi8(v, m.lt)),
                         _mm_or_si128(_mm_cmpeq_epi8(v, m.gt), _mm_cmpeq_epi8(v, m.quot))),
            _mm_or_si128(_mm_cmpeq_epi8(v, m.tab), _mm_cmpeq_epi8(v, m.cr)));
        const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(hit));
        if (mask != 0)
            return i + static_cast<std::size_t>(__builtin_ctz(mask));
        i += 16;
    }
#endif
    while (i < n && !isSpecial(p[i]))
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

void appendHtmlBody(std::string& page, std::string_view body, int tabOption) {
    const std::size_t tabWidth = static_cast<std::size_t>(tabWidthForOption(tabOption));

    // Every replacement is at most 16 bytes (a tab at option 3), so each one
    // is written as one 16-byte store from a padded copy; the output carries
    // 16 bytes of slack for the last store and is cut to size at the end.
    struct Replacement {
        char bytes[16];
        std::size_t size;
    };
    Replacement tabRun{};
    for (std::size_t k = 0; k < tabWidth; ++k)
        std::memcpy(tabRun.bytes + 2 * k, "\x81\x40", 2);
    tabRun.size = 2 * tabWidth;
    const Replacement amp{"&amp;", 5}, lt{"&lt;", 4}, gt{"&gt;", 4}, quot{"&quot;", 6},
        lineBreak{"<BR>\r\n", 6}, loneCr{"\r", 1};

    // Room for the body and a quarter more; a body full of markup characters
    // grows the buffer a few times at most.
    ByteWriter out(page, body.size() + body.size() / 4 + 64);
    const char* p = body.data();
    const std::size_t n = body.size();

    // Writes the replacement of the special byte at `at` as one 16-byte store
    // (the writer keeps the slack for it); returns the offset behind what it
    // consumed.
    auto replace = [&](std::size_t at) {
        const Replacement* r;
        std::size_t next = at + 1;
        switch (p[at]) {
            case '&':
                r = &amp;
                break;
            case '<':
                r = &lt;
                break;
            case '>':
                r = &gt;
                break;
            case '"':
                r = &quot;
                break;
            case '\t':
                r = &tabRun;
                break;
            default:
                // Only a CR LF pair is a line break; a lone CR stays as it is.
                if (next < n && p[next] == '\n') {
                    r = &lineBreak;
                    ++next;
                } else {
                    r = &loneCr;
                }
                break;
        }
        out.reserve(16);
        std::memcpy(out.cursor(), r->bytes, 16);
        out.advance(r->size);
        return next;
    };

    std::size_t i = 0;
#if defined(__SSE2__)
    // Each block of sixteen bytes is copied whole; when it holds a special
    // byte only the bytes before it count, the replacement follows, and the
    // next block starts behind the special byte.
    const SpecialMasks m;
    while (i + 16 <= n) {
        out.reserve(16);
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out.cursor()), v);
        const __m128i hit = _mm_or_si128(
            _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, m.amp), _mm_cmpeq_epi8(v, m.lt)),
                         _mm_or_si128(_mm_cmpeq_epi8(v, m.gt), _mm_cmpeq_epi8(v, m.quot))),
            _mm_or_si128(_mm_cmpeq_epi8(v, m.tab), _mm_cmpeq_epi8(v, m.cr)));
        const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(hit));
        if (mask == 0) {
            i += 16;
            out.advance(16);
            continue;
        }
        const auto k = static_cast<std::size_t>(__builtin_ctz(mask));
        out.advance(k);
        i = replace(i + k);
    }
#endif
    while (i < n) {
        const std::size_t special = nextSpecial(body, i);
        out.put(p + i, special - i);
        if (special >= n)
            break;
        i = replace(special);
    }
    out.finish();
}

std::string ToHtml(std::string_view body, std::string_view title, const PageSettings& settings,
                   int tabOption) {
    std::string out;
    // The body sizes the output exactly when it is appended.
    out.reserve(1024 + title.size() + settings.Author.size() + settings.Description.size() +
                settings.Keywords.size() + settings.HeadText.size() + settings.BackPicture.size());

    out.append("<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\"\"");
    out.append(kTransitionalDtd);
    out.append("\">\r\n");
    appendLine(out, "<HTML lang=\"ja\">");
    appendLine(out, "<HEAD>");
    appendLine(out, "<META http-equiv=\"Content-Type\" content=\"text/html; charset= Shift_JIS\">");
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

    appendHtmlBody(out, body, tabOption);
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
