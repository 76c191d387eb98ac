// The file dialogs' filter lists and file names, decided without a toolkit.
//
// The program describes a dialog's filters in the Windows form
// "desc|*.htm;*.html|desc|*.*": pairs of a description and a ";"-separated
// pattern list. Qt wants one "desc (*.htm *.html)" text per filter. On POSIX
// "*.*" would hide every file without an extension, which Windows' "*.*"
// never does, so it becomes "*" there.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/path_style.h"

namespace korvane {

struct FileFilter {
    std::string description;
    std::vector<std::string> patterns;

    bool operator==(const FileFilter&) const = default;
};

// Splits a "desc|patterns|desc|patterns" text. Blanks around patterns and
// empty patterns are dropped; a description without any pattern (a trailing
// description, or "desc||") makes no filter, because a filter that matches
// nothing only hides files.
std::vector<FileFilter> parseFileFilter(std::string_view filter,
                                        PathStyle style = kNativePathStyle);

// Qt's form of one filter: "desc (p1 p2)". The description keeps any pattern
// text of its own; Qt takes the patterns from the last parentheses.
std::string qtNameFilter(const FileFilter& filter);
std::vector<std::string> qtNameFilters(const std::vector<FileFilter>& filters);

// The name a save dialog returns for the typed `path`: `defaultExtension`
// (with or without its leading ".") is appended when the file name, the part
// after the last separator, has no "." at all. A name that ends in "." asked
// for no extension: the dots are dropped and nothing is appended, which is
// what Windows makes of it. A path that ends in a separator names no file and
// is returned unchanged.
std::string withDefaultExtension(std::string_view path, std::string_view defaultExtension,
                                 PathStyle style = kNativePathStyle);

// The folder part of `path` (without the last separator; "/" for a file in
// the root) and the file name after it.
std::string folderOf(std::string_view path, PathStyle style = kNativePathStyle);
std::string fileNameOf(std::string_view path, PathStyle style = kNativePathStyle);

}  // namespace korvane
