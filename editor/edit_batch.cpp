#include "editor/edit_batch.h"

#include <QTextDocument>

namespace korvane {

bool EditBatch::end() {
    if (m_depth == 0 || --m_depth > 0)
        return false;
    m_hasStep = false;
    return true;
}

void EditBatch::openEdit(QTextDocument& doc, QTextCursor& cursor) {
    // The document's own edit block would hold every change report back to
    // its end, and the mirror with it; joining the previous step keeps the
    // reports coming edit by edit.
    if (m_depth > 0 && m_hasStep && doc.isUndoAvailable())
        cursor.joinPreviousEditBlock();
    else
        cursor.beginEditBlock();
    m_hasStep = m_depth > 0;
}

void EditBatch::openSharedBlock(QTextDocument& doc) {
    if (m_sharedOpen)
        return;
    // Edits of this block made before it stopped showing keep the one undo
    // step.
    m_sharedCursor = QTextCursor(&doc);
    if (m_hasStep && doc.isUndoAvailable())
        m_sharedCursor.joinPreviousEditBlock();
    else
        m_sharedCursor.beginEditBlock();
    m_sharedOpen = true;
}

void EditBatch::closeSharedBlock() {
    if (!m_sharedOpen)
        return;
    m_sharedOpen = false;
    m_sharedCursor.endEditBlock();
    m_sharedCursor = QTextCursor();
}

}  // namespace korvane
