// The detail dialog "詳細設定": the head values of the page (author,
// description, keywords and extra head text) and the switch that says
// whether they are written into it.
//
// The fields are loaded from the page settings each time it is shown; OK
// stores them there (also while the switch is off: they are kept, not
// written into pages) and hands them to `store`, which writes what the keep
// options allow.
#pragma once

#include <functional>

#include "convert/page_settings.h"
#include "platform/modeless_dialog.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace korvane {

class SjisLineEdit;

class TfDetail : public ModelessDialog {
    Q_OBJECT

  public:
    TfDetail(PageSettings& page, std::function<bool()> store, QWidget* parent = nullptr);

    // Handlers.
    void cbDetailClick();
    void bOKClick();
    void lCancelClick() { reject(); }

  protected:
    // fDetailShow.
    void formShow() override;

  private:
    PageSettings& m_page;
    std::function<bool()> m_store;

    QGroupBox* m_frame = nullptr;
    QCheckBox* cbDetail = nullptr;
    SjisLineEdit* eAuthor = nullptr;
    SjisLineEdit* eDescription = nullptr;
    SjisLineEdit* eKeywords = nullptr;
    QPlainTextEdit* mHead = nullptr;
    QPushButton* bOK = nullptr;
    QPushButton* lCancel = nullptr;
};

}  // namespace korvane
