// The page check dialog "ﾍﾟｰｼﾞの点検": the findings of the document's check,
// one a row (line, column, kind, message); Enter or a double click on a row
// selects its place in the editor. Modeless, so the user fixes a finding and
// checks again ("再点検(&R)") without closing it; it checks again on each
// showing and after each save while it is shown.
#pragma once

#include <vector>

#include "platform/modeless_dialog.h"
#include "tags/document_check.h"

class QLabel;
class QModelIndex;
class QPushButton;
class QTreeView;

namespace korvane {

class FindingsModel;

class TfCheck : public ModelessDialog {
    Q_OBJECT

  public:
    explicit TfCheck(const DocumentCheck& check, QWidget* parent = nullptr);
    ~TfCheck() override;

    // Shows the dialog and checks; an open dialog checks again and comes to
    // the front.
    void showAndCheck();
    // After a save: the page on the disk has changed, and so may the files
    // it refers to by then.
    void recheckIfShown();

    // Handlers.
    void bRecheckClick();
    void lvFindingsActivated(const QModelIndex& index);

    const std::vector<Finding>& findings() const;

  protected:
    void formShow() override;

  private:
    const DocumentCheck& m_check;
    FindingsModel* m_model;
    QTreeView* lvFindings;
    QLabel* lSummary;
    QPushButton* bRecheck;
    QPushButton* bClose;
};

}  // namespace korvane
