// The one-line box of the program's dialogs and title: text that comes in
// from the keyboard, an input method, the clipboard or a drop holds only
// characters Shift_JIS can write (the filter of qt_sjis.h, shared with the
// editor), so what the screen shows is what the file will hold.
#pragma once

#include <QLineEdit>

#include <string>
#include <string_view>

#include "editor/qt_sjis.h"

namespace korvane {

// A one-line box whose text is always Shift_JIS-clean, with the document's
// byte interface. Dropped files are left to the window behind it.
class SjisLineEdit : public QLineEdit {
    Q_OBJECT

  public:
    explicit SjisLineEdit(QWidget* parent = nullptr);

    std::string bytes() const;
    void setBytes(std::string_view bytes);

    // What a line break that comes in becomes; a space unless set.
    SjisLineBreaks lineBreaks() const { return m_lineBreaks; }
    void setLineBreaks(SjisLineBreaks lineBreaks) { m_lineBreaks = lineBreaks; }

  signals:
    // Characters were replaced on the way in; `message` says which. The box
    // also shows it as a tool tip at the caret.
    void charactersReplaced(const QString& message);

  protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    SjisLineBreaks m_lineBreaks = SjisLineBreaks::Space;
};

}  // namespace korvane
