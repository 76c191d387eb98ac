// Which families the editor font dialog offers.
#include <gtest/gtest.h>

#include <QFontDatabase>
#include <map>

#include "platform/qt_common_dialogs.h"

namespace korvane {
namespace {

using WS = QFontDatabase::WritingSystem;

// Catches symbol fonts (or fonts naming no script) offered as editor
// fonts, and fonts with a script left out because they also carry symbols.
TEST(ScriptFontFamilies, OnlyFamiliesWithAScript) {
    const std::map<QString, QList<WS>> systems = {
        {"Noto Sans CJK JP", {WS::Latin, WS::Japanese}},
        {"OpenSymbol", {WS::Symbol}},
        {"Wingdings", {WS::Any, WS::Symbol}},
        {"Mystery", {}},
        {"DejaVu Sans", {WS::Latin, WS::Greek, WS::Symbol}},
        {"Other only", {WS::Other}},
    };
    const auto lookup = [&](const QString& family) { return systems.at(family); };
    const QStringList all = {"Noto Sans CJK JP", "OpenSymbol",  "Wingdings",
                             "Mystery",          "DejaVu Sans", "Other only"};
    EXPECT_EQ(scriptFontFamilies(all, lookup), (QStringList{"Noto Sans CJK JP", "DejaVu Sans"}));
}

// Catches the real font database's families all dropped (the dialog would
// offer nothing) on a machine that has the CJK fonts the program needs.
TEST(ScriptFontFamilies, InstalledFontsRemain) {
    const QStringList installed = QFontDatabase::families();
    const QStringList kept = scriptFontFamilies(installed);
    EXPECT_FALSE(kept.isEmpty());
    EXPECT_LE(kept.size(), installed.size());
}

}  // namespace
}  // namespace korvane
