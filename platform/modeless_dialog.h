// A dialog window of the program's own: created once and kept for the run,
// shown without blocking the main window and above it, hidden (never
// destroyed) by its buttons, Esc and the close button, and loading its
// controls each time it is shown, then focusing its first field.
#pragma once

#include <QDialog>

namespace korvane {

class ModelessDialog : public QDialog {
    Q_OBJECT

  public:
    // Shows the dialog, or only brings it to the front when it is shown: a
    // dialog already open keeps its working values.
    void showModeless();

  protected:
    // A dialog with a parent stays above it (a transient window).
    ModelessDialog(const QString& caption, const char* name, QWidget* parent);

    // Runs each time the dialog is shown (not when it comes back from being
    // minimised).
    virtual void formShow() = 0;
    void showEvent(QShowEvent* event) override;

    // Shows the dialog in its owner's font: a dialog window does not take it
    // by itself.
    void useOwnersFont();
};

}  // namespace korvane
