// The common dialogs on Qt's own: QFileDialog, QColorDialog, QFontDialog and
// QMessageBox. All of them are modal; the pieces that decide what a dialog
// shows are separate functions so that they can be checked without one.
//
// Each is shown over the window it is asked from (the active one: a dialog
// of the program's own when its button asks), and gives that window the
// activation and its focus back when it closes.
#pragma once

#include <QFileDialog>
#include <QFont>
#include <QFontDatabase>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <memory>

#include "platform/common_dialogs.h"

class QLineEdit;
class QMessageBox;
class QModelIndex;

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
// desktop, and its overwrite question can be turned off: QtFileChooser asks
// its own), the filters in Qt's form, types, sizes and dates in Japanese.
void configureFileDialog(QFileDialog& dialog, const FileDialogQuery& query);

// The file list's columns whose text follows the default locale.
inline constexpr int kFileSizeColumn = 1;
inline constexpr int kFileTypeColumn = 2;
inline constexpr int kFileDateColumn = 3;
// The text the file list shows for a size (of a file) or a date, in the default
// locale; a null string where the model's own text stands.
QString fileListText(const QModelIndex& index);

// The dialog QtFileDialog shows, answering in the file system's bytes.
//
// Typed text decides as Windows' dialogs do: a pattern ("*.htm",
// "dir/*") shows that folder and filters the list instead of naming a file;
// an open dialog opens a typed name that exists as it stands and completes
// one without extension only when that does not exist. A save dialog asks
// before it returns the name of a file that exists, the default extension
// added as the save will add it; "いいえ" leaves it open on the typed name.
//
// Qt lists no file whose name is not UTF-8 (its directory iterator skips
// them) and holds names as text, which cannot keep such bytes. The folder and
// name the dialog was given are kept as bytes: accepted as they were shown,
// they come back as they were given.
class QtFileChooser : public QFileDialog {
    Q_OBJECT

  public:
    QtFileChooser(const FileDialogQuery& query, QWidget* parent = nullptr);

    // After an accepted run: the file chosen, as the file system's bytes.
    const std::string& chosenPath() const { return m_chosen; }

    void accept() override;

  private:
    QLineEdit* nameEdit() const;
    // The typed name as a path of bytes; empty when nothing is typed.
    std::string typedPath() const;
    // The existing file an open dialog would open for the typed name, or "".
    std::string fileToOpen() const;
    void allowOpening();
    // Whether the typed name was a pattern, now applied to the list.
    bool filterByTypedPattern();
    // Whether a save may go ahead with `chosen`: yes for a file that does not
    // exist, else the user's answer to a question.
    bool mayReplace(const std::string& chosen);

    FileDialogQuery m_query;
    QString m_firstShownFolder;
    std::string m_chosen;
};
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

// The families the font dialog lists: those with a script, not symbol-only
// fonts (nor fonts that name no writing system at all), as the editor
// fonts must show text. `writingSystems` is QFontDatabase's unless given.
QStringList scriptFontFamilies(
    const QStringList& families,
    const std::function<QList<QFontDatabase::WritingSystem>(const QString&)>& writingSystems = {});

// The family and whole point size the editor can take from `font`; a size
// of 0 when the font has none in points (a pixel-sized font).
FontChoice fontChoiceOf(const QFont& font);

class QtMessageBoxes : public MessageBoxes {
  public:
    explicit QtMessageBoxes(QWidget* parent);

    void showError(const std::string& text, const std::string& detail = {}) override;
    void showMessage(const std::string& text) override;
    SaveAnswer askSave(const std::string& text) override;
    bool askYesNo(const std::string& text) override;
    std::size_t askChoice(const std::string& text, const std::vector<std::string>& buttons,
                          std::size_t defaultButton, std::size_t escapeButton) override;

  private:
    QPointer<QWidget> m_parent;
};

// The save question, built but not shown.
std::unique_ptr<QMessageBox> makeSaveQuestion(QWidget* parent, const QString& text);
// What a closed save question answered: its clicked button, Cancel when none.
SaveAnswer saveAnswerOf(const QMessageBox& box);

// The full set for a main window; the window owns every dialog asked for
// while none of the program's windows is active.
CommonDialogs makeQtCommonDialogs(QWidget* parent, const SystemColorLookup& systemColor);

}  // namespace korvane
