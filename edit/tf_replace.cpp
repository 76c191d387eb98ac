#include "edit/tf_replace.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "editor/sjis_line_edit.h"
#include "platform/dialog_focus.h"

namespace korvane {

TfReplace::TfReplace(Search& search, QWidget* parent)
    : ModelessDialog(QStringLiteral("置換"), "fReplace", parent), m_search(search) {
    useOwnersFont();

    auto* label1 = new QLabel(QStringLiteral("置換前(&P)"), this);
    label1->setObjectName(QStringLiteral("Label1"));
    m_ePre = new SjisLineEdit(this);
    m_ePre->setObjectName(QStringLiteral("ePre"));
    label1->setBuddy(m_ePre);
    auto* label2 = new QLabel(QStringLiteral("置換後(&A)"), this);
    label2->setObjectName(QStringLiteral("Label2"));
    m_eAfter = new SjisLineEdit(this);
    m_eAfter->setObjectName(QStringLiteral("eAfter"));
    label2->setBuddy(m_eAfter);

    m_cbIgnore = new QCheckBox(QStringLiteral("大/小文字の区別(&I)"), this);
    m_cbIgnore->setObjectName(QStringLiteral("cbIgnore"));

    // A radio group of two columns: "上" (item 0) and "下" (item 1).
    auto* rgDirection = new QGroupBox(QStringLiteral("検索方向(&D)"), this);
    rgDirection->setObjectName(QStringLiteral("rgDirection"));
    m_up = new QRadioButton(QStringLiteral("上"), rgDirection);
    m_up->setObjectName(QStringLiteral("rgDirectionUp"));
    m_down = new QRadioButton(QStringLiteral("下"), rgDirection);
    m_down->setObjectName(QStringLiteral("rgDirectionDown"));
    m_down->setChecked(true);
    // Each button a line of text high, no more: Qt's buttons ask for a few
    // pixels more, which the three rows of the design do not have, and a
    // group squeezed below its size runs into the dialog's edge.
    for (QRadioButton* item : {m_up, m_down})
        item->setFixedHeight(item->fontMetrics().height());
    auto* columns = new QHBoxLayout(rgDirection);
    columns->setContentsMargins(8, 0, 4, 0);
    columns->setSpacing(12);
    columns->addWidget(m_up);
    columns->addWidget(m_down);
    useWindowsRadioKeys(*rgDirection);

    auto* bOK = new QPushButton(QStringLiteral("ＯＫ"), this);
    bOK->setObjectName(QStringLiteral("bOK"));
    bOK->setDefault(true);
    auto* bAll = new QPushButton(QStringLiteral("全て置換(&R)"), this);
    bAll->setObjectName(QStringLiteral("bAll"));
    bAll->setAutoDefault(false);
    auto* bCancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    bCancel->setObjectName(QStringLiteral("bCancel"));
    bCancel->setAutoDefault(false);

    // The two labelled fields one above the other, the box and the
    // direction side by side below them, the buttons in a column at the
    // right: OK at the top, replace-all below it, Cancel at the bottom.
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(4, 3, 4, 4);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(1);
    // Three rows in 90 pixels: the fields take no more than they need.
    for (SjisLineEdit* field : {m_ePre, m_eAfter})
        field->setFixedHeight(20);
    grid->addWidget(label1, 0, 0);
    grid->addWidget(m_ePre, 0, 1, 1, 2);
    grid->addWidget(label2, 1, 0);
    grid->addWidget(m_eAfter, 1, 1, 1, 2);
    grid->addWidget(m_cbIgnore, 2, 0, 1, 2, Qt::AlignBottom);
    grid->addWidget(rgDirection, 2, 2);
    auto* buttons = new QVBoxLayout;
    buttons->setSpacing(3);
    buttons->addWidget(bOK);
    buttons->addWidget(bAll);
    buttons->addStretch(1);
    buttons->addWidget(bCancel);
    grid->addLayout(buttons, 0, 3, 3, 1);
    grid->setColumnStretch(2, 1);
    // A fixed dialog frame around a client area of 339 x 90.
    setFixedSize(339, 90);

    connect(bOK, &QPushButton::clicked, this, &TfReplace::bOKClick);
    connect(bAll, &QPushButton::clicked, this, &TfReplace::bAllClick);
    connect(bCancel, &QPushButton::clicked, this, &TfReplace::bCancelClick);
}

void TfReplace::showReplaceDialog() {
    showModeless();
}

void TfReplace::formShow() {
    m_ePre->setBytes(m_search.SearchText());
}

bool TfReplace::up() const {
    return m_up->isChecked();
}

void TfReplace::bOKClick() {
    m_search.replaceNext(m_ePre->bytes(), m_eAfter->bytes(), m_cbIgnore->isChecked(), up());
    hide();
}

void TfReplace::bAllClick() {
    m_search.replaceAll(m_ePre->bytes(), m_eAfter->bytes(), m_cbIgnore->isChecked(), up());
    hide();
}

}  // namespace korvane
