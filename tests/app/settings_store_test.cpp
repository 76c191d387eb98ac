// The run's one owner of the settings.
#include "app/settings_store.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/scripted_dialogs.h"
#include "tests/support/temp_dir.h"

namespace korvane {
namespace {

// Catches a listener told before the values changed (it would copy the old
// ones), a write that is not the options writer's eleven keys in order, and
// a store that is not what the next start reads.
TEST(SettingsStore, StoredOptionsReachTheListenersAndTheFile) {
    test::TempDir dir;
    SettingsStore store(dir.file("krv13.ini"));
    store.load();
    std::vector<ColorValue> seen;
    store.onChange([&](SettingsStore::Change change, const StartupSettings& values) {
        if (change == SettingsStore::Change::Options)
            seen.push_back(values.options.tColor);
    });
    Options options = store.values().options;
    options.tColor = 0x00FF00;
    options.kvnHtml = 2;
    EXPECT_TRUE(store.storeOptions(options));
    EXPECT_EQ(seen, std::vector<ColorValue>{0x00FF00});
    EXPECT_EQ(test::readFile(dir.file("krv13.ini")),
              "[Option]\r\nkvnHtml=2\r\nmvxHtml=1\r\nTab=1\r\nDetail=1\r\nAuthor=1\r\n"
              "Keywords=0\r\nDescription=0\r\nHead=1\r\nColor=1\r\nHilight=1\r\nTColor=65280\r\n"
              "NewPageEncoding=0\r\n");

    SettingsStore next(dir.file("krv13.ini"));
    next.load();
    EXPECT_EQ(next.values().options.kvnHtml, 2);
    EXPECT_EQ(next.values().options.tColor, 0x00FF00);
}

// Catches a failed write that says nothing, says it without the reason, or
// takes back the values of the run (they stay in effect).
TEST(SettingsStore, FailedWriteIsShownAndTheRunKeepsTheNewValues) {
    test::TempDir dir;
    const std::string path = dir.file("krv13.ini");
    std::filesystem::create_directory(path);  // no write succeeds, not even root's
    SettingsStore store(path);
    store.load();
    test::RecordingMessageBoxes messages;
    store.setMessages(&messages);
    EXPECT_FALSE(store.storeTagModeFont("Noto Sans Mono", 11));
    ASSERT_EQ(messages.errors(), std::vector<std::string>{path + " に書き込めません"});
    EXPECT_FALSE(messages.errorDetails()[0].empty());
    EXPECT_EQ(store.values().mvxName, "Noto Sans Mono");
    EXPECT_EQ(store.values().mvxSize, 11);
}

// Catches the page colours written while the keep option is off (they must
// not survive the run), and the in-run colours not kept.
TEST(SettingsStore, PageColoursFollowTheKeepOption) {
    test::TempDir dir;
    SettingsStore store(dir.file("krv13.ini"));
    store.load();
    Options options = store.values().options;
    options.keepColor = false;
    ASSERT_TRUE(store.storeOptions(options));
    const std::string before = test::readFile(dir.file("krv13.ini"));
    store.page().BackColor = 0x123456;
    EXPECT_TRUE(store.storeColors());
    EXPECT_EQ(test::readFile(dir.file("krv13.ini")), before);
    EXPECT_EQ(store.values().page.BackColor, 0x123456);
}

}  // namespace
}  // namespace korvane
