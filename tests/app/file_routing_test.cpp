#include "app/file_routing.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace korvane {
namespace {

// Catches an extension taken from the file name only, or a case-folded one.
TEST(FileRoutingTest, ExtensionsAndKinds) {
    struct Row {
        const char* name;
        const char* path;
        const char* extension;
        bool htmlForCommands;
        bool htmlAtStartup;
        bool text;
    };
    const Row rows[] = {
        {"text", "/a/notes.txt", ".txt", false, false, true},
        {"htm", "/a/page.htm", ".htm", true, true, false},
        {"html", "/a/page.html", ".html", true, true, false},
        {"upper HTM", "/a/PAGE.HTM", ".HTM", false, true, false},
        {"upper HTML", "/a/PAGE.HTML", ".HTML", false, true, false},
        {"mixed Htm", "/a/page.Htm", ".Htm", false, false, false},
        {"upper TXT", "/a/NOTES.TXT", ".TXT", false, false, false},
        {"no extension", "/a/README", "", false, false, false},
        {"dot in folder only", "/a/site.htm/README", ".htm/README", false, false, false},
        {"two dots", "/a/page.txt.htm", ".htm", true, true, false},
        {"trailing dot", "/a/page.", ".", false, false, false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(extensionOf(r.path), r.extension);
        EXPECT_EQ(isHtmlFile(r.path, OpenSource::TextModeOpen), r.htmlForCommands);
        EXPECT_EQ(isHtmlFile(r.path, OpenSource::Drop), r.htmlForCommands);
        EXPECT_EQ(isHtmlFile(r.path, OpenSource::CommandLine), r.htmlAtStartup);
        EXPECT_EQ(isTextFile(r.path), r.text);
    }
}

const std::vector<const char*> kPaths = {"/w/notes.txt", "/w/page.htm",  "/w/page.html",
                                         "/w/PAGE.HTM",  "/w/PAGE.HTML", "/w/page.Htm",
                                         "/w/NOTES.TXT", "/w/README",    "/w.d/README"};
const std::vector<OpenSource> kSources = {OpenSource::TextModeOpen, OpenSource::TagModeOpen,
                                          OpenSource::Drop, OpenSource::CommandLine};

// What kvnHtml 0..3 asks for a page, here and in a copy.
constexpr HereStep kKvnHere[] = {HereStep::AsItIs, HereStep::IntoTagMode, HereStep::StripTags,
                                 HereStep::NameOnly};
constexpr CopySwitch kKvnCopy[] = {CopySwitch::Plain, CopySwitch::OpenAsHtml, CopySwitch::Convert,
                                   CopySwitch::None};
// What mvxHtml 0..2 asks for a text file opened in tag mode.
constexpr HereStep kMvxHere[] = {HereStep::IntoTextMode, HereStep::ConvertToHtml,
                                 HereStep::NameOnly};
constexpr CopySwitch kMvxCopy[] = {CopySwitch::Plain, CopySwitch::Convert, CopySwitch::None};

Route expectedRoute(const RouteQuery& q) {
    Route r;
    r.here = q.source == OpenSource::CommandLine ? q.editorEmpty : q.untitled && q.editorEmpty;
    if (q.source == OpenSource::TagModeOpen) {
        const bool text = isTextFile(q.path);
        if (r.here) {
            r.step = text ? kMvxHere[q.mvxHtml] : HereStep::AsTagSource;
            r.highlightByDefault =
                r.step == HereStep::AsTagSource || r.step == HereStep::ConvertToHtml;
        } else {
            r.copy = text ? kMvxCopy[q.mvxHtml] : CopySwitch::OpenAsHtml;
            r.needsExistingFile = true;
        }
        return r;
    }
    const bool html = isHtmlFile(q.path, q.source);
    const bool startup = q.source == OpenSource::CommandLine;
    if (r.here) {
        r.step = html ? kKvnHere[q.kvnHtml] : HereStep::AsItIs;
        r.highlightByDefault = !startup && r.step == HereStep::IntoTagMode;
        r.needsExistingFile = startup;
    } else {
        r.copy = html ? kKvnCopy[q.kvnHtml] : CopySwitch::Plain;
        r.needsExistingFile = !startup;
    }
    return r;
}

// Every combination of way in, mode, file kind, options and window state:
// catches a rule of one way leaking into another (mvxHtml for drops, the
// command line's upper-case pages for the commands, a missing existence
// test before a copy, a copy started from a window that should take it).
TEST(FileRoutingTest, EveryCombinationFollowsItsRules) {
    int checked = 0;
    for (OpenSource source : kSources)
        for (const char* path : kPaths)
            for (bool tagMode : {false, true})
                for (bool untitled : {false, true})
                    for (bool editorEmpty : {false, true})
                        for (int kvn = 0; kvn < 4; ++kvn)
                            for (int mvx = 0; mvx < 3; ++mvx) {
                                RouteQuery q;
                                q.source = source;
                                q.path = path;
                                q.tagMode = tagMode;
                                q.untitled = untitled;
                                q.editorEmpty = editorEmpty;
                                q.kvnHtml = kvn;
                                q.mvxHtml = mvx;
                                const Route got = routeFile(q);
                                const Route want = expectedRoute(q);
                                ASSERT_EQ(got, want)
                                    << "source " << static_cast<int>(source) << " path " << path
                                    << " tag " << tagMode << " untitled " << untitled << " empty "
                                    << editorEmpty << " kvn " << kvn << " mvx " << mvx;
                                ++checked;
                            }
    EXPECT_EQ(checked, 4 * 9 * 2 * 2 * 2 * 4 * 3);
}

// A drop is the text-mode Open whatever the mode shown: catches a drop that
// reads mvxHtml or converts a text file in tag mode.
TEST(FileRoutingTest, DropsFollowTextModeOpenInBothModes) {
    for (const char* path : kPaths)
        for (bool tagMode : {false, true})
            for (bool untitled : {false, true})
                for (bool editorEmpty : {false, true})
                    for (int kvn = 0; kvn < 4; ++kvn)
                        for (int mvx = 0; mvx < 3; ++mvx) {
                            RouteQuery drop{OpenSource::Drop, path, tagMode, untitled,
                                            editorEmpty,      kvn,  mvx};
                            RouteQuery open{OpenSource::TextModeOpen,
                                            path,
                                            false,
                                            untitled,
                                            editorEmpty,
                                            kvn,
                                            1};
                            ASSERT_EQ(routeFile(drop), routeFile(open)) << path;
                        }
}

// The Parts' own examples, as named rows.
TEST(FileRoutingTest, NamedCases) {
    struct Row {
        const char* name;
        RouteQuery query;
        Route route;
    };
    const Row rows[] = {
        {"new window opens a page in tag mode",
         {OpenSource::TextModeOpen, "/site/page.htm", false, true, true, 1, 1},
         {true, HereStep::IntoTagMode, CopySwitch::None, false, true}},
        {"named document hands a page to /t",
         {OpenSource::TextModeOpen, "/site/page.htm", false, false, false, 2, 1},
         {false, HereStep::AsItIs, CopySwitch::Convert, true, false}},
        {"typed untitled text hands any file on",
         {OpenSource::TextModeOpen, "/a.txt", false, true, false, 0, 1},
         {false, HereStep::AsItIs, CopySwitch::Plain, true, false}},
        {"upper-case page opens as it is",
         {OpenSource::TextModeOpen, "/PAGE.HTM", false, true, true, 1, 1},
         {true, HereStep::AsItIs, CopySwitch::None, false, false}},
        {"tag mode converts a text file",
         {OpenSource::TagModeOpen, "/notes.txt", true, true, true, 0, 1},
         {true, HereStep::ConvertToHtml, CopySwitch::None, false, true}},
        {"tag mode switches to text mode",
         {OpenSource::TagModeOpen, "/notes.txt", true, true, true, 0, 0},
         {true, HereStep::IntoTextMode, CopySwitch::None, false, false}},
        {"tag mode hands a file without extension to /h",
         {OpenSource::TagModeOpen, "/README", true, false, true, 0, 1},
         {false, HereStep::AsItIs, CopySwitch::OpenAsHtml, true, false}},
        {"drop of a page on a named window in tag mode",
         {OpenSource::Drop, "/p.htm", true, false, false, 1, 0},
         {false, HereStep::AsItIs, CopySwitch::OpenAsHtml, true, false}},
        {"start-up file after a name that was no file",
         {OpenSource::CommandLine, "/b.txt", false, false, true, 0, 1},
         {true, HereStep::AsItIs, CopySwitch::None, true, false}},
        {"start-up page with text already there: no existence test",
         {OpenSource::CommandLine, "/b.HTML", false, false, false, 1, 1},
         {false, HereStep::AsItIs, CopySwitch::OpenAsHtml, false, false}},
        {"start-up page in tag mode: the first activation colours it",
         {OpenSource::CommandLine, "/b.htm", false, true, true, 1, 1},
         {true, HereStep::IntoTagMode, CopySwitch::None, true, false}},
        {"unknown kvnHtml starts no copy",
         {OpenSource::Drop, "/b.htm", false, false, false, 7, 1},
         {false, HereStep::AsItIs, CopySwitch::None, true, false}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(routeFile(r.query), r.route);
    }
}

// Catches a switch glued to the path, or a path split at its blanks.
TEST(FileRoutingTest, CopyArgumentsAreSeparateElements) {
    const std::string path = "/my docs/a \"b\".htm";
    EXPECT_EQ(copyArguments(CopySwitch::None, path), std::vector<std::string>{});
    EXPECT_EQ(copyArguments(CopySwitch::Plain, path), std::vector<std::string>{path});
    EXPECT_EQ(copyArguments(CopySwitch::OpenAsHtml, path), (std::vector<std::string>{"/h", path}));
    EXPECT_EQ(copyArguments(CopySwitch::Convert, path), (std::vector<std::string>{"/t", path}));
}

}  // namespace
}  // namespace korvane
