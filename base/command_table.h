// Commands by name.
//
// Each subsystem object registers its handlers here under the names the
// handlers have (New1Click, B2Click, ...); the menus, tool bars and the
// context menu are rows of data that name the command they run. An item
// whose command nobody registered has nothing to do and is shown disabled.
#pragma once

#include <functional>
#include <initializer_list>
#include <map>
#include <string>
#include <string_view>
#include <utility>

namespace korvane {

class CommandTable {
  public:
    using Handler = std::function<void()>;

    // Registers `handler` under `name`; a second registration of a name
    // replaces the first.
    void add(std::string name, Handler handler);
    // The one way to give a command several names (a menu item, its tool
    // button and its context-menu item each have their own handler name).
    void add(std::initializer_list<std::string_view> names, const Handler& handler);
    bool has(std::string_view name) const;
    // Runs the command; false when none is registered under `name`, or
    // while the table is held.
    bool run(std::string_view name) const;
    // While `held` says so, no command runs: long work is keeping the window
    // painted, and a command from a menu or a short-cut would run in the
    // middle of it.
    void setHold(std::function<bool()> held) { m_held = std::move(held); }
    std::size_t size() const { return m_handlers.size(); }

  private:
    std::map<std::string, Handler, std::less<>> m_handlers;
    std::function<bool()> m_held;
};

}  // namespace korvane
