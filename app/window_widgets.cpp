#include "app/window_widgets.h"

#include <QApplication>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QMainWindow>
#include <QVBoxLayout>

#include "app/status_line.h"
#include "editor/qt_sjis.h"
#include "editor/rich_edit.h"
#include "editor/sjis_line_edit.h"

namespace korvane {

namespace {

constexpr const char* kWindowFontFamily = "ＭＳ Ｐゴシック";
constexpr const char* kJapaneseFixedFamilies[] = {"Noto Sans Mono CJK JP", "IPAGothic", "VL Gothic",
                                                  "TakaoGothic"};

}  // namespace

// The window's own font where it is installed; otherwise the desktop's UI
// font at the same pixel size (which main() has already pointed at a CJK
// family when the Windows fonts are missing).
QFont uiFont(int pixelSize) {
    QFont font = QFontDatabase::families().contains(QString::fromUtf8(kWindowFontFamily))
                     ? QFont(QString::fromUtf8(kWindowFontFamily))
                     : QApplication::font();
    font.setPixelSize(pixelSize);
    return font;
}

// An editor font by its stored name. "FixedSys" and "ＭＳ ゴシック" exist only
// on Windows; where the family is missing a Japanese fixed-pitch font stands
// in (the package depends on Noto's), else the system's fixed-pitch font,
// and the stored name stays the user's choice. A Japanese one draws ASCII
// at half the width of a Japanese character, as the pages were written,
// and every line in its own height: a font without Japanese leaves the
// toolkit to take Japanese from another, taller font, and the lines that
// start with it or that stand empty after one would stand taller.
QFont editorFont(const std::string& name, int pointSize) {
    const QString family = fromSjis(name);
    const QStringList installed = QFontDatabase::families();
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    if (installed.contains(family)) {
        font = QFont(family);
    } else {
        for (const char* standIn : kJapaneseFixedFamilies) {
            if (installed.contains(QString::fromUtf8(standIn))) {
                font = QFont(QString::fromUtf8(standIn));
                break;
            }
        }
    }
    if (pointSize > 0)
        font.setPointSize(pointSize);
    return font;
}

WindowWidgets buildWindowWidgets(QMainWindow& window) {
    WindowWidgets w;
    auto* central = new QWidget(&window);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    w.editor = new RichEdit(central);
    w.editor->setObjectName(QStringLiteral("reMain"));
    // The design font, 16 pixels high, until the first activation sets the
    // mode's font.
    QFont design = editorFont("\x82\x6c\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4e", 0);
    design.setPixelSize(16);
    w.editor->setFont(design);
    w.editor->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    w.editor->setTabChangesFocus(false);  // Tab is a character of the text
    w.editor->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    w.editor->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    w.editor->setHideSelection(false);
    w.editor->setHidden(true);  // shown by the first activation, with the mode's font
    // The whole-text pass hides the editor, and a long one keeps the window
    // painted meanwhile: the title row must not jump into its place.
    QSizePolicy policy = w.editor->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    w.editor->setSizePolicy(policy);
    column->addWidget(w.editor, 1);

    auto* row = new QHBoxLayout;
    row->setContentsMargins(2, 3, 0, 3);
    w.label = new QLabel(QString::fromUtf8(kTitleLabel), central);
    w.label->setObjectName(QStringLiteral("Label1"));
    w.label->setFont(uiFont(15));
    w.label->setMinimumWidth(78);
    w.title = new SjisLineEdit(central);
    w.title->setObjectName(QStringLiteral("eTitle"));
    w.title->setFont(uiFont(13));
    w.label->setBuddy(w.title);
    row->addWidget(w.label);
    row->addWidget(w.title, 1);
    // Notes of the window's own (a journal that could not be written), at
    // the right of the bottom row in both modes; hidden while there is none.
    w.note = new QLabel(central);
    w.note->setObjectName(QStringLiteral("StatusNote"));
    w.note->setFont(uiFont(12));
    w.note->hide();
    row->addWidget(w.note);
    // Beside the title box in text mode and the hints in tag mode: the
    // title box gives way, the editor keeps its size.
    w.status = new StatusLine(*w.editor, central);
    w.status->setFont(uiFont(12));
    row->addSpacing(6);
    row->addWidget(w.status);
    column->addLayout(row);
    window.setCentralWidget(central);
    return w;
}

}  // namespace korvane
