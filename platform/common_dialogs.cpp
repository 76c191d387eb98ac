#include "platform/common_dialogs.h"

#include <utility>

namespace korvane {

FileDialog::FileDialog(FileDialogKind kind, std::shared_ptr<std::string> recentFolder)
    : m_kind(kind),
      m_recentFolder(recentFolder ? std::move(recentFolder) : std::make_shared<std::string>()) {}

FileDialog::~FileDialog() = default;

void FileDialog::setFilter(std::string_view filter) {
    m_filters = parseFileFilter(filter);
}

FileDialogQuery FileDialog::query() const {
    FileDialogQuery q;
    q.kind = m_kind;
    q.title = m_title;
    q.filters = m_filters;
    if (m_filterIndex >= 1 && static_cast<std::size_t>(m_filterIndex) <= m_filters.size())
        q.filterIndex = static_cast<std::size_t>(m_filterIndex - 1);
    q.defaultExtension = m_defaultExtension;
    while (!q.defaultExtension.empty() && q.defaultExtension.front() == '.')
        q.defaultExtension.erase(0, 1);
    if (m_fileName.empty()) {
        q.folder = m_startFolder.empty() ? *m_recentFolder : m_startFolder;
    } else {
        q.folder = folderOf(m_fileName);
        q.fileName = fileNameOf(m_fileName);
    }
    return q;
}

std::optional<std::string> FileDialog::run() {
    const FileDialogQuery q = query();
    std::optional<FileDialogAnswer> answer = ask(q);
    if (!answer || answer->path.empty())
        return std::nullopt;
    std::string path = std::move(answer->path);
    // An open dialog only accepts a file that exists, so its platform side
    // has already completed the name; a save dialog's name is the user's.
    if (m_kind == FileDialogKind::Save)
        path = withDefaultExtension(path, q.defaultExtension);
    if (answer->filterIndex < m_filters.size())
        m_filterIndex = static_cast<int>(answer->filterIndex) + 1;
    m_fileName = path;
    *m_recentFolder = folderOf(path);
    return path;
}

ColorDialog::ColorDialog(SystemColorLookup systemColor, ColorValue initial)
    : m_systemColor(std::move(systemColor)), m_color(initial) {}

ColorDialog::~ColorDialog() = default;

bool ColorDialog::run() {
    std::uint32_t shown = static_cast<std::uint32_t>(m_color);
    if (m_color < 0) {
        const int index = static_cast<int>(shown & 0xFF);
        shown = m_systemColor ? m_systemColor(index) : defaultSystemColor(index);
    }
    const std::optional<ColorValue> chosen = ask(static_cast<ColorValue>(shown & 0xFFFFFF));
    if (!chosen)
        return false;
    m_color = static_cast<ColorValue>(static_cast<std::uint32_t>(*chosen) & 0xFFFFFF);
    return true;
}

FontDialog::~FontDialog() = default;

bool FontDialog::run() {
    std::optional<FontChoice> chosen = ask(m_font);
    if (!chosen)
        return false;
    if (!chosen->family.empty())
        m_font.family = std::move(chosen->family);
    if (chosen->pointSize > 0)
        m_font.pointSize = chosen->pointSize;
    return true;
}

void CommonDialogs::clearMainNames() {
    if (odMain)
        odMain->clearRememberedName();
    if (sdMain)
        sdMain->clearRememberedName();
}

}  // namespace korvane
