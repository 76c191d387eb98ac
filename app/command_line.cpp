#include "app/command_line.h"

#include <utility>

namespace korvane {

namespace {

bool beginsWithSlash(std::string_view p) {
    return !p.empty() && p.front() == '/';
}

// How much of a refused name its message shows.
constexpr std::size_t kShownNameBytes = 80;

// Adds `name` to the plan's paths, absolute, or to its refused names.
bool planName(std::string_view name, std::string_view workingFolder, StartupPlan& plan) {
    if (!beginsWithSlash(name) && workingFolder.empty()) {
        plan.refused.push_back({std::string(name), NameProblem::NoWorkingFolder});
        return false;
    }
    std::string path = absolutePath(name, workingFolder);
    if (path.size() > kLongestPath) {
        plan.refused.push_back({std::string(name), NameProblem::TooLong});
        return false;
    }
    plan.paths.push_back(std::move(path));
    return true;
}

// The start of `name`, cut between UTF-8 characters, not inside one.
std::string shownName(std::string_view name) {
    if (name.size() <= kShownNameBytes)
        return std::string(name);
    std::size_t end = kShownNameBytes;
    while (end > 0 && (static_cast<unsigned char>(name[end]) & 0xC0) == 0x80)
        --end;
    return std::string(name.substr(0, end)) + "…";
}

}  // namespace

ProgramRequest readProgramSwitches(const std::vector<std::string>& params) {
    ProgramRequest request;
    bool help = false;
    bool version = false;
    std::string unknown;
    bool switchesEnded = false;
    for (const std::string& p : params) {
        if (switchesEnded || p.size() < 2 || p.compare(0, 2, "--") != 0) {
            request.names.push_back(p);
        } else if (p == "--") {
            switchesEnded = true;
        } else if (p == "--help") {
            help = true;
        } else if (p == "--version") {
            version = true;
        } else if (unknown.empty()) {
            unknown = p;
        }
    }
    if (help) {
        request = {ProgramAction::Help};
    } else if (version) {
        request = {ProgramAction::Version};
    } else if (params.size() == 2 && params[0] == kRecoverSwitch) {
        request = {ProgramAction::Recover};
        request.journal = params[1];
    } else if (unknown == kRecoverSwitch) {
        request = {ProgramAction::UsageError};
        request.error = std::string(kRecoverSwitch) + " takes one journal and nothing else";
    } else if (!unknown.empty()) {
        request = {ProgramAction::UsageError};
        request.error = "unknown option " + unknown;
    }
    return request;
}

std::string programUsageText() {
    return "Usage:\n"
           "  korvane [FILE]...\n"
           "  korvane /h FILE\n"
           "  korvane /t FILE\n"
           "  korvane --help | --version\n"
           "\n"
           "A desktop editor for simple web pages: text mode (korvane) turns a title and\n"
           "plain text into a page, tag mode (morvix) edits HTML source. A document is\n"
           "edited in its own encoding (Shift_JIS, UTF-8, EUC-JP, UTF-16) and saved\n"
           "with its own line breaks; new ones are Shift_JIS with CR LF by default.\n"
           "\n"
           "  FILE...    the first file opens in this window, each further one in a new\n"
           "             window: a text file in text mode, a page (.htm, .html) as the\n"
           "             options say. A name that is no file yet names the new document.\n"
           "  /h FILE    opens FILE as HTML source in tag mode\n"
           "  /t FILE    converts FILE: a page to text without its tags, anything else\n"
           "             to a page\n"
           "             (after /h or /t, further parameters up to one that begins with\n"
           "             \"/\" are joined with blanks to one name)\n"
           "  --         ends the switches: a file whose name begins with \"--\" comes\n"
           "             after it, or is named \"./--name\"\n"
           "  --help     shows this text\n"
           "  --version  shows the version\n"
           "\n"
           "  --recover JOURNAL\n"
           "             how a window starts a copy of the program that restores the\n"
           "             unsaved text of a copy that is gone; not meant to be typed\n"
           "\n"
           "Files:\n"
           "  krv13.ini  the settings (Shift_JIS): beside the program when that folder\n"
           "             is writable and korvane is not installed, else in\n"
           "             $XDG_CONFIG_HOME/korvane/ (~/.config/korvane/)\n"
           "  journal/   unsaved text, written every few seconds and removed by a normal\n"
           "             close: $XDG_CACHE_HOME/korvane/journal/ (~/.cache/korvane/journal/)\n"
           "\n"
           "Environment:\n"
           "  KORVANE_HOME  a folder to use as the program's folder: the journal folder\n"
           "                goes there, and so do the settings file and the preview\n"
           "                while it is writable\n"
           "\n"
           "Exit status: 0 when the window is closed or after --help and --version,\n"
           "2 a usage error.\n";
}

std::string absolutePath(std::string_view path, std::string_view workingFolder) {
    std::string joined;
    if (beginsWithSlash(path)) {
        joined = std::string(path);
    } else {
        joined = std::string(workingFolder);
        joined += '/';
        joined += path;
    }
    std::string result;
    std::size_t start = 0;
    while (start <= joined.size()) {
        std::size_t end = joined.find('/', start);
        if (end == std::string::npos)
            end = joined.size();
        const std::string_view piece(joined.data() + start, end - start);
        if (!piece.empty() && piece != ".") {
            result += '/';
            result += piece;
        }
        start = end + 1;
    }
    return result.empty() ? std::string("/") : result;
}

StartupPlan parseCommandLine(const std::vector<std::string>& rawParams,
                             std::string_view workingFolder) {
    std::vector<std::string_view> params;
    for (const std::string& p : rawParams) {
        if (!p.empty())
            params.emplace_back(p);
    }
    StartupPlan plan;
    if (params.empty())
        return plan;
    const bool openSwitch = params[0] == "/h";
    const bool convertSwitch = params[0] == "/t";
    if (openSwitch || convertSwitch) {
        if (params.size() < 2)
            return plan;  // a lone switch opens nothing
        std::string path(params[1]);
        for (std::size_t k = 2; k < params.size() && !beginsWithSlash(params[k]); ++k) {
            path += ' ';
            path += params[k];
        }
        if (planName(path, workingFolder, plan))
            plan.kind = openSwitch ? StartupKind::OpenAsHtml : StartupKind::Convert;
        return plan;
    }
    for (std::string_view p : params)
        planName(p, workingFolder, plan);
    if (!plan.paths.empty())
        plan.kind = StartupKind::FileList;
    return plan;
}

std::string refusedNameText(const RefusedName& refused) {
    const std::string name = shownName(refused.name);
    switch (refused.problem) {
        case NameProblem::NoWorkingFolder:
            return "ファイル " + name + " は作業フォルダが見つからないため開けません";
        case NameProblem::TooLong:
            break;
    }
    return "ファイル " + name + " は名前が長すぎるため開けません";
}

}  // namespace korvane
