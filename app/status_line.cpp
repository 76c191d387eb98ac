#include "app/status_line.h"

#include <QTextDocument>

#include "editor/rich_edit.h"

namespace korvane {

StatusLine::StatusLine(RichEdit& editor, QWidget* parent)
    : QLabel(parent),
      m_editor(editor),
      m_lines(editor),
      m_format(QString::fromUtf8(kDefaultDocumentFormat)) {
    setObjectName(QStringLiteral("StatusLine"));
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setTextFormat(Qt::PlainText);
    // The last widget of the bottom row, which leaves no margin at the
    // window's right edge: right-aligned, the line breaks' last letter would
    // touch the frame.
    setContentsMargins(0, 0, 4, 0);
    connect(&editor, &QPlainTextEdit::cursorPositionChanged, this, [this] { schedule(); });
    connect(&editor, &QPlainTextEdit::selectionChanged, this, [this] { schedule(); });
    connect(&editor, &QPlainTextEdit::textChanged, this, [this] { schedule(); });
    connect(&editor, &RichEdit::selectionRequested, this, [this] { schedule(); });
    refresh();
}

void StatusLine::setDocumentFormat(const QString& format) {
    m_format = format;
    refresh();
}

void StatusLine::showMessage(const QString& message) {
    m_message = message;
    m_messageSelection = m_editor.selectionUnits();
    refresh();
}

void StatusLine::schedule() {
    if (m_scheduled)
        return;
    m_scheduled = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (m_scheduled)
                refresh();
        },
        Qt::QueuedConnection);
}

void StatusLine::refresh() {
    m_scheduled = false;
    const auto [anchor, position] = m_editor.selectionUnits();
    if (!m_message.isEmpty() && std::pair(anchor, position) != m_messageSelection)
        m_message.clear();
    QString text = QStringLiteral("%1 行, %2 桁")
                       .arg(m_lines.lineOf(position) + 1)
                       .arg(m_lines.columnOf(position) + 1);
    if (anchor != position)
        text += QStringLiteral(" (%1 文字選択)").arg(m_lines.charactersBetween(anchor, position));
    text += QStringLiteral("    ") + m_format;
    if (!m_message.isEmpty())
        text = m_message + QStringLiteral("    ") + text;
    setText(text);
}

}  // namespace korvane
