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
