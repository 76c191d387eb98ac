#include "tags/page_markup.h"

#include <array>

namespace korvane::markup {

namespace {

constexpr std::array kTags = {
    TagInfo{"B", Tag::B, Role::Inline},           TagInfo{"I", Tag::I, Role::Inline},
    TagInfo{"U", Tag::U, Role::Inline},           TagInfo{"S", Tag::S, Role::Inline},
    TagInfo{"STRIKE", Tag::Strike, Role::Inline}, TagInfo{"TT", Tag::Tt, Role::Inline},
    TagInfo{"A", Tag::A, Role::Inline},           TagInfo{"FONT", Tag::Font, Role::Inline},
    TagInfo{"BLINK", Tag::Blink, Role::Inline},   TagInfo{"CENTER", Tag::Center, Role::Block},
    TagInfo{"H1", Tag::H1, Role::Block},          TagInfo{"H2", Tag::H2, Role::Block},
    TagInfo{"H3", Tag::H3, Role::Block},          TagInfo{"H4", Tag::H4, Role::Block},
    TagInfo{"H5", Tag::H5, Role::Block},          TagInfo{"H6", Tag::H6, Role::Block},
    TagInfo{"PRE", Tag::Pre, Role::Block},        TagInfo{"UL", Tag::Ul, Role::Block},
    TagInfo{"OL", Tag::Ol, Role::Block},          TagInfo{"TABLE", Tag::Table, Role::Block},
    TagInfo{"P", Tag::P, Role::OpenEnd},          TagInfo{"LI", Tag::Li, Role::OpenEnd},
    TagInfo{"TD", Tag::Td, Role::OpenEnd},        TagInfo{"TH", Tag::Th, Role::OpenEnd},
    TagInfo{"IMG", Tag::Img, Role::None},         TagInfo{"IMAGE", Tag::Image, Role::None},
    TagInfo{"META", Tag::Meta, Role::None},       TagInfo{"BASE", Tag::Base, Role::None},
    TagInfo{"SCRIPT", Tag::Script, Role::None},   TagInfo{"STYLE", Tag::Style, Role::None},
};

const TagInfo kOtherTag{"", Tag::Other, Role::None};

const TagInfo& infoOf(Tag tag) {
    for (const TagInfo& info : kTags) {
        if (info.tag == tag)
            return info;
    }
    return kOtherTag;
}

}  // namespace

const TagInfo& tagInfo(std::string_view name) {
    if (name.empty() || name.size() > 6)
        return kOtherTag;
    const char first = static_cast<char>(name[0] & ~0x20);  // a letter in upper case
    for (const TagInfo& info : kTags) {
        if (info.name[0] == first && equalsIgnoringCase(info.name, name))
            return info;
    }
    return kOtherTag;
}

std::string_view nameOf(Tag tag) {
    return infoOf(tag).name;
}

namespace {

Attribute* slotFor(Attributes& a, std::string_view name) {
    struct Slot {
        std::string_view name;
        Attribute Attributes::*member;
    };
    static constexpr std::array kSlots = {
        Slot{"href", &Attributes::href},
        Slot{"src", &Attributes::src},
        Slot{"background", &Attributes::background},
        Slot{"name", &Attributes::name},
        Slot{"id", &Attributes::id},
        Slot{"alt", &Attributes::alt},
        Slot{"width", &Attributes::width},
        Slot{"height", &Attributes::height},
        Slot{"charset", &Attributes::charset},
        Slot{"content", &Attributes::content},
    };
    for (const Slot& slot : kSlots) {
        if (equalsIgnoringCase(slot.name, name))
            return &(a.*slot.member);
    }
    return nullptr;
}

}  // namespace

// The attributes in the bytes [from, to) of `text` (the part of a tag after
// its name, before its ">"). The first of a name counts, as in a browser.
Attributes readAttributes(std::string_view text, std::size_t from, std::size_t to) {
    Attributes attributes;
    std::size_t at = from;
    while (at < to) {
        while (at < to && (isSpace(text[at]) || text[at] == '/'))
            ++at;
        if (at >= to)
            break;
        const std::size_t nameStart = at;
        while (at < to && !isSpace(text[at]) && text[at] != '=' && text[at] != '/')
            ++at;
        if (at == nameStart) {
            ++at;
            continue;
        }
        const std::string_view name = text.substr(nameStart, at - nameStart);
        std::size_t look = at;
        while (look < to && isSpace(text[look]))
            ++look;
        Attribute value;
        value.present = true;
        value.offset = at;
        if (look < to && text[look] == '=') {
            at = look + 1;
            while (at < to && isSpace(text[at]))
                ++at;
            if (at < to && (text[at] == '"' || text[at] == '\'')) {
                const char quote = text[at];
                const std::size_t start = at + 1;
                const void* close = std::memchr(text.data() + start, quote, to - start);
                const std::size_t end =
                    close == nullptr
                        ? to
                        : static_cast<std::size_t>(static_cast<const char*>(close) - text.data());
                value.value = text.substr(start, end - start);
                value.offset = start;
                at = end < to ? end + 1 : to;
            } else {
                const std::size_t start = at;
                while (at < to && !isSpace(text[at]))
                    ++at;
                value.value = text.substr(start, at - start);
                value.offset = start;
            }
        }
        if (Attribute* slot = slotFor(attributes, name); slot != nullptr && !slot->present)
            *slot = value;
    }
    std::size_t last = to;
    while (last > from && isSpace(text[last - 1]))
        --last;
    attributes.selfClosing = last > from && text[last - 1] == '/';
    return attributes;
}

// The few character references a location may hold ("&amp;" above all).
std::string withoutReferences(std::string_view value) {
    if (value.find('&') == std::string_view::npos)
        return std::string(value);
    static constexpr std::array<std::pair<std::string_view, char>, 4> kNamed = {
        std::pair{"&amp;", '&'}, std::pair{"&quot;", '"'}, std::pair{"&lt;", '<'},
        std::pair{"&gt;", '>'}};
    std::string out;
    for (std::size_t i = 0; i < value.size();) {
        bool replaced = false;
        if (value[i] == '&') {
            for (const auto& [entity, c] : kNamed) {
                if (value.substr(i, entity.size()) == entity) {
                    out += c;
                    i += entity.size();
                    replaced = true;
                    break;
                }
            }
        }
        if (!replaced)
            out += value[i++];
    }
    return out;
}

namespace {

int hexValue(char c) {
    if (isDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

}  // namespace

// "%E3%81%82" and the like become their bytes, which on the server and on
// this disk are the UTF-8 of the name.
std::string percentDecoded(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size()) {
            const int high = hexValue(s[i + 1]);
            const int low = hexValue(s[i + 2]);
            if (high >= 0 && low >= 0) {
                out += static_cast<char>(high * 16 + low);
                i += 2;
                continue;
            }
        }
        out += s[i];
    }
    return out;
}

// The first "</name" (any case) at or after `from`; the size of the text
// when there is none.
std::size_t findEndTag(std::string_view text, std::size_t from, std::string_view endName) {
    const std::size_t n = text.size();
    while (from < n) {
        const void* lt = std::memchr(text.data() + from, '<', n - from);
        if (lt == nullptr)
            return n;
        from = static_cast<std::size_t>(static_cast<const char*>(lt) - text.data());
        if (equalsIgnoringCase(text.substr(from, endName.size()), endName))
            return from;
        ++from;
    }
    return n;
}

std::string joined(std::initializer_list<std::string_view> parts) {
    std::size_t size = 0;
    for (const std::string_view part : parts)
        size += part.size();
    std::string text;
    text.reserve(size);
    for (const std::string_view part : parts)
        text += part;
    return text;
}

}  // namespace korvane::markup
