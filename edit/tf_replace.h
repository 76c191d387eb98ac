// The replace dialog `TfReplace` (caption "置換"): the text to find, its
// replacement, match case and the direction; OK replaces the next occurrence,
// replace-all every one from the caret onward in that direction. Created
// once for the window, shown modelessly, hidden after every action. The
// replacement, the box and the direction keep their values between uses;
// the text to find is the search text each time the dialog opens (one
// brought back from being minimised keeps what was typed).
#pragma once

#include "edit/search.h"
#include "platform/modeless_dialog.h"

class QCheckBox;
class QRadioButton;

namespace korvane {

class SjisLineEdit;

class TfReplace : public ModelessDialog, public ReplaceDialogPort {
    Q_OBJECT

  public:
    TfReplace(Search& search, QWidget* parent = nullptr);

    // --- ReplaceDialogPort ---
    void showReplaceDialog() override;

    void bOKClick();
    void bAllClick();
    void bCancelClick() { hide(); }

  protected:
    // formsyow: the text to find is the search text.
    void formShow() override;

  private:
    bool up() const;

    Search& m_search;
    SjisLineEdit* m_ePre = nullptr;
    SjisLineEdit* m_eAfter = nullptr;
    QCheckBox* m_cbIgnore = nullptr;
    QRadioButton* m_up = nullptr;
    QRadioButton* m_down = nullptr;
};

}  // namespace korvane
