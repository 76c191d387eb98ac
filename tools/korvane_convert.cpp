// korvane-convert: text mode's page conversion and tag mode's tag stripping
// from the shell, with the same code as the editor.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <new>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "app/settings.h"
#include "base/line_breaks.h"
#include "base/shift_jis.h"
#include "convert/page_settings.h"
#include "convert/relative_path.h"
#include "convert/to_html.h"
#include "convert/to_text.h"
#include "platform/atomic_file.h"
#include "platform/encodings.h"
#include "platform/memory_tuning.h"
#include "tags/page_check.h"
#include "tags/page_files.h"

namespace {

using namespace korvane;

constexpr int kOk = 0;
constexpr int kFileError = 1;
constexpr int kUsageError = 2;

constexpr std::string_view kUsage =
    "Usage:\n"
    "  korvane-convert to-html [--title TEXT] [--settings FILE] [--background FILE]\n"
    "                          [--input-encoding ENC] [--output-encoding ENC]\n"
    "                          [--replace-unencodable] [-o OUTPUT] [INPUT]\n"
    "  korvane-convert to-text [--title-output FILE] [--input-encoding ENC]\n"
    "                          [--output-encoding ENC] [--replace-unencodable]\n"
    "                          [-o OUTPUT] [INPUT]\n"
    "  korvane-convert check PAGE...\n"
    "  korvane-convert -h | --help | --version\n"
    "\n"
    "to-html  turns the text INPUT into an HTML 4.0 Transitional page, as the\n"
    "         editor's text mode does; its META declares the output encoding.\n"
    "         --title TEXT         the page title (in the locale's encoding)\n"
    "         --settings FILE      page colours, head values and tab width from a\n"
    "                              krv13.ini, as the editor reads them at start-up\n"
    "         --background FILE    background picture; with -o its location is\n"
    "                              written relative to OUTPUT\n"
    "to-text  strips the tags of the page INPUT, as the editor's tag mode\n"
    "         does when it switches to text mode.\n"
    "         --title-output FILE  write the page title (in the output encoding) to\n"
    "                              FILE; a page\n"
    "                              without a title leaves FILE as it was\n"
    "\n"
    "check    looks at each PAGE as the editor's page check does, offline in the\n"
    "         page's own folder: pictures and linked files that are missing or there\n"
    "         only in another letter case, locations on this computer, links to\n"
    "         names (#x) a page does not give, names given twice, pictures without\n"
    "         alt or with a width or height that is not theirs, tags left open or\n"
    "         crossed, and a META charset that is not the page's encoding. Prints\n"
    "         FILE:LINE:COLUMN: KIND: MESSAGE for each (the message in Japanese,\n"
    "         UTF-8); exits 1 when anything was found or a page could not be read.\n"
    "\n"
    "--input-encoding ENC  read INPUT as shift_jis (the default), utf-8, utf-16,\n"
    "                      euc-jp, or auto (guessed as the editor guesses)\n"
    "--output-encoding ENC write shift_jis (the default) or utf-8; the characters\n"
    "                      the output encoding cannot hold are listed on standard\n"
    "                      error and nothing is written (exit status 1), unless\n"
    "--replace-unencodable is given: then they are replaced and still listed\n"
    "\n"
    "INPUT is standard input when absent or \"-\"; the result goes to OUTPUT, or to\n"
    "standard output. Line breaks of INPUT (CR LF, LF or CR) are read as CR LF.\n"
    "After \"--\" an argument that begins with \"-\" is INPUT.\n"
    "Exit status: 0 success, 1 a file could not be read or written (or check found\n"
    "something), 2 usage error.\n";

int usageError(std::string_view message) {
    std::cerr << "korvane-convert: " << message << "\n"
              << "Try 'korvane-convert --help'.\n";
    return kUsageError;
}

int fileError(std::string_view verb, const std::string& path, const std::string& reason) {
    std::cerr << "korvane-convert: cannot " << verb << " " << path << ": " << reason << "\n";
    return kFileError;
}

struct Arguments {
    std::string command;
    std::optional<std::string> title;
    std::optional<std::string> settings;
    std::optional<std::string> background;
    std::optional<std::string> output;
    std::optional<std::string> titleOutput;
    std::optional<std::string> inputEncoding;
    std::optional<std::string> outputEncoding;
    bool replaceUnencodable = false;
    std::optional<std::string> input;
};

// The output encoding named by --output-encoding: Shift_JIS unless told.
TextEncoding outputEncodingOf(const Arguments& args) {
    bool automatic = false;
    TextEncoding encoding = TextEncoding::ShiftJis;
    if (args.outputEncoding)
        parseEncodingName(*args.outputEncoding, automatic, encoding);
    return encoding;
}

// Parses the arguments after the command word; returns an error text or "".
std::string parseArguments(int argc, char** argv, Arguments& args) {
    bool optionsDone = false;
    for (int i = 2; i < argc; ++i) {
        const std::string_view a = argv[i];
        auto value = [&](std::optional<std::string>& slot) -> std::string {
            if (slot)
                return "option " + std::string(a) + " given twice";
            if (i + 1 >= argc)
                return "option " + std::string(a) + " needs a value";
            slot = argv[++i];
            return {};
        };
        std::string error;
        const bool toHtml = args.command == "to-html";
        if (!optionsDone && a == "--") {
            optionsDone = true;
            continue;
        }
        if (!optionsDone && a == "-o") {
            error = value(args.output);
        } else if (!optionsDone && toHtml && a == "--title") {
            error = value(args.title);
        } else if (!optionsDone && toHtml && a == "--settings") {
            error = value(args.settings);
        } else if (!optionsDone && toHtml && a == "--background") {
            error = value(args.background);
        } else if (!optionsDone && a == "--input-encoding") {
            error = value(args.inputEncoding);
            bool automatic = false;
            TextEncoding encoding = TextEncoding::ShiftJis;
            if (error.empty() && !parseEncodingName(*args.inputEncoding, automatic, encoding))
                error = "unknown encoding " + *args.inputEncoding;
        } else if (!optionsDone && a == "--output-encoding") {
            error = value(args.outputEncoding);
            // A page is written in one of the encodings the editor makes
            // new pages in; the others are for reading.
            bool automatic = false;
            TextEncoding encoding = TextEncoding::ShiftJis;
            if (error.empty() &&
                (!parseEncodingName(*args.outputEncoding, automatic, encoding) || automatic ||
                 (encoding != TextEncoding::ShiftJis && encoding != TextEncoding::Utf8)))
                error = "output encoding must be shift_jis or utf-8, not " + *args.outputEncoding;
        } else if (!optionsDone && a == "--replace-unencodable") {
            if (args.replaceUnencodable)
                error = "option --replace-unencodable given twice";
            args.replaceUnencodable = true;
        } else if (!optionsDone && !toHtml && a == "--title-output") {
            error = value(args.titleOutput);
        } else if (!optionsDone && a.size() > 1 && a[0] == '-') {
            error = "unknown option " + std::string(a) + " for " + args.command;
        } else if (args.input) {
            error = "more than one INPUT";
        } else {
            args.input = std::string(a);
        }
        if (!error.empty())
            return error;
    }
    return {};
}

std::string absolutePath(const std::string& path) {
    std::error_code ec;
    auto abs = std::filesystem::absolute(path, ec);
    if (ec)
        return path;
    return abs.lexically_normal().string();
}

// A relative name is taken from the working folder. When that folder cannot
// be found (deleted while the shell stood in it) the name means nothing
// certain: "../x" still reaches beside the deleted folder, and a picture's
// location would be written as given, relative to nothing. Such names are
// refused before anything is read or written; the result is the exit
// status, kOk when every name can be used.
int refuseUnresolvableNames(const Arguments& args) {
    std::error_code ec;
    const std::filesystem::path folder = std::filesystem::current_path(ec);
    if (!ec && !folder.empty())
        return kOk;
    struct Name {
        const std::optional<std::string>& path;
        const char* verb;
        bool dashIsStandard;  // "-" is standard input or output, no file
    };
    const Name names[] = {
        {args.input, "read", true},         {args.settings, "read", false},
        {args.background, "use", false},    {args.output, "write", true},
        {args.titleOutput, "write", false},
    };
    for (const Name& name : names) {
        if (!name.path || (name.dashIsStandard && *name.path == "-"))
            continue;
        if (name.path->empty() || name.path->front() != '/')
            return fileError(name.verb, *name.path,
                             "relative name, but the working folder cannot be found");
    }
    return kOk;
}

// Lists what the output encoding cannot hold, in Unicode's own notation (at
// least four hex digits: "U+00E9", not "U+E9"). The characters are replaced
// only when the user said so; otherwise nothing is written and the run ends
// with a file error, so a script never gets a page with "?" for a name.
bool acceptUnencodable(const Arguments& args, std::string_view what, const SjisEncoded& encoded,
                       const TextCodec& codec, int& status) {
    if (encoded.replaced.empty())
        return true;
    for (const SjisReplacement& r : encoded.replaced) {
        char codePoint[16];
        std::snprintf(codePoint, sizeof codePoint, "U+%04lX",
                      static_cast<unsigned long>(r.character));
        std::cerr << "korvane-convert: " << what << ": " << codePoint << " cannot be written in "
                  << codec.charsetName();
        if (args.replaceUnencodable)
            std::cerr << "; written as \"" << codec.toUtf8(r.bytes) << "\"";
        std::cerr << "\n";
    }
    if (args.replaceUnencodable)
        return true;
    std::cerr << "korvane-convert: " << what << ": nothing written; --replace-unencodable "
              << "writes the characters above as shown\n";
    status = kFileError;
    return false;
}

// Reads INPUT (or standard input) in its encoding, with the editor's line
// breaks, and gives its text in the output encoding.
bool readInput(const Arguments& args, std::string& text, int& status) {
    std::string bytes;
    if (!args.input || *args.input == "-") {
        const FileResult r = readStandardInput(bytes);
        if (!r.ok) {
            status = fileError("read", "standard input", r.error);
            return false;
        }
    } else {
        const FileResult r = readWholeFile(*args.input, bytes);
        if (!r.ok) {
            status = fileError("read", *args.input, r.error);
            return false;
        }
    }
    const std::string name = args.input && *args.input != "-" ? *args.input : "standard input";
    TextEncoding encoding = TextEncoding::ShiftJis;
    if (args.inputEncoding) {
        bool automatic = false;
        parseEncodingName(*args.inputEncoding, automatic, encoding);
        if (automatic)
            encoding = guessEncoding(bytes);
    }
    HeldDocument held = holdDocument(bytes, encoding);
    std::string().swap(bytes);
    const TextCodec& from = codecOf(encoding);
    const TextCodec& to = codecOf(outputEncodingOf(args));
    // The same encoding in and out keeps every byte, as the editor does.
    if (held.ok && &from == &to) {
        text = std::move(held.bytes);
        return true;
    }
    if (!held.ok || !isValidIn(held.bytes, encoding)) {
        status = fileError("read", name, "not valid " + encodingName(encoding));
        return false;
    }
    SjisEncoded converted = convertBytes(held.bytes, from, to);
    if (!acceptUnencodable(args, name, converted, to, status))
        return false;
    text = std::move(converted.bytes);
    return true;
}

int writeOutput(const std::optional<std::string>& path, std::string_view bytes) {
    if (!path || *path == "-") {
        std::fwrite(bytes.data(), 1, bytes.size(), stdout);
        if (std::fflush(stdout) != 0)
            return fileError("write", "standard output", "write error");
        return kOk;
    }
    const FileResult r = writeFileAtomically(*path, bytes);
    if (!r.ok)
        return fileError("write", *path, r.error);
    return kOk;
}

int toHtml(const Arguments& args) {
    PageSettings page;
    int tabOption = 1;
    if (args.settings) {
        // The page colours, head values and tab width a fresh start of the
        // editor with this settings file would have.
        const SettingsFileLoad loaded = loadSettingsFile(*args.settings);
        if (!loaded.ok)
            return fileError("read", *args.settings, loaded.error);
        page = loaded.settings.page;
        tabOption = loaded.settings.options.tab;
    }

    const TextCodec& codec = codecOf(outputEncodingOf(args));
    int status = kOk;
    std::string title;
    if (args.title) {
        const SjisEncoded encoded = codec.fromUtf8(*args.title);
        if (!acceptUnencodable(args, "title", encoded, codec, status))
            return status;
        title = encoded.bytes;
    }

    std::string pictureAbsolute;
    std::string pictureText;
    if (args.background) {
        pictureAbsolute = absolutePath(*args.background);
        const SjisEncoded encoded = encodeShiftJisFromUtf8(pictureAbsolute);
        if (!encoded.replaced.empty()) {
            return usageError("background picture path " + pictureAbsolute +
                              " cannot be written in Shift_JIS");
        }
        pictureText = encoded.bytes;
        page.setBackPicture(pictureText);
    }

    std::string body;
    if (!readInput(args, body, status))
        return status;

    std::string document = ToHtml(body, title, page, tabOption, codec);

    std::optional<std::string> output = args.output;
    if (output && *output != "-") {
        *output = absolutePath(*output);
        if (args.background) {
            // The page refers to its picture from where it is saved.
            // Both as the page has them: in the output encoding.
            const std::string relative = RelativePath(*output, pictureAbsolute, PathStyle::Posix);
            replaceFirstOccurrence(document, recodeFromShiftJis(pictureText, codec),
                                   codec.fromUtf8(relative).bytes);
        }
    }
    return writeOutput(output, document);
}

int toText(const Arguments& args) {
    std::string html;
    int status = kOk;
    if (!readInput(args, html, status))
        return status;
    const TextAndTitle result = ToText(html);
    status = writeOutput(args.output, result.text);
    if (status != kOk)
        return status;
    if (args.titleOutput && result.title) {
        const FileResult r = writeFileAtomically(*args.titleOutput, *result.title);
        if (!r.ok)
            return fileError("write", *args.titleOutput, r.error);
    }
    return kOk;
}

// The name a write of `path` creates or replaces: the end of its chain of
// links. A dangling link ends in a name that does not exist yet, which
// weakly_canonical would not follow.
std::string endOfLinks(const std::string& path) {
    std::string end;
    std::string error;
    return resolveLinkChain(path, end, error) ? end : path;
}

// Whether two output names reach one file: the same name, a link to it (one
// still to be made too), a hard link, or names that differ only in "." and
// ".." pieces. Writing both would leave only the second output.
bool sameFile(const std::string& a, const std::string& b) {
    std::error_code ec;
    if (std::filesystem::equivalent(a, b, ec) && !ec)
        return true;
    std::error_code ea;
    std::error_code eb;
    const auto ca =
        std::filesystem::weakly_canonical(std::filesystem::absolute(endOfLinks(a), ea), ea);
    const auto cb =
        std::filesystem::weakly_canonical(std::filesystem::absolute(endOfLinks(b), eb), eb);
    return !ea && !eb && ca == cb;
}

// A save of INPUT or an output that was killed midway may have left it a
// mixture of old and new contents, its old ones only in a hidden copy that
// nothing else would ever mention. The copy is named, once, and the run goes
// on: the user decides what to do with it.
void reportInterruptedSaves(const Arguments& args) {
    std::vector<std::string> reported;
    for (const std::optional<std::string>* file : {&args.input, &args.output, &args.titleOutput}) {
        if (!*file || **file == "-")
            continue;
        for (const std::string& backup : findInterruptedBackups(**file)) {
            if (std::find(reported.begin(), reported.end(), backup) != reported.end())
                continue;
            reported.push_back(backup);
            std::cerr << "korvane-convert: " << **file
                      << ": an interrupted save left the old contents in " << backup << "\n";
        }
    }
}

// The command itself. A file or a conversion that does not fit in memory is
// a file that cannot be read, not a crash.
int run(const Arguments& args) {
    try {
        reportInterruptedSaves(args);
        return args.command == "to-html" ? toHtml(args) : toText(args);
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {
    }
    const std::string input =
        args.input && *args.input != "-" ? *args.input : std::string("standard input");
    return fileError("read", input, "not enough memory");
}

// The page check of each PAGE, for scripts before an upload. A page is
// read with the editor's guess of its encoding; its relative locations are
// looked for beside it, so a relative name needs the working folder.
int checkPages(const std::vector<std::string>& pages) {
    std::error_code ec;
    const std::filesystem::path folder = std::filesystem::current_path(ec);
    const bool folderKnown = !ec && !folder.empty();
    const DiskPageFiles disk;
    int status = kOk;
    for (const std::string& page : pages) {
        if (!folderKnown && (page.empty() || page.front() != '/')) {
            status =
                fileError("read", page, "relative name, but the working folder cannot be found");
            continue;
        }
        std::string bytes;
        const FileResult read = readWholeFile(page, bytes);
        if (!read.ok) {
            status = fileError("read", page, read.error);
            continue;
        }
        PageCheckInput input;
        const std::string text = pageText(bytes, input.encoding);
        input.text = text;
        input.pagePath = absolutePath(page);
        for (const Finding& finding : checkPage(input, disk).findings) {
            std::cout << page << ":" << finding.line << ":" << finding.column << ": "
                      << kindName(finding.kind) << ": " << finding.message << "\n";
            status = kFileError;
        }
    }
    std::cout.flush();
    return status;
}

// The words after "check": PAGE names, "--" before a name that starts
// with "-"; returns an error text or "".
std::string parseCheckArguments(int argc, char** argv, std::vector<std::string>& pages) {
    bool optionsDone = false;
    for (int i = 2; i < argc; ++i) {
        const std::string_view a = argv[i];
        if (!optionsDone && a == "--") {
            optionsDone = true;
        } else if (!optionsDone && a.size() > 1 && a[0] == '-') {
            return "unknown option " + std::string(a) + " for check";
        } else {
            pages.emplace_back(a);
        }
    }
    return pages.empty() ? "check needs at least one PAGE" : std::string();
}

}  // namespace

int main(int argc, char** argv) {
    keepLargeBuffersForReuse();
    if (argc < 2)
        return usageError("missing command (to-html, to-text or check)");
    const std::string_view command = argv[1];
    if (command == "--help" || command == "-h") {
        std::cout << kUsage;
        return kOk;
    }
    if (command == "--version") {
        std::cout << KORVANE_VERSION_TEXT << "\n";
        return kOk;
    }
    if (command == "check") {
        for (int i = 2; i < argc && std::string_view(argv[i]) != "--"; ++i) {
            if (std::string_view(argv[i]) == "--help") {
                std::cout << kUsage;
                return kOk;
            }
        }
        std::vector<std::string> pages;
        const std::string error = parseCheckArguments(argc, argv, pages);
        if (!error.empty())
            return usageError(error);
        try {
            return checkPages(pages);
        } catch (const std::bad_alloc&) {
        } catch (const std::length_error&) {
        }
        std::cerr << "korvane-convert: check: not enough memory\n";
        return kFileError;
    }
    if (command != "to-html" && command != "to-text") {
        return usageError("unknown command " + std::string(command));
    }
    Arguments args;
    args.command = std::string(command);
    for (int i = 2; i < argc; ++i) {
        if (std::string_view(argv[i]) == "--help") {
            std::cout << kUsage;
            return kOk;
        }
    }
    const std::string error = parseArguments(argc, argv, args);
    if (!error.empty())
        return usageError(error);
    if (const int status = refuseUnresolvableNames(args); status != kOk)
        return status;
    if (args.output && *args.output != "-" && args.titleOutput &&
        sameFile(*args.output, *args.titleOutput)) {
        return usageError("-o and --title-output name the same file");
    }
    return run(args);
}
