#include "convert/page_dialogs.h"

#include <optional>
#include <utility>

#include "base/shift_jis.h"

namespace korvane {

std::string unwritablePictureText(std::string_view path) {
    std::string text = "ファイル名 ";
    text.append(path).append(" は Shift_JIS で書けないため使えません");
    return text;
}

PageDialogs::PageDialogs(PageSettings& page, CommonDialogs& dialogs, Window window)
    : m_page(page), m_dialogs(dialogs), m_window(std::move(window)) {}

void PageDialogs::B1Click() {
    if (m_window.showColorDialog)
        m_window.showColorDialog();
}

void PageDialogs::D1Click() {
    if (m_window.showDetailDialog)
        m_window.showDetailDialog();
}

void PageDialogs::pictureChanged() {
    if (m_window.refreshCaption)
        m_window.refreshCaption();
    if (m_window.checkBackPicture)
        m_window.checkBackPicture(m_page.BackPictureOn);
}

// The check mark and BackPictureOn always agree, so the flag is what
// decides: a second choice of the command clears the picture. The mark is
// set again from the flag on every way out, a cancel included, since a
// checkable menu item toggles its own mark when chosen.
void PageDialogs::N5Click() {
    if (m_page.BackPictureOn) {
        m_page.clearBackPicture();
        pictureChanged();
        return;
    }
    choosePicture();
    if (m_window.checkBackPicture)
        m_window.checkBackPicture(m_page.BackPictureOn);
}

void PageDialogs::choosePicture() {
    FileDialog& dialog = *m_dialogs.odBackPicture;
    dialog.clearRememberedName();
    dialog.setFilter(kBackPictureFilter);
    const std::optional<std::string> picked = dialog.run();
    if (!picked)
        return;
    // The page holds Shift_JIS text: a name it cannot hold would reach the
    // page mangled, so it is refused here.
    SjisEncoded encoded = encodeShiftJisFromUtf8(*picked);
    if (!encoded.replaced.empty()) {
        if (m_dialogs.messages)
            m_dialogs.messages->showError(unwritablePictureText(*picked));
        return;
    }
    m_page.setBackPicture(std::move(encoded.bytes));
    pictureChanged();
}

void PageDialogs::registerCommands(CommandTable& table) {
    table.add("B1Click", [this] { B1Click(); });
    table.add("D1Click", [this] { D1Click(); });
    table.add("N5Click", [this] { N5Click(); });
}

}  // namespace korvane
