// Finding the web browser from desktop entries and mimeapps.list files. Only
// the resolution is tested: nothing here starts a program.
#include "platform/web_browser.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/environment.h"
#include "tests/support/temp_dir.h"

namespace korvane {
namespace {

using Args = std::vector<std::string>;

// A page name that is not UTF-8 and holds a blank.
const std::string kPage = "/tmp/a b/\xff\x93\xfa.htm";
const std::string kUrl = "file:///tmp/a%20b/%FF%93%FA.htm";

struct ExecRow {
    const char* name;
    const char* exec;
    Args expected;
};

// Catches field codes expanded wrongly (a URL that loses the name's bytes, a
// file code given a URL), the quoting rules misread, and invalid lines that
// would start something anyway.
TEST(ExecArguments, FieldCodesAndQuotingAsTheDesktopEntryRulesSay) {
    const ExecRow rows[] = {
        {"url", "web %u", {"web", kUrl}},
        {"url list", "web %U", {"web", kUrl}},
        {"file keeps its bytes", "web --new-tab %f", {"web", "--new-tab", kPage}},
        {"file list", "web %F", {"web", kPage}},
        {"code inside a word", "web --url=%u", {"web", "--url=" + kUrl}},
        {"quotes and their escapes",
         R"("/opt/my web/web" "a \"q\" \\ \$x \`" "" %u)",
         {"/opt/my web/web", R"(a "q" \ $x `)", "", kUrl}},
        {"icon, name and entry file",
         "web %i --class %c --from %k %u",
         {"web", "--icon", "web-icon", "--class", "Web", "--from", "/apps/web.desktop", kUrl}},
        {"deprecated codes vanish", "web %d %D %n %N %v %m %u", {"web", kUrl}},
        {"percent sign", "web --zoom=90%% %u", {"web", "--zoom=90%", kUrl}},
        {"no file code: the page is appended", "web --private", {"web", "--private", kPage}},
        {"unknown code", "web %x %u", {}},
        {"open quote", "web \"--a %u", {}},
        {"lone percent at the end", "web %", {}},
        {"no program", "  ", {}},
    };
    for (const ExecRow& row : rows) {
        DesktopEntry entry;
        entry.file = "/apps/web.desktop";
        entry.name = "Web";
        entry.icon = "web-icon";
        entry.exec = row.exec;
        EXPECT_EQ(execArguments(entry, kPage), row.expected) << row.name;
    }
    DesktopEntry noIcon;
    noIcon.exec = "web %i %u";
    EXPECT_EQ(execArguments(noIcon, kPage), (Args{"web", kUrl}));
}

struct LookupRow {
    const char* name;
    std::vector<std::pair<const char*, const char*>> files;  // below the test's root
    const char* desktopDefault;
    const char* program;  // in the test's bin folder; empty: no browser
    Args args;
};

std::string entry(const std::string& exec, const std::string& extra = "") {
    return "[Desktop Entry]\nType=Application\nName=Browser\nName[ja]=ブラウザ\nExec=" + exec +
           "\n" + extra;
}

// Catches the wrong browser chosen: the lists read in the wrong order, the
// desktop's own list or answer ignored, an entry that cannot start (not
// installed, hidden, program missing) or this editor's own entry taken, and
// removed associations still offered.
TEST(WebBrowserCall, TheHandlerOfHttpFoundThroughTheXdgFolders) {
    const LookupRow rows[] = {
        {"nothing names a browser", {}, "", "", {}},
        {"korvane alone handles http",
         {{"share1/applications/mimeinfo.cache",
           "[MIME Cache]\nx-scheme-handler/http=korvane.desktop;\n"}},
         "",
         "",
         {}},
        {"the desktop's answer first",
         {{"config/mimeapps.list",
           "[Default Applications]\nx-scheme-handler/http=alpha.desktop\n"}},
         "beta.desktop\n",
         "beta",
         {kUrl}},
        {"the desktop's answer passed over when it is korvane",
         {{"config/mimeapps.list",
           "[Default Applications]\nx-scheme-handler/http=alpha.desktop\n"}},
         "korvane.desktop",
         "alpha",
         {kUrl}},
        {"the user's list before the system's",
         {{"config/mimeapps.list", "[Default Applications]\nx-scheme-handler/http=gamma.desktop\n"},
          {"etc/mimeapps.list", "[Default Applications]\nx-scheme-handler/http=alpha.desktop\n"}},
         "",
         "gamma",
         {"--new-window", kUrl}},
        {"the desktop's own list first in a folder",
         {{"etc/mimeapps.list", "[Default Applications]\nx-scheme-handler/http=alpha.desktop\n"},
          {"etc/lab-mimeapps.list", "[Default Applications]\nx-scheme-handler/http=beta.desktop\n"},
          {"etc/other-mimeapps.list",
           "[Default Applications]\nx-scheme-handler/http=gamma.desktop\n"}},
         "",
         "beta",
         {kUrl}},
        {"defaults that cannot start give way",
         {{"config/mimeapps.list",
           "[Default Applications]\nx-scheme-handler/http=gone.desktop;korvane.desktop;"
           "editor.desktop;delta.desktop;hidden.desktop;service.desktop;beta.desktop;\n"}},
         "",
         "beta",
         {kUrl}},
        {"added associations without a default, removed ones dropped",
         {{"config/mimeapps.list", "[Removed Associations]\nx-scheme-handler/http=alpha.desktop\n"},
          {"share2/applications/mimeapps.list",
           "[Added Associations]\nx-scheme-handler/http=alpha.desktop;beta.desktop;\n"}},
         "",
         "beta",
         {kUrl}},
        {"the MIME cache without removed ones; a vendor ID in a subfolder",
         {{"data/applications/mimeapps.list",
           "[Removed Associations]\nx-scheme-handler/http=alpha.desktop\n"},
          {"share1/applications/mimeinfo.cache",
           "[MIME Cache]\ntext/html=korvane.desktop;\nx-scheme-handler/http=alpha.desktop;"
           "vendor-web.desktop;\n"}},
         "",
         "alpha",
         {"--vendor", kPage}},
    };
    for (const LookupRow& row : rows) {
        const test::TempDir root;
        const auto write = [&](const std::string& relative, const std::string& bytes) {
            const std::string path = root.file(relative);
            std::filesystem::create_directories(std::filesystem::path(path).parent_path());
            test::writeFile(path, bytes);
        };
        // Programs are only looked for, never run.
        for (const char* program : {"alpha", "beta", "gamma", "korvane"}) {
            write(std::string("bin/") + program, "#!/bin/sh\nexit 1\n");
            ::chmod(root.file(std::string("bin/") + program).c_str(), 0755);
        }
        write("share1/applications/alpha.desktop", entry("alpha %u"));
        write("share2/applications/alpha.desktop", entry("beta %u"));  // hidden by share1's
        write("share2/applications/beta.desktop", entry("beta %U"));
        write("data/applications/gamma.desktop", entry("gamma\\s--new-window %u"));
        write("share2/applications/vendor/web.desktop", entry("alpha --vendor"));
        write("share1/applications/korvane.desktop", entry("korvane %F"));
        write("share1/applications/editor.desktop", entry(root.file("bin/korvane") + " %u"));
        write("share1/applications/delta.desktop", entry("delta %u"));
        write("share1/applications/hidden.desktop", entry("alpha %u", "Hidden=true\n"));
        write("share1/applications/service.desktop", entry("alpha %u", "TryExec=delta\n"));
        for (const auto& [relative, bytes] : row.files)
            write(relative, bytes);

        test::Environment env;
        env.set("HOME", root.file("home").c_str());
        env.set("XDG_CONFIG_HOME", root.file("config").c_str());
        env.set("XDG_CONFIG_DIRS", root.file("etc").c_str());
        env.set("XDG_DATA_HOME", root.file("data").c_str());
        env.set("XDG_DATA_DIRS", (root.file("share1") + ":" + root.file("share2")).c_str());
        env.set("XDG_CURRENT_DESKTOP", "X-Test:Lab");
        env.set("PATH", root.file("bin").c_str());

        const std::optional<ProgramCall> call = webBrowserCall(kPage, row.desktopDefault);
        if (std::string(row.program).empty()) {
            EXPECT_FALSE(call) << row.name << ": " << call->program;
            continue;
        }
        ASSERT_TRUE(call) << row.name;
        EXPECT_EQ(call->program, root.file(std::string("bin/") + row.program)) << row.name;
        EXPECT_EQ(call->args, row.args) << row.name;
    }
}

}  // namespace
}  // namespace korvane
