#include "convert/preview.h"

#include <utility>

#include "convert/to_html.h"
#include "platform/owned_file.h"
#include "platform/program_folder.h"

namespace korvane {

namespace {

std::string createFailedText(const std::string& path) {
    return "ファイル " + path + " を作成できません";
}

std::string folderOf(const std::string& path) {
    const std::string::size_type slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

}  // namespace

Preview::Preview(EditControl& edit, const PageSettings& page, CommonDialogs& dialogs, Shell& shell,
                 Sources sources)
    : m_edit(edit),
      m_page(page),
      m_dialogs(dialogs),
      m_shell(shell),
      m_sources(std::move(sources)) {
    if (!m_sources.previewPath)
        m_sources.previewPath = [] { return previewPath(); };
}

void Preview::show(const std::string& page) {
    const std::string path = m_sources.previewPath();
    // The cache folder may not exist yet on a first run of an installed copy.
    std::string error;
    const std::string folder = folderOf(path);
    FileResult written;
    if (folder.empty() || ensureFolderExists(folder, error))
        written =
            writePrivateFile(path, page);  // the user's text: 0600, never through a stranger's link
    else
        written.error = error;
    if (!written.ok) {
        if (m_dialogs.messages)
            m_dialogs.messages->showError(createFailedText(path), written.error);
        return;
    }
    // Whether a browser then shows the page is the desktop's business, as a
    // failed ShellExecute goes unreported.
    m_shell.openWebPage(path);
}

void Preview::P1Click() {
    std::string page;
    {
        // The text is only read, but a long conversion must not show a
        // half-painted editor.
        m_edit.setRedraw(false);
        struct RedrawOn {
            EditControl& edit;
            ~RedrawOn() { edit.setRedraw(true); }
        } on{m_edit};
        page = ToHtml(m_edit.text(), m_sources.title ? m_sources.title() : std::string(), m_page,
                      m_sources.tabOption ? m_sources.tabOption() : 1);
    }
    show(page);
}

void Preview::P4Click() {
    show(m_edit.text());
}

void Preview::registerCommands(CommandTable& table) {
    table.add("P1Click", [this] { P1Click(); });
    table.add("P4Click", [this] { P4Click(); });
}

}  // namespace korvane
