#include "tags/tag_dialog.h"

#include <QLabel>
#include <QPushButton>
#include <QShowEvent>

namespace korvane {

TagDialog::TagDialog(EditControl& edit, TagHighlighter& highlighter, const QString& caption,
                     const char* name, QWidget* parent)
    : QDialog(parent), m_edit(edit), m_highlighter(highlighter) {
    setObjectName(QString::fromLatin1(name));
    setWindowTitle(caption);
    setModal(false);
    bOK = new QPushButton(QStringLiteral("ＯＫ"), this);
    bOK->setObjectName(QStringLiteral("bOK"));
    bOK->setDefault(true);
    bCancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    bCancel->setObjectName(QStringLiteral("bCancel"));
    // Esc and the close button hide the dialog as Cancel does (QDialog's
    // reject hides a modeless dialog; nothing is destroyed).
    connect(bCancel, &QPushButton::clicked, this, &TagDialog::bCancelClick);
}

void TagDialog::showModeless() {
    if (isVisible()) {
        raise();
        activateWindow();
        return;
    }
    show();
}

void TagDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous())
        formShow();
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
