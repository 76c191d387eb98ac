#include "base/command_table.h"

#include <utility>

namespace korvane {

void CommandTable::add(std::string name, Handler handler) {
    m_handlers.insert_or_assign(std::move(name), std::move(handler));
}

void CommandTable::add(std::initializer_list<std::string_view> names, const Handler& handler) {
    for (const std::string_view name : names)
        add(std::string(name), handler);
}

bool CommandTable::has(std::string_view name) const {
    return m_handlers.find(name) != m_handlers.end();
}

bool CommandTable::run(std::string_view name) const {
    const auto it = m_handlers.find(name);
    if (it == m_handlers.end() || !it->second || (m_held && m_held()))
        return false;
    // A copy: a handler may register or replace commands while it runs.
    const Handler handler = it->second;
    handler();
    return true;
}

}  // namespace korvane
