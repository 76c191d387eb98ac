// The main window's dialogs, built once over the window's parts and kept,
// hidden when not in use, for the whole run. The parts' commands show them.
#pragma once

class QWidget;

namespace korvane {

class EditControl;
class FindDialog;
class TfCheck;
class TfColor;
class TfDetail;
class TfFont;
class TfImage;
class TfLink;
class TfNrLink;
class TfOption;
class TfReplace;
class TfLine;
class WindowParts;

class WindowDialogs {
  public:
    WindowDialogs(WindowParts& parts, EditControl& edit, QWidget* window);
    WindowDialogs(const WindowDialogs&) = delete;
    WindowDialogs& operator=(const WindowDialogs&) = delete;

    // The window left tag mode; a tag-mode page was saved.
    void leaveTagMode();
    void pageSaved();

  private:
    // Owned by the window, as Qt children.
    TfFont* m_tfFont = nullptr;
    TfNrLink* m_tfNrLink = nullptr;
    TfLink* m_tfLink = nullptr;
    TfImage* m_tfImage = nullptr;
    TfCheck* m_tfCheck = nullptr;
    TfColor* m_tfColor = nullptr;
    TfDetail* m_tfDetail = nullptr;
    TfOption* m_tfOption = nullptr;
    FindDialog* m_fdMain = nullptr;
    TfReplace* m_tfReplace = nullptr;
    TfLine* m_tfLine = nullptr;
};

}  // namespace korvane
