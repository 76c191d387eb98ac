// The korvane desktop program.
#include <QApplication>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <iostream>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/tvantler.h"
#include "platform/memory_tuning.h"

namespace {

// Without the Windows fonts the desktop's default family may lack Japanese
// glyph shapes (or pick Chinese ones); Noto Sans CJK JP has them.
void preferJapaneseFont(QApplication& app) {
    const QStringList families = QFontDatabase::families();
    if (families.contains(QStringLiteral("ＭＳ Ｐゴシック")))
        return;
    if (!families.contains(QStringLiteral("Noto Sans CJK JP")))
        return;
    QFont font = QApplication::font();
    font.setFamily(QStringLiteral("Noto Sans CJK JP"));
    app.setFont(font);
}

}  // namespace

int main(int argc, char* argv[]) {
    korvane::keepLargeBuffersForReuse();
    // Decided before Qt starts: --help and --version must work without a
    // display, and a mistyped switch must not open an editor for a new file
    // of that name. Qt's own options take their one-dash form ("-platform").
    const korvane::ProgramRequest request =
        korvane::readProgramSwitches(std::vector<std::string>(argv + 1, argv + argc));
    switch (request.action) {
        case korvane::ProgramAction::Help:
            std::cout << korvane::programUsageText();
            return 0;
        case korvane::ProgramAction::Version:
            std::cout << KORVANE_VERSION_TEXT << "\n";
            return 0;
        case korvane::ProgramAction::UsageError:
            std::cerr << "korvane: " << request.error << "\n"
                      << "Try 'korvane --help'.\n";
            return 2;
        case korvane::ProgramAction::Run:
        case korvane::ProgramAction::Recover:
            break;
    }
    QApplication app(argc, argv);
    // The application title; no display name, which X11 and Wayland would
    // append to every window caption.
    QApplication::setApplicationName(QStringLiteral("korvane"));
    // The whole interface is Japanese whatever the locale, Qt's own dialogs
    // and buttons included: their texts come from Qt's translation, and
    // numbers, dates and the file types of the MIME database follow the
    // default locale.
    const QLocale japanese(QLocale::Japanese, QLocale::Japan);
    QLocale::setDefault(japanese);
    QTranslator qtTranslator;
    if (qtTranslator.load(japanese, QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&qtTranslator);
    preferJapaneseFont(app);

    korvane::Tvantler window;
    // QApplication has taken its own options out of argv; the rest are the
    // program's, as the bytes the system gave.
    window.interpretCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    window.show();
    return app.exec();
}
