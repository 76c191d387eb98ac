#include "tags/tag_dialog.h"

#include <QLabel>
#include <QPushButton>

#include "base/text_codec.h"

namespace korvane {

TagDialog::TagDialog(EditControl& edit, TagHighlighter& highlighter, const QString& caption,
                     const char* name, QWidget* parent)
    : ModelessDialog(caption, name, parent), m_edit(edit), m_highlighter(highlighter) {
    bOK = new QPushButton(QStringLiteral("ＯＫ"), this);
    bOK->setObjectName(QStringLiteral("bOK"));
    bOK->setDefault(true);
    bCancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    bCancel->setObjectName(QStringLiteral("bCancel"));
    // Esc and the close button hide the dialog as Cancel does (QDialog's
    // reject hides a modeless dialog; nothing is destroyed).
    connect(bCancel, &QPushButton::clicked, this, &TagDialog::bCancelClick);
}

void TagDialog::showEvent(QShowEvent* event) {
    // The buttons are made before the fields of the dialog that uses them,
    // and Qt's tab order is the order of making: they would come first.
    if (!m_buttonsLast) {
        putButtonsLast();
        m_buttonsLast = true;
    }
    ModelessDialog::showEvent(event);
}

void TagDialog::putButtonsLast() {
    QWidget* last = previousInFocusChain();
    while (last != this && last->focusPolicy() == Qt::NoFocus)
        last = last->previousInFocusChain();
    // Qt reads the chain as a ring and skips widgets that take no focus,
    // the dialog among them: the last field would count as standing before
    // OK already. For the moment of the move the dialog takes part.
    const Qt::FocusPolicy own = focusPolicy();
    setFocusPolicy(Qt::TabFocus);
    setTabOrder(last, bOK);
    setTabOrder(bOK, bCancel);
    setFocusPolicy(own);
}

std::string TagDialog::inDocument(std::string_view shiftJis) const {
    return recodeFromShiftJis(shiftJis, m_edit.codec());
}

std::string TagDialog::inField(std::string_view document) const {
    return recodeToShiftJis(document, m_edit.codec());
}

void TagDialog::insertAtSelection(std::string_view text) {
    m_edit.setHideSelection(true);
    m_highlighter.insertTagText(text);
    m_edit.setHideSelection(false);
}

QLabel* buddyLabel(const QString& text, QWidget* buddy, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

}  // namespace korvane
