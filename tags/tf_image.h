// The image placement dialog "画像配置": an IMAGE tag with a source location
// and optional height, width, alternative text, border and alignment, put
// after the selection. Browsing picks the picture relative to the document
// and fills in its size from the picture's header (JPEG, PNG, GIF, BMP,
// WebP), or empties the size fields when it cannot be read.
#pragma once

#include "convert/relative_path.h"
#include "platform/common_dialogs.h"
#include "tags/file_tag_dialog.h"
#include "tags/tag_text.h"

class QKeyEvent;

namespace korvane {

class RadioGroup;
class SjisLineEdit;

class TfImage : public FileTagDialog {
    Q_OBJECT

  public:
    TfImage(EditControl& edit, TagHighlighter& highlighter, CommonDialogs& dialogs,
            CurrentFileSource currentFile, PathStyle pathStyle = kNativePathStyle,
            QWidget* parent = nullptr);

    // Handlers.
    void bReferClick();
    void bOKClick();
    // A key press in the height, width or border box; true discards it.
    bool memopress(const QKeyEvent& key) const;

  protected:
    // FormShow: every field empty, no position, browsing for a named document.
    void formShow() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    SjisLineEdit* eFile;
    QPushButton* bRefer;
    SjisLineEdit* eHeight;
    SjisLineEdit* eWidth;
    SjisLineEdit* eAlt;
    SjisLineEdit* eBorder;
    RadioGroup* rgPosition;
};

}  // namespace korvane
