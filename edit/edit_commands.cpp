#include "edit/edit_commands.h"

namespace korvane {

void EditCommands::registerCommands(CommandTable& table) {
    for (const char* name : {"Repeat1Click", "Repeat2Click", "Repeat3Click"})
        table.add(name, [this] { Repeat1Click(); });
    for (const char* name : {"T1Click", "T2Click", "N7Click"})
        table.add(name, [this] { T1Click(); });
    for (const char* name : {"Copy1Click", "Copy2Click", "Copy3Click"})
        table.add(name, [this] { Copy1Click(); });
    for (const char* name : {"P2Click", "P5Click", "N8Click"})
        table.add(name, [this] { P2Click(); });
    for (const char* name : {"A1Click", "A2Click", "N10Click"})
        table.add(name, [this] { A1Click(); });
    for (const char* name : {"Delete1Click", "Delete2Click", "Delete3Click"})
        table.add(name, [this] { Delete1Click(); });
}

}  // namespace korvane
