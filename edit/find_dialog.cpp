#include "edit/find_dialog.h"

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

FindDialog::FindDialog(Search& search, QWidget* parent)
    : ModelessDialog(QStringLiteral("検索"), "fdMain", parent), m_search(search) {
    useOwnersFont();

    auto* label = new QLabel(QStringLiteral("検索する文字列(&N):"), this);
    m_findWhat = new SjisLineEdit(this);
    m_findWhat->setObjectName(QStringLiteral("findWhat"));
    label->setBuddy(m_findWhat);

    m_matchCase = new QCheckBox(QStringLiteral("大文字と小文字を区別する(&C)"), this);
    m_matchCase->setObjectName(QStringLiteral("matchCase"));

    auto* direction = new QGroupBox(QStringLiteral("方向"), this);
    direction->setObjectName(QStringLiteral("direction"));
    m_up = new QRadioButton(QStringLiteral("上へ(&U)"), direction);
    m_up->setObjectName(QStringLiteral("up"));
    m_down = new QRadioButton(QStringLiteral("下へ(&D)"), direction);
    m_down->setObjectName(QStringLiteral("down"));
    m_down->setChecked(true);  // the dialog starts searching down
    auto* directionRow = new QHBoxLayout(direction);
    directionRow->addWidget(m_up);
    directionRow->addWidget(m_down);
    useWindowsRadioKeys(*direction);

    m_findNext = new QPushButton(QStringLiteral("次を検索(&F)"), this);
    m_findNext->setObjectName(QStringLiteral("findNext"));
    m_findNext->setDefault(true);
    m_findNext->setAutoDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("キャンセル"), this);
    cancel->setObjectName(QStringLiteral("cancel"));
    cancel->setAutoDefault(false);

    // As on Windows: the field and the options on the left, the buttons in a
    // column on the right.
    auto* grid = new QGridLayout(this);
    auto* fieldRow = new QHBoxLayout;
    fieldRow->addWidget(label);
    fieldRow->addWidget(m_findWhat, 1);
    grid->addLayout(fieldRow, 0, 0, 1, 2);
    grid->addWidget(m_matchCase, 1, 0, Qt::AlignBottom);
    grid->addWidget(direction, 1, 1);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_findNext);
    buttons->addWidget(cancel);
    buttons->addStretch(1);
    grid->addLayout(buttons, 0, 2, 2, 1);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_findNext, &QPushButton::clicked, this, &FindDialog::findNext);
    connect(cancel, &QPushButton::clicked, this, &QDialog::hide);
    connect(m_findWhat, &QLineEdit::textChanged, this, &FindDialog::textEdited);
    textEdited();
}

void FindDialog::showFindDialog() {
    showModeless();
    // Also when it was open already: the command is there to type what to
    // find, over the text kept from the last time.
    m_findWhat->setFocus(Qt::OtherFocusReason);
    m_findWhat->selectAll();
}

bool FindDialog::matchCaseTicked() const {
    return m_matchCase->isChecked();
}

// The Windows dialog offers find-next only with something to find.
void FindDialog::textEdited() {
    m_findNext->setEnabled(!m_findWhat->text().isEmpty());
}

void FindDialog::findNext() {
    m_search.FdmainFind(m_findWhat->bytes(), m_down->isChecked());
}

}  // namespace korvane
