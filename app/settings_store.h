// The one owner of the settings during a run.
//
// It holds the values read at start-up and the settings file's path; the
// objects that use a value read it here when they run (the opening rules,
// the page settings), and those that keep a copy (the highlighter's colour
// and default, the editor fonts) are told when it changes. Each store
// changes the values of the run first and then writes its group of keys as
// the settings file's writers do, stopping at the first key that fails;
// the failure reaches the user through the one error channel, and the new
// values stay in effect. Dialogs edit a copy and hand it back on OK.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/settings.h"
#include "base/color.h"
#include "platform/common_dialogs.h"

namespace korvane {

class SettingsStore {
  public:
    // What changed, for the listeners.
    enum class Change {
        WindowSize,
        TextModeFont,
        TagModeFont,
        Options,
        Colors,
        Details,
        LineNumbers
    };
    using Listener = std::function<void(Change change, const StartupSettings& values)>;

    explicit SettingsStore(std::string path);
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    // Start-up: the file's values in the start-up order; a file that cannot
    // be read gives the defaults, like a missing one.
    void load(const SystemColorLookup& systemColor = {});

    const std::string& path() const { return m_path; }
    const StartupSettings& values() const { return m_values; }
    // The page settings are one record for the run, edited in place by the
    // page dialogs (their writes then go through storeColors/storeDetails).
    PageSettings& page() { return m_values.page; }

    // Where a failed write is shown; nothing is shown without one.
    void setMessages(MessageBoxes* messages) { m_messages = messages; }
    void onChange(Listener listener) { m_listeners.push_back(std::move(listener)); }

    // Each returns false when a key could not be written (after showing it).
    bool storeWindowSize(int height, int width);
    bool storeTextModeFont(const std::string& name, int size);
    bool storeTagModeFont(const std::string& name, int size);
    bool storeOptions(const Options& options);
    bool storeLineNumbers(bool shown);
    // The page colours and details as they stand in page(), written as the
    // keep options say.
    bool storeColors();
    bool storeDetails();

  private:
    void changed(Change change);
    bool report(const ProfileWriteResult& result);

    std::string m_path;
    StartupSettings m_values;
    MessageBoxes* m_messages = nullptr;
    std::vector<Listener> m_listeners;
};

}  // namespace korvane
