// The korvane desktop program.
#include <QApplication>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <string>
#include <vector>

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
