#include "tags/tag_text.h"

#include <algorithm>
#include <unordered_set>
#include <utility>

#include "base/shift_jis.h"

namespace korvane {

namespace {

std::optional<std::string> toShiftJis(std::string_view utf8) {
    SjisEncoded encoded = encodeShiftJisFromUtf8(utf8);
    if (!encoded.replaced.empty())
        return std::nullopt;
    return std::move(encoded.bytes);
}

char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// "<BR>" in any case at `i`. Its four bytes are single-byte characters
// wherever they stand: "<" is never a second byte, and the bytes behind it
// start characters of their own.
bool isLineBreakTagAt(std::string_view text, std::size_t i) {
    return i + 4 <= text.size() && text[i] == '<' && lowerAscii(text[i + 1]) == 'b' &&
           lowerAscii(text[i + 2]) == 'r' && text[i + 3] == '>';
}

std::string quoted(std::string_view name, std::string_view value) {
    std::string out;
    out.reserve(name.size() + value.size() + 3);
    out.append(name).append("=\"").append(value).append("\"");
    return out;
}

}  // namespace

bool documentHasName(std::string_view currentFile) {
    return currentFile != kUntitledDocument;
}

std::optional<std::string> tagLocation(std::string_view document, std::string_view target,
                                       PathStyle style) {
    if (style == PathStyle::Posix)
        return toShiftJis(RelativeLocation(document, target, style));
    const std::optional<std::string> target932 = toShiftJis(target);
    if (!target932)
        return std::nullopt;
    // A document whose name Shift_JIS cannot hold cannot be compared with
    // the target's name; the location is then the target's full path, as
    // for a target on another drive.
    const std::optional<std::string> document932 = toShiftJis(document);
    return RelativeLocation(document932 ? *document932 : std::string(), *target932, style);
}

std::string unwritableNameText(std::string_view path) {
    std::string text = "ファイル名 ";
    text.append(path).append(" は Shift_JIS で書けないため使えません");
    return text;
}

std::string removeLineBreakTags(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t open = text.find('<', i);
        if (open == std::string_view::npos) {
            out.append(text.substr(i));
            break;
        }
        out.append(text.substr(i, open - i));
        if (isLineBreakTagAt(text, open)) {
            i = open + 4;
        } else {
            out.push_back('<');
            i = open + 1;
        }
    }
    return out;
}

std::string listText(std::string_view selection, std::string_view listTag) {
    const std::string items = removeLineBreakTags(selection);
    std::string out;
    out.reserve(items.size() + 2 * listTag.size() + 16);
    out.append("<").append(listTag).append("><LI>");
    std::size_t i = 0;
    for (;;) {
        const std::size_t lineBreak = items.find("\r\n", i);
        if (lineBreak == std::string::npos)
            break;
        out.append(items, i, lineBreak + 2 - i).append("<LI>");
        i = lineBreak + 2;
    }
    out.append(items, i).append("</").append(listTag).append(">");
    return out;
}

std::string simpleImageText(std::string_view selection, std::string_view location) {
    return OpenTagWith(selection, "IMAGE", quoted("src", location));
}

std::optional<std::string> fontTagText(std::string_view selection, const FontTagFields& fields) {
    if (!fields.face && !fields.size && !fields.color)
        return std::nullopt;
    std::string attributes;
    if (fields.face && !fields.faceName.empty())
        attributes.append(" ").append(quoted("face", fields.faceName));
    if (fields.size)
        attributes.append(" ").append(quoted("size", fields.sizeText));
    if (fields.color)
        attributes.append(" ").append(quoted("color", ColorToHtml(fields.colorValue)));
    // The space before the first attribute goes; with only the face box
    // checked and no font picked that leaves "<FONT >".
    const auto first = std::find_if(attributes.begin(), attributes.end(),
                                    [](char c) { return static_cast<unsigned char>(c) > ' '; });
    attributes.erase(attributes.begin(), first);
    return WrapTagWith(selection, "FONT", attributes);
}

std::optional<std::string> linkTagText(std::string_view selection, const LinkTagFields& fields) {
    if (fields.address.empty() || fields.name.empty())
        return std::nullopt;
    const std::string href = fields.mail ? "mailto:" + fields.address : fields.address;
    return WrapTagWith(selection, "A", quoted("href", href));
}

LinkEnd nextLinkEnd(LinkEnd chosen) {
    return chosen == LinkEnd::Source ? LinkEnd::Target : LinkEnd::Source;
}

std::optional<std::string> anchorTagText(std::string_view selection, std::string_view name,
                                         LinkEnd end) {
    if (name.empty())
        return std::nullopt;
    const std::string attributes =
        end == LinkEnd::Source ? quoted("href", "#" + std::string(name)) : quoted("name", name);
    return WrapTagWith(selection, "A", attributes);
}

std::optional<std::string> imageTagText(std::string_view selection, const ImageTagFields& fields) {
    if (fields.file.empty())
        return std::nullopt;
    std::string attributes = quoted("src", fields.file);
    const std::pair<const char*, const std::string*> optional[] = {
        {"height", &fields.height},
        {"width", &fields.width},
        {"alt", &fields.alt},
        {"border", &fields.border},
    };
    for (const auto& [name, value] : optional) {
        if (!value->empty())
            attributes.append(" ").append(quoted(name, *value));
    }
    static constexpr const char* kAlign[] = {nullptr, "left", "right", "top", "middle", "bottom"};
    if (const char* align = kAlign[static_cast<int>(fields.position)])
        attributes.append(" ").append(quoted("align", align));
    return OpenTagWith(selection, "IMAGE", attributes);
}

std::vector<std::string> plainFamilyNames(const std::vector<std::string>& installed) {
    std::vector<std::string> families;
    std::unordered_set<std::string> seen;
    for (const std::string& name : installed) {
        std::string family = name;
        // " [foundry]" at the end, the foundry neither empty nor bracketed.
        const std::size_t open = family.rfind(" [");
        if (open != std::string::npos && open > 0 && family.size() > open + 3 &&
            family.back() == ']' && family.find_first_of("[]", open + 2) == family.size() - 1) {
            family.erase(open);
        }
        if (seen.insert(family).second)
            families.push_back(std::move(family));
    }
    return families;
}

std::vector<std::string> fontListEntries(std::vector<std::string> installed) {
    installed = plainFamilyNames(installed);
    // The vertical fonts ("@" names) sort to the top, where the list drops
    // them; the rest sorts without regard to the case of Latin letters, as a
    // sorted list box shows it.
    auto key = [](const std::string& name) {
        std::string folded(name);
        std::transform(folded.begin(), folded.end(), folded.begin(), lowerAscii);
        return std::make_pair(name.empty() || name.front() != '@', std::move(folded));
    };
    std::sort(installed.begin(), installed.end(),
              [&key](const std::string& a, const std::string& b) {
                  const auto ka = key(a);
                  const auto kb = key(b);
                  return ka != kb ? ka < kb : a < b;
              });
    const auto firstPlain = std::find_if(installed.begin(), installed.end(), [](const auto& name) {
        return name.empty() || name.front() != '@';
    });
    installed.erase(installed.begin(), firstPlain);
    std::erase_if(installed, [](const std::string& name) { return !toShiftJis(name); });
    return installed;
}

}  // namespace korvane
