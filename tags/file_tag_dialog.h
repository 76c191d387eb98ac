// What the link and the image dialog share: a browse button that picks the
// file the tag names and writes it as a location relative to the document.
// A location needs the document's folder, so browsing is for a named
// document only; a file whose location Shift_JIS cannot hold is refused
// with a message rather than written mangled.
#pragma once

#include <QString>
#include <functional>
#include <optional>
#include <string>

#include "convert/relative_path.h"
#include "platform/common_dialogs.h"
#include "tags/tag_commands.h"
#include "tags/tag_dialog.h"
#include "tags/tag_text.h"

class QPushButton;

namespace korvane {

class FileTagDialog : public TagDialog {
    Q_OBJECT

  protected:
    // `chooser` is the dialog's own file dialog among `dialogs`;
    // `currentFile` names the document when it is needed, and `pathStyle`
    // is how that name and the picked file are read.
    FileTagDialog(EditControl& edit, TagHighlighter& highlighter, CommonDialogs& dialogs,
                  FileDialog& chooser, CurrentFileSource currentFile, PathStyle pathStyle,
                  const QString& caption, const char* name, QWidget* parent);

    // The browse button, running `browse` when clicked. It is never the
    // default button: Enter in a field stays OK.
    QPushButton* browseButton(const QString& caption, const char* name,
                              const std::function<void()>& browse);

    bool documentNamed() const;

    // Where the chooser opens while it remembers no file.
    enum class StartFolder {
        Recent,    // where the last file dialog was confirmed
        Document,  // the document's folder
    };
    // Runs the chooser: the picked file and its location as the tag writes
    // it; nothing when the user cancelled or the location was refused.
    std::optional<PickedLocation> pickLocation(StartFolder start);

  private:
    CommonDialogs& m_dialogs;
    FileDialog& m_chooser;
    CurrentFileSource m_currentFile;
    PathStyle m_pathStyle;
};

}  // namespace korvane
