#include "editor/sjis_line_edit.h"

#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QToolTip>
#include <QValidator>

#include "editor/file_drag.h"

namespace korvane {

namespace {

// Fixes the text of a one-line box as it comes in; QLineEdit applies what a
// validator writes back, for typing, input methods, paste and drop alike.
class SjisValidator : public QValidator {
  public:
    explicit SjisValidator(SjisLineEdit* box) : QValidator(box), m_box(box) {}

    State validate(QString& input, int& pos) const override {
        const SjisLineBreaks lineBreaks = m_box->lineBreaks();
        SjisFiltered filtered = filterForShiftJis(input, lineBreaks);
        if (filtered.text == input)
            return Acceptable;
        pos = static_cast<int>(filterForShiftJis(input.left(pos), lineBreaks).text.size());
        input = filtered.text;
        if (!filtered.replaced.isEmpty()) {
            emit m_box->charactersReplaced(replacementNotice(filtered.replaced));
        }
        return Acceptable;
    }

  private:
    SjisLineEdit* m_box;
};

}  // namespace

SjisLineEdit::SjisLineEdit(QWidget* parent) : QLineEdit(parent) {
    setValidator(new SjisValidator(this));
    connect(this, &SjisLineEdit::charactersReplaced, this, [this](const QString& message) {
        QToolTip::showText(mapToGlobal(cursorRect().bottomLeft()), message, this);
    });
}

std::string SjisLineEdit::bytes() const {
    return toSjis(text());
}

void SjisLineEdit::setBytes(std::string_view bytes) {
    setText(fromSjis(bytes));
}

void SjisLineEdit::dragEnterEvent(QDragEnterEvent* event) {
    if (!refuseFileDrag(event))
        QLineEdit::dragEnterEvent(event);
}

void SjisLineEdit::dragMoveEvent(QDragMoveEvent* event) {
    if (!refuseFileDrag(event))
        QLineEdit::dragMoveEvent(event);
}

void SjisLineEdit::dropEvent(QDropEvent* event) {
    if (!refuseFileDrag(event))
        QLineEdit::dropEvent(event);
}

}  // namespace korvane
