// Undo, cut, copy, paste, select all and delete on the editor.
//
// Three places offer them: the Edit menu of each mode and the editor's
// context menu (and the tool bars some of them). Each place has handlers of
// its own names; all of them send the same six requests to the editor, which
// keeps the clipboard and the undo history itself.
#pragma once

#include "base/command_table.h"
#include "base/edit_control.h"

namespace korvane {

class EditCommands {
  public:
    explicit EditCommands(EditControl& edit) : m_edit(edit) {}

    void Repeat1Click() { m_edit.undo(); }
    void Redo1Click() { m_edit.redo(); }
    void T1Click() { m_edit.cut(); }
    void Copy1Click() { m_edit.copy(); }
    void P2Click() { m_edit.paste(); }
    void A1Click() { m_edit.setSelection(0, m_edit.textLength()); }
    void Delete1Click() { m_edit.clearSelection(); }

    // Registers the six and redo under every name they have in the menus, the
    // context menu and the tool bars.
    void registerCommands(CommandTable& table);

  private:
    EditControl& m_edit;
};

}  // namespace korvane
