#include "app/command_line.h"

namespace korvane {

namespace {

bool beginsWithSlash(std::string_view p) {
    return !p.empty() && p.front() == '/';
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
        plan.kind = openSwitch ? StartupKind::OpenAsHtml : StartupKind::Convert;
        plan.paths.push_back(absolutePath(path, workingFolder));
        return plan;
    }
    plan.kind = StartupKind::FileList;
    for (std::string_view p : params)
        plan.paths.push_back(absolutePath(p, workingFolder));
    return plan;
}

}  // namespace korvane
