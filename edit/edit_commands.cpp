#include "edit/edit_commands.h"

namespace korvane {

void EditCommands::registerCommands(CommandTable& table) {
    table.add({"Repeat1Click", "Repeat2Click", "Repeat3Click"}, [this] { Repeat1Click(); });
    table.add({"Redo1Click", "Redo2Click", "Redo3Click"}, [this] { Redo1Click(); });
    table.add({"T1Click", "T2Click", "N7Click"}, [this] { T1Click(); });
    table.add({"Copy1Click", "Copy2Click", "Copy3Click"}, [this] { Copy1Click(); });
    table.add({"P2Click", "P5Click", "N8Click"}, [this] { P2Click(); });
    table.add({"A1Click", "A2Click", "N10Click"}, [this] { A1Click(); });
    table.add({"Delete1Click", "Delete2Click", "Delete3Click"}, [this] { Delete1Click(); });
}

}  // namespace korvane
