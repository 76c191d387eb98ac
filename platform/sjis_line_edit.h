// Text that comes in from the keyboard, an input method, the clipboard or a
// drop holds only characters Shift_JIS can write: what the screen shows is
// what the file will hold. The editor and the one-line boxes share the
// filter; SjisLineEdit is the one-line box built on it.
#pragma once

#include <QLineEdit>
#include <QString>
#include <QStringList>

#include <string>
#include <string_view>

namespace korvane {

// What a line break in incoming text becomes.
enum class SjisLineBreaks {
    Paragraph,  // "\n", a paragraph break of the editor (CR, LF, CR LF, U+2028, U+2029)
    Space,      // " ", in a one-line box
    Removed,    // nothing, in a box for a number
};

struct SjisFiltered {
    QString text;
    // One entry per replaced character: "X→Y" (Y is what the file holds).
    QStringList replaced;
};

// Replaces each character CP932 cannot hold by what CP932 writes for it (the
// look-alike Windows writes, else "?") and each line break as asked.
SjisFiltered filterForShiftJis(const QString& text, SjisLineBreaks lineBreaks);

// The message that tells the user which characters were replaced.
QString replacementNotice(const QStringList& replaced);

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
