// The font tag dialog "ﾌｫﾝﾄ指定": wraps the selection in a FONT tag with a
// face, a size and a colour, each written only when its box is checked. A
// preview shows sample text in the chosen font and colour on the page's
// background colour.
#pragma once

#include <QComboBox>
#include <QStringList>
#include <functional>

#include "convert/page_settings.h"
#include "platform/common_dialogs.h"
#include "tags/tag_dialog.h"

class QCheckBox;
class QFrame;
class QLabel;

namespace korvane {

// A drop-down list that tells before it drops down, so that its entries
// can be rebuilt each time.
class DropDownList : public QComboBox {
    Q_OBJECT

  public:
    using QComboBox::QComboBox;
    void setOnDropDown(std::function<void()> onDropDown) { m_onDropDown = std::move(onDropDown); }
    void showPopup() override;

  private:
    std::function<void()> m_onDropDown;
};

class TfFont : public TagDialog {
    Q_OBJECT

  public:
    // `page` is the window's page settings, read on each show for the
    // preview colours; the chosen colour is dialogs.fontTagColor's.
    TfFont(EditControl& edit, TagHighlighter& highlighter, CommonDialogs& dialogs,
           const PageSettings& page, QWidget* parent = nullptr);

    // Where the installed font names come from (QFontDatabase::families()
    // unless set).
    void setFontFamilies(std::function<QStringList()> families) {
        m_families = std::move(families);
    }

    // Handlers.
    void sizeclick();
    void colorclick();
    void faceclick();
    void bColorClick();
    void cbFontDDown();
    void cbFontChange();
    void bOKClick();

  protected:
    // The show handler (FormCreate): the preview takes the page's colours.
    void formShow() override;

  private:
    void setPreviewTextColor(const QColor& color);

    CommonDialogs& m_dialogs;
    const PageSettings& m_page;
    std::function<QStringList()> m_families;

    QCheckBox* cbSize;
    QComboBox* coSize;
    QCheckBox* cbColor;
    QPushButton* bColor;
    QCheckBox* cbFace;
    DropDownList* cbFont;
    QFrame* Shape1;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
};

}  // namespace korvane
