#include "app/window_dialogs.h"

#include "app/tf_option.h"
#include "app/window_parts.h"
#include "convert/tf_color.h"
#include "convert/tf_detail.h"
#include "edit/find_dialog.h"
#include "edit/tf_line.h"
#include "edit/tf_replace.h"
#include "tags/tf_check.h"
#include "tags/tf_font.h"
#include "tags/tf_image.h"
#include "tags/tf_link.h"
#include "tags/tf_nr_link.h"

namespace korvane {

// The dialogs work on the parts' objects; the parts' commands show them.
// Each reads the document's name when it runs, so that a page-internal link
// or a picture's location follows the file the document has by then.
WindowDialogs::WindowDialogs(WindowParts& p, EditControl& edit, QWidget* window) {
    CommonDialogs& dialogs = p.dialogs();
    const CurrentFileSource currentFile = [&p] { return p.documents().CurrentFile(); };
    m_tfFont = new TfFont(edit, p.highlighter(), dialogs, p.store().page(), window);
    m_tfNrLink =
        new TfNrLink(edit, p.highlighter(), dialogs, currentFile, kNativePathStyle, window);
    m_tfLink = new TfLink(edit, p.highlighter(), window);
    m_tfImage = new TfImage(edit, p.highlighter(), dialogs, currentFile, kNativePathStyle, window);
    m_tfCheck = new TfCheck(p.documentCheck(), window);
    PageSettings& page = p.store().page();
    m_tfColor = new TfColor(
        page, *dialogs.pageColor, [&p] { return p.store().storeColors(); }, window);
    m_tfDetail = new TfDetail(
        page, [&p] { return p.store().storeDetails(); }, window);
    m_tfOption = new TfOption(p.store(), p.highlighter(), *dialogs.highlightColor, window);
    // The search text starts empty; the find and replace dialogs live,
    // hidden when not in use, for the whole run.
    m_fdMain = new FindDialog(p.search(), window);
    m_tfReplace = new TfReplace(p.search(), window);
    p.search().setDialogs(m_fdMain, m_tfReplace);
    m_tfLine = new TfLine(edit, window);
    p.setDialogShowers(
        {[this] { m_tfFont->showModeless(); }, [this] { m_tfNrLink->showModeless(); },
         [this] { m_tfLink->showModeless(); }, [this] { m_tfImage->showModeless(); },
         [this] { m_tfColor->showModeless(); }, [this] { m_tfDetail->showModeless(); },
         [this] { m_tfOption->showModeless(); }, [this] { m_tfCheck->showAndCheck(); },
         [this] { m_tfLine->showModeless(); }});
}

// Its places are in the page that text mode no longer shows.
void WindowDialogs::leaveTagMode() {
    m_tfCheck->hide();
}

void WindowDialogs::pageSaved() {
    m_tfCheck->recheckIfShown();
}

}  // namespace korvane
