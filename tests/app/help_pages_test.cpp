// The two help pages as the build makes them beside the program: Shift_JIS
// HTML 4.0 that a browser reads in the right encoding, naming every menu
// command, short-cut and tool button of its mode, and the options.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "app/help_commands.h"
#include "app/menu_rows.h"
#include "base/shift_jis.h"
#include "platform/atomic_file.h"

namespace korvane {
namespace {

std::string helpPage(const char* name) {
    std::string bytes;
    const FileResult read = readWholeFile(std::string(KORVANE_HELP_DIR) + "/" + name, bytes);
    EXPECT_TRUE(read.ok) << name << ": " << read.error;
    return bytes;
}

// A caption as the menu shows it: the access key's "&" is not drawn.
std::string shown(std::string_view caption) {
    std::string text;
    for (const char c : caption) {
        if (c != '&')
            text += c;
    }
    return text;
}

// Everything a user of the mode sees named in its menus and tool bar.
std::vector<std::string> namesOf(const std::vector<MenuRow>& menus,
                                 const std::vector<ToolRow>& tools) {
    std::vector<std::string> names;
    for (const MenuRow& row : menus) {
        if (*row.caption != '\0')
            names.push_back(shown(row.caption));
        // Each of an item's short-cuts ("Ctrl+Y; Ctrl+Shift+Z").
        for (std::string_view keys = row.keys; !keys.empty();) {
            const std::size_t end = keys.find("; ");
            names.emplace_back(keys.substr(0, end));
            keys = end == std::string_view::npos ? std::string_view() : keys.substr(end + 2);
        }
    }
    for (const ToolRow& row : tools) {
        if (*row.name == '\0')
            continue;
        const std::string_view hint = row.hint;
        names.emplace_back(hint.substr(0, hint.find('|')));
    }
    return names;
}

const std::vector<std::string> kOptionNames = {"HTMLﾌｧｲﾙを開いた際(M)",
                                               "詳細設定の値を保持する(D)",
                                               "色指定の値を保持する(C)",
                                               "HTML変換の際、タブを全角空白何文字に変換するか(T)",
                                               "ﾃｷｽﾄﾌｧｲﾙを開いた際(X)",
                                               "ﾃﾞﾌｫﾙﾄでﾀｸﾞをﾊｲﾗｲﾄ表示(I)",
                                               "krv13.ini",
                                               "KORVANE_HOME",
                                               "/h",
                                               "/t",
                                               "korvane-convert"};

struct Page {
    const char* file;
    const std::vector<MenuRow>& menus;
    const std::vector<ToolRow>& tools;
    const char* version;
};

// Catches a page that is not Shift_JIS (a browser told "Shift_JIS" would show
// mojibake), lone LF line breaks, a missing document type or charset, and
// a menu item, short-cut, tool button or option the page does not explain.
TEST(HelpPages, ShiftJisHtmlNamingEveryCommandOfItsMode) {
    const Page pages[] = {
        {kTextModeHelpPage, textModeMenus(), textModeTools(), kTextModeVersion},
        {kTagModeHelpPage, tagModeMenus(), tagModeTools(), kTagModeVersion},
    };
    for (const Page& page : pages) {
        SCOPED_TRACE(page.file);
        const std::string bytes = helpPage(page.file);
        ASSERT_FALSE(bytes.empty());
        const std::u16string text = decodeShiftJis(bytes);
        for (const char16_t c : text)
            ASSERT_FALSE(isInvalidByteStandIn(c)) << "a byte that is not Shift_JIS";
        EXPECT_EQ(encodeShiftJis(text).bytes, bytes);
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            if (bytes[i] == '\n') {
                ASSERT_TRUE(i > 0 && bytes[i - 1] == '\r') << "a line break that is not CR LF";
            }
            if (bytes[i] == '\r') {
                ASSERT_TRUE(i + 1 < bytes.size() && bytes[i + 1] == '\n');
            }
        }
        const std::string utf8 = decodeShiftJisToUtf8(bytes);
        EXPECT_EQ(utf8.rfind("<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\"", 0),
                  0u);
        EXPECT_NE(utf8.find("charset=Shift_JIS\">"), std::string::npos);
        EXPECT_NE(utf8.find("</HTML>"), std::string::npos);
        EXPECT_NE(utf8.find(page.version), std::string::npos);
        for (const std::string& name : namesOf(page.menus, page.tools))
            EXPECT_NE(utf8.find(name), std::string::npos) << name;
        for (const std::string& name : kOptionNames)
            EXPECT_NE(utf8.find(name), std::string::npos) << name;
    }
}

}  // namespace
}  // namespace korvane
