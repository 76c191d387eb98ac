// The command line and the routing of opened, dropped and named files: any
// arguments and any combination of window state and options give a plan and
// a route without fault, with absolute paths the system can take only, also
// when the working folder is gone.
#include <vector>

#include "app/command_line.h"
#include "app/file_routing.h"
#include "fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace korvane;
    fuzz::Input in(data, size);
    std::vector<std::string> args;
    for (int n = in.byte() % 6; n > 0; --n)
        args.push_back(in.piece());
    const ProgramRequest request = readProgramSwitches(args);
    fuzz::check(request.action != ProgramAction::UsageError || !request.error.empty());
    const StartupPlan plan = parseCommandLine(args, in.flag() ? "/work/dir" : "");
    for (const std::string& path : plan.paths)
        fuzz::check(!path.empty() && path.front() == '/' && path.size() <= kLongestPath);
    for (const RefusedName& refused : plan.refused)
        fuzz::check(!refusedNameText(refused).empty());
    RouteQuery query;
    query.source = static_cast<OpenSource>(in.byte() % 4);
    const std::string path(in.rest());
    query.path = path;
    query.tagMode = in.flag();
    query.untitled = in.flag();
    query.editorEmpty = in.flag();
    query.kvnHtml = in.byte() % 5 - 1;
    query.mvxHtml = in.byte() % 4 - 1;
    (void)routeFile(query);
    return 0;
}
