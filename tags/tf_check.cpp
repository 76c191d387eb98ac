#include "tags/tf_check.h"

#include <QAbstractTableModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

#include <string>
#include <utility>

namespace korvane {

// The findings as rows of four columns. A page with a problem on every
// other tag gives tens of thousands of rows: the view asks only for those
// it shows.
class FindingsModel final : public QAbstractTableModel {
  public:
    enum Column { Line, Column, Kind, Message, Columns };

    explicit FindingsModel(QObject* parent) : QAbstractTableModel(parent) {}

    void setFindings(std::vector<Finding> findings) {
        beginResetModel();
        m_findings = std::move(findings);
        endResetModel();
    }
    const std::vector<Finding>& findings() const { return m_findings; }

    int rowCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : static_cast<int>(m_findings.size());
    }
    int columnCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : Columns;
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || index.row() >= static_cast<int>(m_findings.size()))
            return {};
        const Finding& finding = m_findings[static_cast<std::size_t>(index.row())];
        if (role == Qt::TextAlignmentRole && index.column() <= Column)
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
            return {};
        switch (index.column()) {
            case Line:
                return QString::number(finding.line);
            case Column:
                return QString::number(finding.column);
            case Kind:
                return QString::fromUtf8(kindCaption(finding.kind).data(),
                                         static_cast<qsizetype>(kindCaption(finding.kind).size()));
            default:
                return QString::fromStdString(finding.message);
        }
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
            return {};
        static const char* const kHeaders[] = {"行", "桁", "種類", "内容"};
        return section >= 0 && section < Columns ? QString::fromUtf8(kHeaders[section])
                                                 : QVariant();
    }

  private:
    std::vector<Finding> m_findings;
};

TfCheck::TfCheck(const DocumentCheck& check, QWidget* parent)
    : ModelessDialog(QStringLiteral("ﾍﾟｰｼﾞの点検"), "TfCheck", parent), m_check(check) {
    m_model = new FindingsModel(this);
    lvFindings = new QTreeView(this);
    lvFindings->setObjectName(QStringLiteral("lvFindings"));
    lvFindings->setModel(m_model);
    lvFindings->setRootIsDecorated(false);
    lvFindings->setUniformRowHeights(true);
    lvFindings->setAllColumnsShowFocus(true);
    lvFindings->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvFindings->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvFindings->header()->setStretchLastSection(true);
    lvFindings->setColumnWidth(FindingsModel::Line, 50);
    lvFindings->setColumnWidth(FindingsModel::Column, 40);
    lvFindings->setColumnWidth(FindingsModel::Kind, 100);
    lvFindings->setMinimumSize(420, 160);
    lSummary = new QLabel(this);
    lSummary->setObjectName(QStringLiteral("lSummary"));
    bRecheck = new QPushButton(QStringLiteral("再点検(&R)"), this);
    bRecheck->setObjectName(QStringLiteral("bRecheck"));
    bClose = new QPushButton(QStringLiteral("閉じる"), this);
    bClose->setObjectName(QStringLiteral("bClose"));
    // Enter belongs to the list: it takes the user to the finding, and no
    // button may take it as the dialog's default.
    for (QPushButton* button : {bRecheck, bClose}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(lSummary, 1);
    buttons->addWidget(bRecheck);
    buttons->addWidget(bClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lvFindings, 1);
    layout->addLayout(buttons);

    // Wide enough for most messages on a 640-pixel screen; the tool tip
    // holds the rest.
    resize(620, 320);

    connect(bRecheck, &QPushButton::clicked, this, &TfCheck::bRecheckClick);
    connect(bClose, &QPushButton::clicked, this, &QDialog::reject);
    // Enter and a double click (or a single click where the desktop opens
    // items so).
    connect(lvFindings, &QAbstractItemView::activated, this, &TfCheck::lvFindingsActivated);
}

TfCheck::~TfCheck() = default;

const std::vector<Finding>& TfCheck::findings() const {
    return m_model->findings();
}

void TfCheck::formShow() {
    bRecheckClick();
}

void TfCheck::showAndCheck() {
    // A dialog that opens checks as it is shown (formShow).
    recheckIfShown();
    showModeless();
}

void TfCheck::recheckIfShown() {
    if (isVisible())
        bRecheckClick();
}

void TfCheck::bRecheckClick() {
    PageCheckResult result = m_check.run();
    const std::size_t count = result.findings.size();
    m_model->setFindings(std::move(result.findings));
    QString summary = count == 0 ? QStringLiteral("問題は見つかりませんでした")
                                 : QStringLiteral("%1 件見つかりました").arg(count);
    if (!result.complete)
        summary = QStringLiteral("点検を途中でやめました（%1 件）").arg(count);
    lSummary->setText(summary);
    if (count > 0) {
        lvFindings->setCurrentIndex(m_model->index(0, 0));
        lvFindings->setFocus(Qt::OtherFocusReason);
    }
}

void TfCheck::lvFindingsActivated(const QModelIndex& index) {
    const std::vector<Finding>& all = m_model->findings();
    if (!index.isValid() || index.row() >= static_cast<int>(all.size()))
        return;
    m_check.goTo(all[static_cast<std::size_t>(index.row())]);
}

}  // namespace korvane
