// What the four tag dialogs share beyond being the program's own modeless
// dialogs (created once, shown without blocking, loaded at each show with
// the focus on the first field, hidden by OK, Cancel, Esc or the close
// button): the OK and Cancel buttons, last in tab order, and inserting their
// text at the editor's selection through the tag insertion sequence with
// the selection hidden meanwhile.
#pragma once

#include <string_view>

#include "base/edit_control.h"
#include "edit/tag_highlighter.h"
#include "platform/modeless_dialog.h"

class QLabel;
class QPushButton;

namespace korvane {

class TagDialog : public ModelessDialog {
    Q_OBJECT

  public:
    // Hides the dialog; nothing else changes.
    void bCancelClick() { reject(); }

  protected:
    TagDialog(EditControl& edit, TagHighlighter& highlighter, const QString& caption,
              const char* name, QWidget* parent);

    void showEvent(QShowEvent* event) override;

    // Replaces the editor's selection with `text`: the selection is not
    // painted while the tags are inserted and coloured.
    void insertAtSelection(std::string_view text);

    // The fields are Shift_JIS, as the settings file keeps what they hold;
    // the document may be in another encoding. A field's bytes as the
    // document writes them, and the document's bytes as a field shows them.
    std::string inDocument(std::string_view shiftJis) const;
    std::string inField(std::string_view document) const;

    // "ＯＫ" (default) and "ｷｬﾝｾﾙ"; the caller lays them out and connects OK.
    // They come last in tab order, after the fields the caller adds.
    QPushButton* bOK = nullptr;
    QPushButton* bCancel = nullptr;

    EditControl& m_edit;
    TagHighlighter& m_highlighter;

  private:
    void putButtonsLast();

    bool m_buttonsLast = false;
};

// A label whose access key focuses `buddy`.
QLabel* buddyLabel(const QString& text, QWidget* buddy, QWidget* parent);

}  // namespace korvane
