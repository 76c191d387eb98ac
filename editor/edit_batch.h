// The editor's edit blocks (EditControl::beginEditBlock/endEditBlock): the
// edits between them are taken back by one undo.
//
// Each edit inside the block is a document edit block of its own, so the
// document reports it (and the mirror follows) at once; the edits after the
// first join the first one's undo step. An edit block with nothing shown (a
// replace-all) goes further: its edits share one open document edit block,
// in which the toolkit neither lays out nor places the cursor after each
// edit (see RichEdit::replaceInBatch).
#pragma once

#include <QTextCursor>

class QTextDocument;

namespace korvane {

class EditBatch {
  public:
    void begin() { ++m_depth; }
    // Whether this ended the outermost block.
    bool end();
    bool inBlock() const { return m_depth > 0; }

    // Opens the document edit block of one of our edits: a new undo step,
    // or inside an edit block of ours the step of its first edit.
    void openEdit(QTextDocument& doc, QTextCursor& cursor);

    // The document edit block that the edits of a block that does not show
    // share; opened by the first of them.
    void openSharedBlock(QTextDocument& doc);
    // An edit of the block went into the shared document edit block.
    void sharedEditMade() { m_hasStep = true; }
    bool sharedBlockOpen() const { return m_sharedOpen; }
    // Ends the shared document edit block; the document then reports its
    // edits at once.
    void closeSharedBlock();

  private:
    int m_depth = 0;
    bool m_hasStep = false;  // the outermost block has its undo step already
    bool m_sharedOpen = false;
    QTextCursor m_sharedCursor;
};

}  // namespace korvane
