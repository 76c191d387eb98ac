#include "convert/uthtml.h"

#include <array>
#include <cstring>

namespace korvane {

std::string OpenTag(std::string_view text, std::string_view name) {
    std::string out;
    out.reserve(text.size() + name.size() + 2);
    out.append(text).append("<").append(name).append(">");
    return out;
}

std::string OpenTagWith(std::string_view text, std::string_view name, std::string_view attributes) {
    std::string out;
    out.reserve(text.size() + name.size() + attributes.size() + 3);
    out.append(text).append("<").append(name).append(" ").append(attributes).append(">");
    return out;
}

std::string WrapTag(std::string_view text, std::string_view name) {
    std::string out;
    out.reserve(text.size() + 2 * name.size() + 5);
    out.append("<").append(name).append(">").append(text).append("</").append(name).append(">");
    return out;
}

std::string WrapTagWith(std::string_view text, std::string_view name, std::string_view attributes) {
    std::string out;
    out.reserve(text.size() + 2 * name.size() + attributes.size() + 6);
    out.append("<").append(name).append(" ").append(attributes).append(">");
    out.append(text).append("</").append(name).append(">");
    return out;
}

void appendEscapedHtml(std::string& out, std::string_view text) {
    // One pass with the replacements of all four characters is the same as
    // four passes in the order &, <, >, " because no replacement introduces
    // a character that a later pass would replace except "&", and "&" is the
    // one handled first.
    std::size_t runStart = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char* entity = nullptr;
        switch (text[i]) {
            case '&':
                entity = "&amp;";
                break;
            case '<':
                entity = "&lt;";
                break;
            case '>':
                entity = "&gt;";
                break;
            case '"':
                entity = "&quot;";
                break;
            default:
                continue;
        }
        out.append(text.substr(runStart, i - runStart));
        out.append(entity);
        runStart = i + 1;
    }
    out.append(text.substr(runStart));
}

std::string EscapeHtml(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    appendEscapedHtml(out, text);
    return out;
}

std::uint32_t defaultSystemColor(int index) {
    // Windows' classic scheme, by COLOR_* index; used when no desktop palette
    // is at hand (the command-line converter).
    static constexpr std::array<std::uint32_t, 31> kClassic = {
        0xC8D0D4, 0xA56E3A, 0x6A240A, 0x808080, 0xC8D0D4, 0xFFFFFF, 0x000000, 0x000000,
        0x000000, 0xFFFFFF, 0xC8D0D4, 0xC8D0D4, 0x808080, 0x6A240A, 0xFFFFFF, 0xC8D0D4,
        0x808080, 0x808080, 0x000000, 0xC8D0D4, 0xFFFFFF, 0x404040, 0xC8D0D4, 0x000000,
        0xE1FFFF, 0xB5B5B5, 0x800000, 0xF0CAA6, 0xC0C0C0, 0xFF9933, 0xC8D0D4};
    if (index >= 0 && static_cast<std::size_t>(index) < kClassic.size()) {
        return kClassic[static_cast<std::size_t>(index)];
    }
    return 0;
}

std::string ColorToHtml(ColorValue color, const SystemColorLookup& systemColor) {
    std::uint32_t value = static_cast<std::uint32_t>(color);
    if (color < 0) {
        const int index = static_cast<int>(value & 0xFF);
        value = (systemColor ? systemColor(index) : defaultSystemColor(index)) & 0xFFFFFF;
    }
    // Hex digits of the value, at least six: "BBGGRR" for 0..0xFFFFFF. The
    // first two are blue, the next two green, the rest red.
    static constexpr char kDigits[] = "0123456789ABCDEF";
    char hex[8];
    int n = 0;
    for (int shift = 28; shift >= 0; shift -= 4) {
        const unsigned digit = (value >> shift) & 0xF;
        if (n == 0 && digit == 0 && shift >= 24)
            continue;  // pad to six, not eight
        hex[n++] = kDigits[digit];
    }
    const std::string_view digits(hex, static_cast<std::size_t>(n));
    std::string out = "#";
    out.append(digits.substr(4)).append(digits.substr(2, 2)).append(digits.substr(0, 2));
    return out;
}

}  // namespace korvane
