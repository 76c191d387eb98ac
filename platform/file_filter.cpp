#include "platform/file_filter.h"

namespace korvane {

namespace {

bool isSeparator(char c, PathStyle style) {
    // Qt hands back "/" on every platform; Windows' own paths use "\".
    return c == '/' || (style == PathStyle::Windows && c == '\\');
}

// Position of the last separator, or npos.
std::size_t lastSeparator(std::string_view path, PathStyle style) {
    for (std::size_t i = path.size(); i > 0; --i) {
        if (isSeparator(path[i - 1], style))
            return i - 1;
    }
    return std::string_view::npos;
}

std::string_view trimmed(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::vector<std::string_view> split(std::string_view text, char separator) {
    std::vector<std::string_view> pieces;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find(separator, start);
        if (end == std::string_view::npos) {
            pieces.push_back(text.substr(start));
            return pieces;
        }
        pieces.push_back(text.substr(start, end - start));
        start = end + 1;
    }
}

}  // namespace

std::vector<FileFilter> parseFileFilter(std::string_view filter, PathStyle style) {
    std::vector<FileFilter> filters;
    if (filter.empty())
        return filters;
    const std::vector<std::string_view> pieces = split(filter, '|');
    for (std::size_t i = 0; i + 1 < pieces.size(); i += 2) {
        FileFilter entry;
        entry.description = std::string(pieces[i]);
        for (std::string_view pattern : split(pieces[i + 1], ';')) {
            pattern = trimmed(pattern);
            if (pattern.empty())
                continue;
            if (style == PathStyle::Posix && pattern == "*.*")
                pattern = "*";
            entry.patterns.emplace_back(pattern);
        }
        if (!entry.patterns.empty())
            filters.push_back(std::move(entry));
    }
    return filters;
}

std::string qtNameFilter(const FileFilter& filter) {
    std::string text = filter.description;
    if (!text.empty())
        text += ' ';
    text += '(';
    for (std::size_t i = 0; i < filter.patterns.size(); ++i) {
        if (i > 0)
            text += ' ';
        text += filter.patterns[i];
    }
    text += ')';
    return text;
}

std::vector<std::string> qtNameFilters(const std::vector<FileFilter>& filters) {
    std::vector<std::string> texts;
    texts.reserve(filters.size());
    for (const FileFilter& filter : filters)
        texts.push_back(qtNameFilter(filter));
    return texts;
}

std::string withDefaultExtension(std::string_view path, std::string_view defaultExtension,
                                 PathStyle style) {
    const std::size_t separator = lastSeparator(path, style);
    const std::size_t nameStart = separator == std::string_view::npos ? 0 : separator + 1;
    std::string_view name = path.substr(nameStart);
    // "." and ".." are folders, not names to complete.
    if (name.empty() || name.find_first_not_of('.') == std::string_view::npos)
        return std::string(path);
    if (name.back() == '.') {
        while (name.back() == '.')
            name.remove_suffix(1);
        return std::string(path.substr(0, nameStart)).append(name);
    }
    if (name.find('.') != std::string_view::npos)
        return std::string(path);
    while (!defaultExtension.empty() && defaultExtension.front() == '.')
        defaultExtension.remove_prefix(1);
    if (defaultExtension.empty())
        return std::string(path);
    return std::string(path).append(".").append(defaultExtension);
}

std::string folderOf(std::string_view path, PathStyle style) {
    const std::size_t separator = lastSeparator(path, style);
    if (separator == std::string_view::npos)
        return {};
    // The root keeps its separator: "/" and "C:\" are folders, "" and "C:"
    // are not the same place.
    if (separator == 0 || (style == PathStyle::Windows && path[separator - 1] == ':'))
        return std::string(path.substr(0, separator + 1));
    return std::string(path.substr(0, separator));
}

std::string fileNameOf(std::string_view path, PathStyle style) {
    const std::size_t separator = lastSeparator(path, style);
    return std::string(separator == std::string_view::npos ? path : path.substr(separator + 1));
}

}  // namespace korvane
