// The link and mail dialog "ﾘﾝｸ・ﾒｰﾙ": wraps the selection in an A tag whose
// address is typed, picked as a file relative to the document, or a mail
// address.
#pragma once

#include "convert/relative_path.h"
#include "platform/common_dialogs.h"
#include "tags/file_tag_dialog.h"
#include "tags/tag_text.h"

class QCheckBox;

namespace korvane {

class SjisLineEdit;

class TfNrLink : public FileTagDialog {
    Q_OBJECT

  public:
    // `currentFile` names the document when a file is picked and on each
    // show; `pathStyle` is how that name and the picked file are read.
    TfNrLink(EditControl& edit, TagHighlighter& highlighter, CommonDialogs& dialogs,
             CurrentFileSource currentFile, PathStyle pathStyle = kNativePathStyle,
             QWidget* parent = nullptr);

    // Handlers.
    void CheckBox1Click();
    void bAddressClick();
    void bOKClick();

  protected:
    // FormShow: the name box takes the selection; browsing needs a named
    // document and no mail address.
    void formShow() override;

  private:
    SjisLineEdit* eAddress;
    SjisLineEdit* eName;
    QCheckBox* CheckBox1;
    QPushButton* bAddress;
};

}  // namespace korvane
