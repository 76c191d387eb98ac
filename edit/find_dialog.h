// The find dialog `fdMain`: our own modeless dialog in the shape and words of
// the Windows find dialog in Japanese (Qt has none), without the whole-word
// box. Created once for the window; it keeps its text, its match-case box and
// its direction from one use to the next, and its match-case box counts for
// the find commands even while it is closed.
#pragma once

#include "edit/search.h"
#include "platform/modeless_dialog.h"

class QCheckBox;
class QPushButton;
class QRadioButton;

namespace korvane {

class SjisLineEdit;

class FindDialog : public ModelessDialog, public FindDialogPort {
    Q_OBJECT

  public:
    FindDialog(Search& search, QWidget* parent = nullptr);

    // --- FindDialogPort ---
    // Shows the dialog (to the front when open) with the find-what field
    // focused and its text selected.
    void showFindDialog() override;
    bool matchCaseTicked() const override;

  protected:
    // Nothing to load: the dialog keeps its text and options.
    void formShow() override {}

  private:
    void findNext();
    void textEdited();

    Search& m_search;
    SjisLineEdit* m_findWhat = nullptr;
    QCheckBox* m_matchCase = nullptr;
    QRadioButton* m_up = nullptr;
    QRadioButton* m_down = nullptr;
    QPushButton* m_findNext = nullptr;
};

}  // namespace korvane
