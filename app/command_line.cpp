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
