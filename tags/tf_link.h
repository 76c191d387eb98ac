// The page-internal link dialog "ﾍﾟｰｼﾞ内ﾘﾝｸ": makes the source ("#" name)
// or the target (name) end of a link within the page. Each show offers the
// other end and keeps the name, so both ends are made one after the other.
#pragma once

#include "tags/tag_dialog.h"

namespace korvane {

class RadioGroup;
class SjisLineEdit;

class TfLink : public TagDialog {
    Q_OBJECT

  public:
    TfLink(EditControl& edit, TagHighlighter& highlighter, QWidget* parent = nullptr);

    // Handlers.
    void bOKClick();

  protected:
    // flShow: the other end than the one chosen, the source when none is.
    void formShow() override;

  private:
    RadioGroup* rgLink;
    SjisLineEdit* eLink;
};

}  // namespace korvane
