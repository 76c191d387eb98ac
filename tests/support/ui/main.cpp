// The widget tests run on Qt's offscreen platform: no display, no window on
// anybody's screen, and the same results on a build machine without X.
#include <gtest/gtest.h>

#include <QApplication>

#include "tests/support/temp_dir.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt's file dialogs keep their history, view and column widths in the
    // user's config folder: the tests must neither read the user's nor
    // write theirs there.
    const korvane::test::TempDir config;
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(config.path()));
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
