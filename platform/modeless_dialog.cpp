#include "platform/modeless_dialog.h"

#include <QShowEvent>

#include "platform/dialog_focus.h"

namespace korvane {

ModelessDialog::ModelessDialog(const QString& caption, const char* name, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QString::fromLatin1(name));
    setWindowTitle(caption);
    setModal(false);
    // A fixed dialog frame: no size grip, no maximise button.
    setSizeGripEnabled(false);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
}

void ModelessDialog::showModeless() {
    if (isVisible()) {
        raise();
        activateWindow();
        return;
    }
    show();
}

void ModelessDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        formShow();
        focusFirstField(*this);
    }
}

void ModelessDialog::useOwnersFont() {
    if (parentWidget() != nullptr)
        setFont(parentWidget()->font());
}

}  // namespace korvane
