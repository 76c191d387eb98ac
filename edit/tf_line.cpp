#include "edit/tf_line.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>
#include <climits>
#include <string>

#include "edit/go_to_line.h"

namespace korvane {

TfLine::TfLine(EditControl& edit, QWidget* parent)
    : ModelessDialog(QStringLiteral("行へ移動"), "TfLine", parent), m_edit(edit) {
    auto* label = new QLabel(QStringLiteral("行番号(&L)"), this);
    m_eLine = new QSpinBox(this);
    m_eLine->setObjectName(QStringLiteral("eLine"));
    m_eLine->setMinimum(1);
    label->setBuddy(m_eLine);
    auto* bOK = new QPushButton(QStringLiteral("ＯＫ"), this);
    bOK->setObjectName(QStringLiteral("bOK"));
    bOK->setDefault(true);
    auto* bCancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    bCancel->setObjectName(QStringLiteral("bCancel"));
    bCancel->setAutoDefault(false);

    auto* row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(m_eLine, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(bOK);
    buttons->addWidget(bCancel);
    auto* column = new QVBoxLayout(this);
    column->addLayout(row);
    column->addLayout(buttons);

    connect(bOK, &QPushButton::clicked, this, &TfLine::bOKClick);
    connect(bCancel, &QPushButton::clicked, this, &QDialog::hide);
}

void TfLine::formShow() {
    const std::size_t lines = textLineCount(m_edit);
    m_eLine->setMaximum(static_cast<int>(std::min<std::size_t>(lines, INT_MAX)));
    // The caret's line: the line breaks before it, plus one.
    const std::string before = m_edit.textRange(0, m_edit.selStart());
    m_eLine->setValue(static_cast<int>(std::count(before.begin(), before.end(), '\n')) + 1);
    m_eLine->selectAll();
}

void TfLine::bOKClick() {
    goToLine(m_edit, static_cast<std::size_t>(m_eLine->value()));
    hide();
    m_edit.setFocus();
}

}  // namespace korvane
