// The markup of a page as the page check reads it: its tags, the
// attributes it looks at, and the few ways a location is written.
//
// Tag syntax is ASCII in every encoding the program reads, and none of its
// bytes is ever the second byte of a multibyte character, so all of this
// works on bytes.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <initializer_list>
#include <string>
#include <string_view>

#include "base/progress.h"

namespace korvane::markup {

inline char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

inline std::string lowered(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        c = lower(c);
    return out;
}

inline bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

inline bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

inline bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f';
}

inline bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

inline bool isAscii(std::string_view s) {
    return std::all_of(s.begin(), s.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

inline std::string_view trimmed(std::string_view s) {
    while (!s.empty() && isSpace(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isSpace(s.back()))
        s.remove_suffix(1);
    return s;
}

enum class Tag : unsigned char {
    Other,
    B,
    I,
    U,
    S,
    Strike,
    Tt,
    A,
    Font,
    Blink,
    Center,
    H1,
    H2,
    H3,
    H4,
    H5,
    H6,
    Pre,
    Ul,
    Ol,
    Table,
    P,
    Li,
    Td,
    Th,
    Img,
    Image,
    Meta,
    Base,
    Script,
    Style,
    Count
};

// How a tag takes part in the nesting rules (tags/page_check.h).
enum class Role : unsigned char {
    None,
    Inline,   // closes before its block ends
    Block,    // needs its end tag
    OpenEnd,  // a block whose end tag may be left out
};

struct TagInfo {
    std::string_view name;
    Tag tag;
    Role role;
};

// The parts of a message one after the other, in one allocation: a page
// with a problem at every other tag has tens of thousands of messages.
std::string joined(std::initializer_list<std::string_view> parts);

// The tags the check knows, by name (upper case) and role.
const TagInfo& tagInfo(std::string_view name);
std::string_view nameOf(Tag tag);

// A start tag's attributes, as far as the check reads them.
struct Attribute {
    std::string_view value;
    std::size_t offset = 0;  // of the value in the page
    bool present = false;
};

struct Attributes {
    Attribute href, src, background, name, id, alt, width, height, charset, content;
    bool selfClosing = false;  // "<X ... />"
};

// The attributes in the bytes [from, to) of `text` (the part of a tag after
// its name, before its ">"). The first of a name counts, as in a browser.
Attributes readAttributes(std::string_view text, std::size_t from, std::size_t to);

// The few character references a location may hold ("&amp;" above all).
std::string withoutReferences(std::string_view value);

// "%E3%81%82" and the like become their bytes, which on the server and on
// this disk are the UTF-8 of the name.
std::string percentDecoded(std::string_view s);

// The first "</name" (any case) at or after `from`; the size of the text
// when there is none.
std::size_t findEndTag(std::string_view text, std::size_t from, std::string_view endName);

// Where one tag of a page stands: "<" at `at`, the name up to `nameEnd`,
// its ">" at `gt`.
struct TagPlace {
    const TagInfo& info;
    bool end;
    std::size_t at;
    std::size_t nameEnd;
    std::size_t gt;
};

// Calls `onTag(const TagPlace&)` for the tags of `text` from left to right.
// A tag runs from "<" and a letter (or "</" and a letter) to the first ">",
// as the highlighter colours it; a "<" before anything else is text.
// Comments run to "-->", declarations ("<!DOCTYPE", "<?xml") to ">", and
// the contents of SCRIPT and STYLE, another language, to their end tag.
// Progress is reported every `reportEvery` bytes; false when `progress`
// asked to stop.
template <typename OnTag>
bool forEachPageTag(std::string_view text, Progress* progress, std::size_t reportEvery,
                    OnTag&& onTag) {
    const char* const begin = text.data();
    const std::size_t n = text.size();
    std::size_t pos = 0;
    std::size_t nextReport = reportEvery;
    while (pos < n) {
        if (progress != nullptr && pos >= nextReport) {
            nextReport = pos + reportEvery;
            if (!progress->report(pos, n))
                return false;
        }
        const void* open = std::memchr(begin + pos, '<', n - pos);
        if (open == nullptr)
            break;
        const auto at = static_cast<std::size_t>(static_cast<const char*>(open) - begin);
        if (at + 1 >= n)
            break;
        const char next = text[at + 1];
        if (next == '!' || next == '?') {
            if (text.compare(at, 4, "<!--") == 0) {
                const std::size_t close = text.find("-->", at + 4);
                pos = close == std::string_view::npos ? n : close + 3;
                continue;
            }
            const void* gt = std::memchr(begin + at, '>', n - at);
            pos = gt == nullptr
                      ? n
                      : static_cast<std::size_t>(static_cast<const char*>(gt) - begin) + 1;
            continue;
        }
        const bool end = next == '/';
        const std::size_t nameStart = at + 1 + (end ? 1 : 0);
        if (nameStart >= n || !isLetter(text[nameStart])) {
            pos = at + 1;
            continue;
        }
        const void* close = std::memchr(begin + nameStart, '>', n - nameStart);
        if (close == nullptr)
            break;
        const auto gt = static_cast<std::size_t>(static_cast<const char*>(close) - begin);
        std::size_t nameEnd = nameStart;
        while (nameEnd < gt && (isLetter(text[nameEnd]) || isDigit(text[nameEnd])))
            ++nameEnd;
        const TagInfo& info = tagInfo(text.substr(nameStart, nameEnd - nameStart));
        onTag(TagPlace{info, end, at, nameEnd, gt});
        pos = gt + 1;
        if (!end && info.tag == Tag::Script)
            pos = findEndTag(text, pos, "</script");
        else if (!end && info.tag == Tag::Style)
            pos = findEndTag(text, pos, "</style");
    }
    return true;
}

}  // namespace korvane::markup
