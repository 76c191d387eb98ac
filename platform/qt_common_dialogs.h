// The common dialogs on Qt's own: QFileDialog, QColorDialog, QFontDialog and
// QMessageBox. All of them are modal; the pieces that decide what a dialog
// shows are separate functions so that they can be checked without one.
#pragma once

#include <QFont>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <memory>

#include "platform/common_dialogs.h"

class QFileDialog;
class QMessageBox;

namespace korvane {

class QtFileDialog : public FileDialog {
  public:
    QtFileDialog(FileDialogKind kind, std::shared_ptr<std::string> recentFolder, QWidget* parent);

  protected:
    std::optional<FileDialogAnswer> ask(const FileDialogQuery& query) override;

  private:
    QPointer<QWidget> m_parent;
};

// Sets `dialog` up to show `query`: Qt's own dialog (the same on every
// desktop, and its overwrite question can be turned off), no question
// before replacing a file, the filters in Qt's form.
void configureFileDialog(QFileDialog& dialog, const FileDialogQuery& query);
// The zero-based filter `dialog` shows, as an index into query.filters; the
// query's own when it shows none of them.
std::size_t selectedFilterIndex(const QFileDialog& dialog, const FileDialogQuery& query);

class QtColorDialog : public ColorDialog {
  public:
    QtColorDialog(QWidget* parent, SystemColorLookup systemColor, ColorValue initial = 0);

  protected:
    std::optional<ColorValue> ask(ColorValue current) override;

  private:
    QPointer<QWidget> m_parent;
};

class QtFontDialog : public FontDialog {
  public:
    explicit QtFontDialog(QWidget* parent);

  protected:
    std::optional<FontChoice> ask(const FontChoice& current) override;

  private:
    QPointer<QWidget> m_parent;
    QFont m_font;  // what the dialog showed last: style and weight stay
};

// The family and whole point size the editor can take from `font`; a size
// of 0 when the font has none in points (a pixel-sized font).
FontChoice fontChoiceOf(const QFont& font);

class QtMessageBoxes : public MessageBoxes {
  public:
    explicit QtMessageBoxes(QWidget* parent);

    void showError(const std::string& text, const std::string& detail = {}) override;
    void showMessage(const std::string& text) override;
    SaveAnswer askSave(const std::string& text) override;

  private:
    QPointer<QWidget> m_parent;
};

// The save question, built but not shown.
std::unique_ptr<QMessageBox> makeSaveQuestion(QWidget* parent, const QString& text);
// What a closed save question answered: its clicked button, Cancel when none.
SaveAnswer saveAnswerOf(const QMessageBox& box);

// The full set for a main window; the window is every dialog's parent.
CommonDialogs makeQtCommonDialogs(QWidget* parent, const SystemColorLookup& systemColor);

}  // namespace korvane
