// Text mode's three commands that change the page settings: the colour
// dialog, the detail dialog and the background picture.
//
// Plain C++: the two dialogs are shown through callbacks (they are Qt
// windows of their own, TfColor and TfDetail), and the background picture
// is chosen with the open dialog it shares with tag mode's simple image.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "base/command_table.h"
#include "convert/page_settings.h"
#include "platform/common_dialogs.h"

namespace korvane {

// The open dialog's filter for a background picture.
inline constexpr const char* kBackPictureFilter =
    "画像ﾌｧｲﾙ(*.jpeg;*.jpg;*.png;*.gif)|*.jpeg;*.jpg;*.png;*.gif|JPEGﾌｧｲﾙ(*.jpeg;*.jpg)|*.jpeg;*."
    "jpg|PNGﾌｧｲﾙ(*.png)|*.png|GIFﾌｧｲﾙ(*.gif)|*.gif|全てのﾌｧｲﾙ(*.*)|*.*";

// The message for a picture whose name Shift_JIS cannot hold: the page could
// not name it.
std::string unwritablePictureText(std::string_view path);

class PageDialogs {
  public:
    struct Window {
        std::function<void()> showColorDialog;   // TfColor, modeless
        std::function<void()> showDetailDialog;  // TfDetail, modeless
        std::function<void()> refreshCaption;    // the caption names the picture
        // The check mark of the background command.
        std::function<void(bool checked)> checkBackPicture;
    };

    PageDialogs(PageSettings& page, CommonDialogs& dialogs, Window window);
    PageDialogs(const PageDialogs&) = delete;
    PageDialogs& operator=(const PageDialogs&) = delete;

    void B1Click();
    void D1Click();
    // Sets a picture when none is set, else clears it without a dialog.
    void N5Click();

    void registerCommands(CommandTable& table);

  private:
    void pictureChanged();
    void choosePicture();

    PageSettings& m_page;
    CommonDialogs& m_dialogs;
    Window m_window;
};

}  // namespace korvane
