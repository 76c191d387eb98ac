// The go-to-line dialog `TfLine` (caption "行へ移動"): a line number, OK
// and ｷｬﾝｾﾙ. Created once for the window and shown modelessly; each
// showing offers the caret's line and takes numbers from 1 to the text's
// last line, so a number out of range cannot be entered.
#pragma once

#include "base/edit_control.h"
#include "platform/modeless_dialog.h"

class QSpinBox;

namespace korvane {

class TfLine : public ModelessDialog {
  public:
    TfLine(EditControl& edit, QWidget* parent = nullptr);

    void bOKClick();

  protected:
    void formShow() override;

  private:
    EditControl& m_edit;
    QSpinBox* m_eLine = nullptr;
};

}  // namespace korvane
