#include "app/settings.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "platform/program_folder.h"
#include "tests/support/environment.h"
#include "tests/support/temp_dir.h"
#include "tests/support/unprivileged.h"

namespace korvane {
namespace {

using namespace std::string_literals;
using test::Environment;
using test::TempDir;
using test::writeFile;

const std::string kGothic = "\x82\x6C\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4E";  // "ＭＳ ゴシック"

// Logs every read of the start-up sequence, in order.
class RecordingReader : public ProfileReader {
  public:
    explicit RecordingReader(const ProfileReader& inner) : m_inner(inner) {}
    std::optional<std::string> lookup(std::string_view section,
                                      std::string_view key) const override {
        reads.push_back(std::string(section) + "/" + std::string(key));
        return m_inner.lookup(section, key);
    }
    mutable std::vector<std::string> reads;

  private:
    const ProfileReader& m_inner;
};

// Logs every write; the write with index failAt fails.
class RecordingWriter : public ProfileWriter {
  public:
    ProfileWriteResult writeString(std::string_view section, std::string_view key,
                                   std::string_view value) override {
        if (calls++ == failAt)
            return {false, "/p/krv13.ini", "No space left on device"};
        writes.push_back(std::string(section) + "/" + std::string(key) + "=" + std::string(value));
        return {};
    }
    int failAt = -1;
    int calls = 0;
    std::vector<std::string> writes;
};

StartupSettings loadText(const std::string& ini) {
    TempDir dir;
    writeFile(dir.file("krv13.ini"), ini);
    Profile profile(dir.file("krv13.ini"));
    profile.load();
    return loadSettings(profile);
}

// Catches a wrong default anywhere, including the derived colour texts.
TEST(Settings, NoFileGivesEveryDefault) {
    TempDir dir;
    Profile profile(dir.file("krv13.ini"));
    EXPECT_FALSE(profile.load().exists);
    const StartupSettings s = loadSettings(profile);
    EXPECT_EQ(std::make_tuple(s.height, s.width, s.kvnName, s.mvxName, s.kvnSize, s.mvxSize),
              std::make_tuple(440, 600, std::string("FixedSys"), std::string("FixedSys"), 14, 14));
    const Options& o = s.options;
    EXPECT_EQ(std::make_tuple(o.kvnHtml, o.mvxHtml, o.tab, o.hilight, o.tColor),
              std::make_tuple(0, 1, 1, true, 16711680));
    EXPECT_EQ(std::make_tuple(o.keepColor, o.keepDetail, o.keepAuthor, o.keepKeywords,
                              o.keepDescription, o.keepHead),
              std::make_tuple(true, true, true, false, false, true));
    const PageSettings& p = s.page;
    EXPECT_EQ(std::make_tuple(p.BackColor, p.FontColor, p.LinkColor, p.VlinkColor, p.AlinkColor,
                              p.ColorCheck, p.DetailOn),
              std::make_tuple(16777215, 0, 16711680, 8388736, 16711680, 0, false));
    EXPECT_EQ(p.VlinkColorHtml, "#800080");
    EXPECT_TRUE(p.Author.empty() && p.HeadText.empty() && p.BackPicture.empty());
}

// Catches the start-up read out of order, or reading a section or key that
// its keep option turns off.
TEST(Settings, StartupReadsInOrderGatedByTheKeepOptions) {
    const std::vector<std::string> head = {"Window/Height",  "Window/Width",   "Font/kvnName",
                                           "Font/mvxName",   "Font/kvnSize",   "Font/mvxSize",
                                           "Option/kvnHtml", "Option/mvxHtml", "Option/Tab",
                                           "Option/Hilight", "Option/TColor",  "Option/Color"};
    const std::vector<std::string> colors = {"Color/Check", "Color/Back",  "Color/Font",
                                             "Color/Link",  "Color/Vlink", "Color/Alink"};
    const std::vector<std::string> detailOptions = {
        "Option/Detail", "Option/Author", "Option/Keywords", "Option/Description", "Option/Head"};
    const auto join = [](std::initializer_list<std::vector<std::string>> parts) {
        std::vector<std::string> all;
        for (const auto& p : parts)
            all.insert(all.end(), p.begin(), p.end());
        return all;
    };
    const struct {
        const char* name;
        std::string ini;
        std::vector<std::string> reads;
    } rows[] = {
        {"defaults", "",
         join({head,
               colors,
               detailOptions,
               {"Detail/Detail", "Detail/Author", "Detail/Head"},
               {"Option/NewPageEncoding", "Option/LineNumbers"}})},
        {"keep nothing", "[Option]\r\nColor=0\r\nDetail=0\r\n",
         join({head, detailOptions, {"Option/NewPageEncoding", "Option/LineNumbers"}})},
        {"every detail kept", "[Option]\r\nKeywords=1\r\nDescription=$1\r\n",
         join({head,
               colors,
               detailOptions,
               {"Detail/Detail", "Detail/Author", "Detail/Description", "Detail/Keywords",
                "Detail/Head"},
               {"Option/NewPageEncoding", "Option/LineNumbers"}})},
        {"only keywords kept", "[Option]\r\nAuthor=0\r\nHead=0\r\nKeywords=-1\r\n",
         join({head,
               colors,
               detailOptions,
               {"Detail/Detail", "Detail/Keywords"},
               {"Option/NewPageEncoding", "Option/LineNumbers"}})},
    };
    for (const auto& row : rows) {
        TempDir dir;
        writeFile(dir.file("krv13.ini"), row.ini);
        Profile profile(dir.file("krv13.ini"));
        profile.load();
        RecordingReader recorder(profile);
        loadSettings(recorder);
        EXPECT_EQ(recorder.reads, row.reads) << row.name;
    }
}

// Catches an opening rule no dialog can write taken as it stands: the open
// commands would then name the document after a file they never load.
TEST(Settings, OpeningRulesOutOfRangeReadAsTheDefaults) {
    const struct {
        const char* ini;
        int kvnHtml;
        int mvxHtml;
    } rows[] = {
        {"[Option]\r\nkvnHtml=5\r\nmvxHtml=2\r\n", 0, 1},
        {"[Option]\r\nkvnHtml=-1\r\nmvxHtml=-1\r\n", 0, 1},
        {"[Option]\r\nkvnHtml=3\r\nmvxHtml=0x7fffffff\r\n", 0, 1},
        {"[Option]\r\nkvnHtml=2\r\nmvxHtml=0\r\n", 2, 0},
        {"[Option]\r\nkvnHtml=1\r\n", 1, 1},
    };
    for (const auto& row : rows) {
        const StartupSettings s = loadText(row.ini);
        EXPECT_EQ(s.options.kvnHtml, row.kvnHtml) << row.ini;
        EXPECT_EQ(s.options.mvxHtml, row.mvxHtml) << row.ini;
    }
}

// Catches number forms misread, the tag-mode font not following the text
// mode's, and kept or unkept sections read wrongly.
TEST(Settings, StartupValuesFromTheFile) {
    const std::string colorsAndDetails =
        "[Color]\r\nCheck=31\r\nBack=255\r\nLink=0x00FF00\r\n"
        "[Detail]\r\nDetail=1\r\nAuthor=me\r\nKeywords=k\r\nDescription=d\r\nHead=\"<a>\\r\\n<b>"
        "\"\r\n";
    const std::string longName(3000, 'n');
    EXPECT_EQ(loadText("[Window]\r\nHeight=0x200\r\n").height, 512);
    EXPECT_EQ(loadText("[Window]\r\nHeight=$200\r\n").height, 512);
    EXPECT_EQ(loadText("[Window]\r\nHeight=abc\r\n").height, 440);

    StartupSettings s = loadText("[Font]\r\nkvnName=" + kGothic + "\r\nkvnSize=11\r\n");
    EXPECT_EQ(std::tie(s.mvxName, s.mvxSize), std::make_tuple(kGothic, 11));
    s = loadText("[Font]\r\nkvnName=" + longName + "\r\nmvxSize=9\r\n");
    EXPECT_EQ(s.mvxName, longName.substr(0, 2047));
    EXPECT_EQ(std::tie(s.kvnSize, s.mvxSize), std::make_tuple(14, 9));

    s = loadText(colorsAndDetails);
    EXPECT_EQ(std::tie(s.page.ColorCheck, s.page.BackColor, s.page.LinkColor),
              std::make_tuple(31, 255, 0xFF00));
    EXPECT_EQ(std::tie(s.page.BackColorHtml, s.page.LinkColorHtml, s.page.FontColorHtml),
              std::make_tuple("#FF0000", "#00FF00", "#000000"));
    EXPECT_EQ(std::tie(s.page.Author, s.page.Keywords, s.page.Description, s.page.HeadText),
              std::make_tuple("me", "", "", "<a>\r\n<b>"));

    s = loadText("[Option]\r\nColor=0\r\nKeywords=1\r\nAuthor=0\r\n" + colorsAndDetails);
    EXPECT_EQ(std::tie(s.page.ColorCheck, s.page.BackColor, s.page.BackColorHtml),
              std::make_tuple(0, 16777215, "#FFFFFF"));
    EXPECT_EQ(std::tie(s.page.Author, s.page.Keywords), std::make_tuple("", "k"));

    s = loadText("[Option]\r\nDetail=0\r\n" + colorsAndDetails);
    EXPECT_EQ(std::tie(s.page.DetailOn, s.page.Author, s.page.HeadText),
              std::make_tuple(false, "", ""));
}

// Catches crashes or misreadings on damaged files: nothing readable gives
// the defaults, and what is readable still counts.
TEST(Settings, HostileFilesGiveDefaults) {
    std::mt19937 random(7);
    std::string noise(1 << 16, '\0');
    for (char& c : noise)
        c = static_cast<char>(random());
    const std::string huge(10 << 20, '9');
    const struct {
        const char* name;
        std::string ini;
        int height;
        int width;
    } rows[] = {
        {"random bytes", noise, 440, 600},
        {"NUL bytes", "\0[Window]\0\r\nHeight=5\0\r\nWidth\0=5\r\n"s, 440, 600},
        {"10 MB number", "[Window]\r\nHeight=" + huge + "\r\nWidth=700\r\n", 440, 700},
        {"10 MB line without break", "[Window]\r\nWidth=700\r\n" + huge, 440, 700},
        {"[ and = everywhere",
         "[\r\n]\r\n=\r\n[=]\r\n==\r\n[[Window]]\r\nHeight=1\r\n[Window\r\nWidth=2\r\n"
         "[Window]\r\n=5\r\nHeight==6\r\n[Window]\r\nWidth=7\r\n",
         440, 600},
        {"UTF-16", "\xFF\xFE[\0W\0i\0n\0d\0o\0w\0]\0\r\0\n\0H\0e\0i\0g\0h\0t\0=\0\x35\0"s, 440,
         600},
    };
    for (const auto& row : rows) {
        const StartupSettings s = loadText(row.ini);
        EXPECT_EQ(std::tie(s.height, s.width), std::tie(row.height, row.width)) << row.name;
        EXPECT_EQ(s.kvnName, "FixedSys") << row.name;
    }
}

// Catches writers with keys out of order, in the wrong form, not gated by
// their options, or going on after a failed key.
TEST(Settings, WritersWriteTheirKeysInOrderAndStopAtTheFirstFailure) {
    Options options;
    options.kvnHtml = 2;
    options.tab = 3;
    options.keepKeywords = true;
    options.keepAuthor = false;
    options.tColor = -2147483635;
    Options keepNothing;
    keepNothing.keepColor = keepNothing.keepDetail = false;
    PageSettings page;
    page.ColorCheck = 17;
    page.setColors(1, 2, 3, 4, 5);
    page.DetailOn = true;
    page.Author = "a";
    page.Keywords = "k";
    page.HeadText = "h";
    const struct {
        const char* name;
        std::function<ProfileWriteResult(ProfileWriter&)> write;
        std::vector<std::string> writes;
    } rows[] = {
        {"window size",
         [](ProfileWriter& w) { return writeWindowSize(w, 480, 640); },
         {"Window/Height=480", "Window/Width=640"}},
        {"text-mode font",
         [](ProfileWriter& w) { return writeTextModeFont(w, kGothic, 12); },
         {"Font/kvnName=" + kGothic, "Font/kvnSize=12"}},
        {"options",
         [&](ProfileWriter& w) { return writeOptions(w, options); },
         {"Option/kvnHtml=2", "Option/mvxHtml=1", "Option/Tab=3", "Option/Detail=1",
          "Option/Author=0", "Option/Keywords=1", "Option/Description=0", "Option/Head=1",
          "Option/Color=1", "Option/Hilight=1", "Option/TColor=-2147483635",
          "Option/NewPageEncoding=0"}},
        {"colours",
         [&](ProfileWriter& w) { return writeColorSettings(w, options, page); },
         {"Color/Check=17", "Color/Back=1", "Color/Font=2", "Color/Link=3", "Color/Vlink=4",
          "Color/Alink=5"}},
        {"colours not kept",
         [&](ProfileWriter& w) { return writeColorSettings(w, keepNothing, page); },
         {}},
        {"details",
         [&](ProfileWriter& w) { return writeDetailSettings(w, options, page); },
         {"Detail/Detail=1", "Detail/Keywords=k", "Detail/Head=h"}},
        {"details not kept",
         [&](ProfileWriter& w) { return writeDetailSettings(w, keepNothing, page); },
         {}},
    };
    for (const auto& row : rows) {
        RecordingWriter all;
        EXPECT_TRUE(row.write(all).ok) << row.name;
        EXPECT_EQ(all.writes, row.writes) << row.name;
        for (int failAt = 0; failAt < static_cast<int>(row.writes.size()); ++failAt) {
            RecordingWriter failing;
            failing.failAt = failAt;
            const ProfileWriteResult r = row.write(failing);
            EXPECT_EQ(std::tie(r.ok, r.path), std::make_tuple(false, "/p/krv13.ini")) << row.name;
            EXPECT_EQ(failing.calls, failAt + 1) << row.name << " went on after key " << failAt;
            EXPECT_EQ(failing.writes, std::vector(row.writes.begin(), row.writes.begin() + failAt));
        }
    }
}

// Catches values that do not survive the file: every writer into one file,
// then the start-up read of it, as the next run does.
TEST(Settings, WrittenSettingsComeBackAtTheNextStart) {
    TempDir dir;
    Profile profile(dir.file("krv13.ini"));
    Options o;
    o.keepDescription = true;
    o.tColor = 0x123456;
    PageSettings page;
    page.setColors(0xABCDEF, 1, 2, 3, 4);
    page.DetailOn = true;
    page.Author = " [x] ";
    page.Description = "\"d\"";
    page.HeadText = "<META name=\"a\" content=\"\x95\x5C\">\r\n[Window]\r\nHeight=1\r\n";
    ASSERT_TRUE(writeWindowSize(profile, 300, 400).ok);
    ASSERT_TRUE(writeTextModeFont(profile, kGothic, 10).ok);
    ASSERT_TRUE(writeTagModeFont(profile, "FixedSys", 16).ok);
    ASSERT_TRUE(writeOptions(profile, o).ok);
    ASSERT_TRUE(writeColorSettings(profile, o, page).ok);
    ASSERT_TRUE(writeDetailSettings(profile, o, page).ok);

    Profile next(dir.file("krv13.ini"));
    ASSERT_TRUE(next.load().ok);
    const StartupSettings s = loadSettings(next);
    EXPECT_EQ(std::make_tuple(s.height, s.width, s.kvnName, s.kvnSize, s.mvxName, s.mvxSize),
              std::make_tuple(300, 400, kGothic, 10, std::string("FixedSys"), 16));
    EXPECT_EQ(std::tie(s.options.keepDescription, s.options.tColor),
              std::make_tuple(true, 0x123456));
    EXPECT_EQ(std::tie(s.page.BackColor, s.page.BackColorHtml),
              std::make_tuple(0xABCDEF, "#EFCDAB"));
    EXPECT_EQ(std::tie(s.page.Author, s.page.Description, s.page.HeadText),
              std::tie(page.Author, page.Description, page.HeadText));
}

// Catches the converter's --settings silently using defaults for a file
// that is not there.
TEST(Settings, NamedFileMustExist) {
    TempDir dir;
    EXPECT_FALSE(loadSettingsFile(dir.file("none.ini")).ok);
    writeFile(dir.file("k.ini"), "[Option]\r\nTab=3\r\n");
    const SettingsFileLoad loaded = loadSettingsFile(dir.file("k.ini"));
    EXPECT_EQ(std::tie(loaded.ok, loaded.settings.options.tab), std::make_tuple(true, 3));
    EXPECT_EQ(writeFailedMessage("/a/krv13.ini"), "/a/krv13.ini に書き込めません");
}

// Catches settings or preview files put in a folder the program cannot
// write, the XDG rules broken, or KORVANE_HOME ignored (the read-only case
// runs without root's rights, which would write anyway).
TEST(SettingsPath, ProgramFolderWhenWritableElseTheUsersFolders) {
    TempDir dir;
    if (const std::string unreachable = test::openUpForUnprivileged(dir.path());
        !unreachable.empty())
        GTEST_SKIP() << unreachable;
    const std::string prog = dir.file("prog");
    ::mkdir(prog.c_str(), 0777);
    ::chmod(prog.c_str(), 0777);
    Environment env;
    env.set("KORVANE_HOME", prog.c_str());
    env.set("HOME", dir.path().c_str());
    env.set("XDG_CONFIG_HOME", dir.file("config").c_str());
    env.set("XDG_CACHE_HOME", "relative/ignored");
    EXPECT_EQ(programFolder(), prog);
    EXPECT_EQ(settingsPath(), prog + "/krv13.ini");
    EXPECT_EQ(previewPath(), prog + "/prev.htm");

    ::chmod(prog.c_str(), 0555);
    const std::string config = dir.file("config/korvane/krv13.ini");
    const std::string cache = dir.file(".cache/korvane/prev.htm");
    EXPECT_TRUE(
        test::runUnprivileged([&] { return settingsPath() == config && previewPath() == cache; }));
    env.set("XDG_CONFIG_HOME", nullptr);
    EXPECT_TRUE(test::runUnprivileged(
        [&] { return settingsPath() == dir.file(".config/korvane/krv13.ini"); }));

    // The first write creates the user's folder.
    Profile profile(config);
    ASSERT_TRUE(writeWindowSize(profile, 1, 2).ok);
    EXPECT_EQ(loadSettingsFile(config).settings.width, 2);

    env.set("KORVANE_HOME", nullptr);
    EXPECT_TRUE(std::filesystem::exists(programFolder() + "/korvane_core_tests"));
}

// Catches an installed program taken for a portable one (its settings would
// land beside every other program in PREFIX/bin) or the build tree taken for
// an installed one.
TEST(SettingsPath, InstalledLayoutIsRecognised) {
    TempDir dir;
    std::filesystem::create_directories(dir.file("usr/bin"));
    std::filesystem::create_directories(dir.file("build"));
    EXPECT_FALSE(isInstalledLayout(dir.file("usr/bin")));
    std::filesystem::create_directories(dir.file("usr/share/korvane"));
    EXPECT_TRUE(isInstalledLayout(dir.file("usr/bin")));
    EXPECT_TRUE(isInstalledLayout(dir.file("usr/bin/")));
    EXPECT_FALSE(isInstalledLayout(dir.file("build")));
}

}  // namespace
}  // namespace korvane
