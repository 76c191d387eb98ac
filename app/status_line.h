// The status line at the right of the window's bottom row, in both modes:
// the caret's line and column, the selection's length, a word on what the
// last search or replace did, and the document's encoding and line breaks.
//
// Lines and columns count characters from 1 as the user sees the text: a
// long line held in pieces is one line, a tab one character. The caret's
// moves come in bursts (a key held down, a drag), so the line is worked out
// once per turn of the event loop, after the burst, not per move.
#pragma once

#include <QLabel>
#include <QString>

#include <utility>

#include "editor/logical_lines.h"

namespace korvane {

class RichEdit;

inline constexpr const char* kDefaultDocumentFormat = "Shift_JIS  CRLF";

class StatusLine : public QLabel {
    Q_OBJECT

  public:
    StatusLine(RichEdit& editor, QWidget* parent);

    // The document's encoding and line-break style, as the status line
    // shows it ("Shift_JIS  CRLF" until told otherwise).
    void setDocumentFormat(const QString& format);
    // A word on what just happened, shown until the caret moves or the
    // text changes.
    void showMessage(const QString& message);
    // Works out the line now rather than at the end of the turn.
    void refresh();

  private:
    void schedule();

    RichEdit& m_editor;
    LogicalLines m_lines;
    bool m_scheduled = false;
    QString m_format;
    QString m_message;
    std::pair<int, int> m_messageSelection;
};

}  // namespace korvane
