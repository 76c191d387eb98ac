// What the four tag dialogs share: created once and kept for the run,
// shown modeless with the focus on the first field, hidden (never
// destroyed) by OK, Cancel, Esc or the close button, and inserting their
// text at the editor's selection through the tag insertion sequence with
// the selection hidden meanwhile.
#pragma once

#include <QDialog>
#include <string_view>

#include "base/edit_control.h"
#include "edit/tag_highlighter.h"

class QLabel;
class QPushButton;

namespace korvane {

class TagDialog : public QDialog {
    Q_OBJECT

  public:
    // Shows the dialog, or only brings it to the front when it is shown.
    void showModeless();
    // Hides the dialog; nothing else changes.
    void bCancelClick() { reject(); }

  protected:
    TagDialog(EditControl& edit, TagHighlighter& highlighter, const QString& caption,
              const char* name, QWidget* parent);

    // Runs each time the dialog is shown (not when it comes back from
    // being minimised).
    virtual void formShow() = 0;
    void showEvent(QShowEvent* event) override;

    // Replaces the editor's selection with `text`: the selection is not
    // painted while the tags are inserted and coloured.
    void insertAtSelection(std::string_view text);

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
