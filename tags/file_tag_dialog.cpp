#include "tags/file_tag_dialog.h"

#include <QPushButton>
#include <utility>

#include "platform/file_filter.h"

namespace korvane {

FileTagDialog::FileTagDialog(EditControl& edit, TagHighlighter& highlighter, CommonDialogs& dialogs,
                             FileDialog& chooser, CurrentFileSource currentFile,
                             PathStyle pathStyle, const QString& caption, const char* name,
                             QWidget* parent)
    : TagDialog(edit, highlighter, caption, name, parent),
      m_dialogs(dialogs),
      m_chooser(chooser),
      m_currentFile(std::move(currentFile)),
      m_pathStyle(pathStyle) {}

QPushButton* FileTagDialog::browseButton(const QString& caption, const char* name,
                                         const std::function<void()>& browse) {
    auto* button = new QPushButton(caption, this);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, browse);
    return button;
}

bool FileTagDialog::documentNamed() const {
    return documentHasName(m_currentFile());
}

std::optional<PickedLocation> FileTagDialog::pickLocation(StartFolder start) {
    const std::string document = m_currentFile();
    if (start == StartFolder::Document)
        m_chooser.setStartFolder(folderOf(document, m_pathStyle));
    return pickTagLocation(m_chooser, *m_dialogs.messages, document, m_pathStyle);
}

}  // namespace korvane
