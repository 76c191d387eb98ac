// The main window's widgets: the editor, the title row and the window's
// fonts, made as the design gives them.
#pragma once

#include <QFont>
#include <string>

class QLabel;
class QMainWindow;

namespace korvane {

class RichEdit;
class SjisLineEdit;
class StatusLine;

inline constexpr const char* kTitleLabel = "タイトル(&T)";

// The window's own font at `pixelSize` where it is installed; otherwise the
// desktop's UI font at the same size.
QFont uiFont(int pixelSize);
// An editor font by its stored name (Shift_JIS), or the system's fixed-pitch
// font where that family is missing.
QFont editorFont(const std::string& name, int pointSize);

struct WindowWidgets {
    RichEdit* editor = nullptr;
    QLabel* label = nullptr;  // "タイトル(&T)" in text mode, the long hints in tag mode
    SjisLineEdit* title = nullptr;
    QLabel* note = nullptr;        // the window's own note at the right of the bottom row
    StatusLine* status = nullptr;  // the caret's line and column, rightmost in the bottom row
};

// Makes the central widget of `window`: the editor over the bottom row.
WindowWidgets buildWindowWidgets(QMainWindow& window);

}  // namespace korvane
