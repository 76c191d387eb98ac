#include "convert/preview.h"

#include <utility>

#include "convert/to_html.h"
#include "platform/owned_file.h"
#include "platform/program_folder.h"
#include "platform/web_browser.h"

namespace korvane {

namespace {

std::string createFailedText(const std::string& path) {
    return "ファイル " + path + " を作成できません";
}

std::string folderOf(const std::string& path) {
    const std::string::size_type slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Whether the tag's text (what stands between "<" and ">") starts with the
// element `name` (lower case), in any letter case.
bool isElement(std::string_view tag, std::string_view name) {
    if (tag.size() < name.size())
        return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (lower(tag[i]) != name[i])
            return false;
    }
    return tag.size() == name.size() || isBlank(tag[name.size()]) || tag[name.size()] == '/';
}

// Whether the tag's text holds the attribute `name` (lower case) with a value.
bool hasAttribute(std::string_view tag, std::string_view name) {
    for (std::size_t i = 1; i + name.size() < tag.size(); ++i) {
        if (!isBlank(tag[i - 1]))
            continue;
        std::size_t j = 0;
        while (j < name.size() && lower(tag[i + j]) == name[j])
            ++j;
        if (j < name.size())
            continue;
        std::size_t k = i + j;
        while (k < tag.size() && isBlank(tag[k]))
            ++k;
        if (k < tag.size() && tag[k] == '=')
            return true;
    }
    return false;
}

// The folder of `path` as a file URL ending in "/": percent-encoded as the
// URL the browser is given, so it is plain ASCII in a Shift_JIS page and
// names the file system's own bytes.
std::string folderUrl(const std::string& path) {
    return fileUrl(folderOf(path) + "/");
}

}  // namespace

std::string withDocumentBase(std::string_view page, const std::string& documentPath) {
    if (documentPath.empty() || documentPath.front() != '/')
        return std::string(page);
    // "<", ">" and "-" never occur inside a Shift_JIS character: the tags
    // can be found byte by byte. Comments are skipped whole.
    std::size_t headEnd = std::string_view::npos;
    for (std::size_t at = page.find('<'); at != std::string_view::npos; at = page.find('<', at)) {
        if (page.substr(at, 4) == "<!--") {
            const std::size_t end = page.find("-->", at + 4);
            if (end == std::string_view::npos)
                break;
            at = end + 3;
            continue;
        }
        const std::size_t close = page.find('>', at);
        if (close == std::string_view::npos)
            break;
        const std::string_view tag = page.substr(at + 1, close - at - 1);
        if (isElement(tag, "base") && hasAttribute(tag, "href"))
            return std::string(page);
        if (headEnd == std::string_view::npos && isElement(tag, "head"))
            headEnd = close + 1;
        at = close + 1;
    }
    const std::string base = "<BASE href=\"" + folderUrl(documentPath) + "\">";
    std::string out;
    out.reserve(page.size() + base.size() + 2);
    if (headEnd == std::string_view::npos) {
        out.append(base).append("\r\n").append(page);
    } else {
        out.append(page.substr(0, headEnd)).append("\r\n").append(base);
        out.append(page.substr(headEnd));
    }
    return out;
}

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
    // Whether a browser then shows the page is the desktop's business; one
    // that cannot even be started is said, or the command would seem to do
    // nothing at all.
    if (!m_shell.openWebPage(path) && m_dialogs.messages)
        m_dialogs.messages->showError(noBrowserText(path));
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
        // The page is in the text's encoding; the title box is Shift_JIS.
        const TextCodec& codec = m_edit.codec();
        const std::string title = m_sources.title ? m_sources.title() : std::string();
        page = ToHtml(m_edit.text(), recodeFromShiftJis(title, codec), m_page,
                      m_sources.tabOption ? m_sources.tabOption() : 1, codec);
    }
    show(page);
}

void Preview::P4Click() {
    const std::string file = m_sources.currentFile ? m_sources.currentFile() : std::string();
    show(withDocumentBase(m_edit.text(), file));
}

void Preview::registerCommands(CommandTable& table) {
    table.add("P1Click", [this] { P1Click(); });
    table.add("P4Click", [this] { P4Click(); });
}

}  // namespace korvane
