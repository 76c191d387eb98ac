#include "convert/relative_path.h"

#include <vector>

#include "base/sjis_bytes.h"

namespace korvane {

namespace {

struct SplitPath {
    std::string_view prefix;
    std::vector<std::string_view> folders;
    std::string_view fileName;
};

bool isSeparator(char c, PathStyle style) {
    return style == PathStyle::Windows ? c == '\\' : c == '/';
}

// Offsets of the real separators (and, on Windows, colons) of `s`. Windows
// names are Shift_JIS, where 0x5C can be the second byte of a character such
// as 表 (0x95 0x5C); those bytes are stepped over with their character.
std::vector<std::size_t> separatorOffsets(std::string_view s, PathStyle style) {
    std::vector<std::size_t> offsets;
    for (std::size_t i = 0; i < s.size();) {
        if (isSeparator(s[i], style) || (style == PathStyle::Windows && s[i] == ':')) {
            offsets.push_back(i);
        }
        i += style == PathStyle::Windows ? sjisCharLength(s, i) : 1;
    }
    return offsets;
}

std::string_view drivePrefix(std::string_view s, PathStyle style,
                             const std::vector<std::size_t>& seps) {
    if (style == PathStyle::Posix)
        return (!s.empty() && s[0] == '/') ? s.substr(0, 1) : "";
    if (s.size() >= 2 && s[1] == ':')
        return s.substr(0, 2);
    if (s.size() >= 2 && s[0] == '\\' && s[1] == '\\') {
        // \\server\share: up to, not including, the backslash after the share.
        int backslashesSeen = 0;
        for (std::size_t off : seps) {
            if (off < 2 || s[off] != '\\')
                continue;
            if (++backslashesSeen == 2)
                return s.substr(0, off);
        }
        return s;
    }
    return "";
}

SplitPath splitPath(std::string_view s, PathStyle style) {
    const auto seps = separatorOffsets(s, style);
    SplitPath result;
    result.prefix = drivePrefix(s, style, seps);
    const std::size_t begin = result.prefix.size();
    // The folder part runs from behind the prefix to the last separator.
    std::size_t last = std::string_view::npos;
    for (std::size_t off : seps) {
        if (off >= begin)
            last = off;
    }
    if (last == std::string_view::npos) {
        result.fileName = s.substr(begin);
        return result;
    }
    result.fileName = s.substr(last + 1);
    // Split the folder part at the real separators, ignoring empty pieces.
    std::size_t pieceStart = begin;
    for (std::size_t off : seps) {
        if (off < begin || off > last || !isSeparator(s[off], style))
            continue;
        if (off > pieceStart)
            result.folders.push_back(s.substr(pieceStart, off - pieceStart));
        pieceStart = off + 1;
    }
    if (pieceStart < last)
        result.folders.push_back(s.substr(pieceStart, last - pieceStart));
    return result;
}

char foldAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// Full-width ａ..ｚ (0x8281..0x829A) as Ａ..Ｚ (0x8260..0x8279).
unsigned foldWide(unsigned char lead, unsigned char trail) {
    if (lead == 0x82 && trail >= 0x81 && trail <= 0x9A)
        trail = static_cast<unsigned char>(trail - 0x21);
    return (static_cast<unsigned>(lead) << 8) | trail;
}

// Windows compares file names without regard to the case of Latin letters,
// the full-width ones included; other double-byte characters compare exactly.
bool sameName(std::string_view a, std::string_view b, PathStyle style) {
    if (style == PathStyle::Posix)
        return a == b;
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size();) {
        const std::size_t len = sjisCharLength(a, i);
        if (len == 2) {
            if (foldWide(static_cast<unsigned char>(a[i]), static_cast<unsigned char>(a[i + 1])) !=
                foldWide(static_cast<unsigned char>(b[i]), static_cast<unsigned char>(b[i + 1]))) {
                return false;
            }
        } else if (foldAscii(a[i]) != foldAscii(b[i])) {
            return false;
        }
        i += len;
    }
    return true;
}

}  // namespace

std::string RelativePath(std::string_view base, std::string_view target, PathStyle style) {
    const SplitPath b = splitPath(base, style);
    const SplitPath t = splitPath(target, style);
    if (!sameName(b.prefix, t.prefix, style))
        return std::string(target);

    std::size_t common = 0;
    while (common < b.folders.size() && common < t.folders.size() &&
           sameName(b.folders[common], t.folders[common], style)) {
        ++common;
    }
    const char sep = style == PathStyle::Windows ? '\\' : '/';
    std::string out;
    for (std::size_t i = common; i < b.folders.size(); ++i) {
        out += "..";
        out += sep;
    }
    for (std::size_t i = common; i < t.folders.size(); ++i) {
        out.append(t.folders[i]);
        out += sep;
    }
    out.append(t.fileName);
    return out;
}

std::string RelativeLocation(std::string_view document, std::string_view target, PathStyle style) {
    std::string out = RelativePath(document, target, style);
    if (style == PathStyle::Windows) {
        // Only real backslashes become "/": the 0x5C of 表 stays part of 表.
        for (std::size_t i = 0; i < out.size();) {
            const std::size_t len = sjisCharLength(out, i);
            if (len == 1 && out[i] == '\\')
                out[i] = '/';
            i += len;
        }
    }
    return out;
}

}  // namespace korvane
