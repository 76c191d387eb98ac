#include "app/settings_store.h"

#include <utility>

#include "platform/profile.h"

namespace korvane {

SettingsStore::SettingsStore(std::string path) : m_path(std::move(path)) {}

void SettingsStore::load(const SystemColorLookup& systemColor) {
    Profile profile(m_path);
    profile.load();
    m_values = loadSettings(profile, systemColor);
}

void SettingsStore::changed(Change change) {
    for (const Listener& listener : m_listeners)
        listener(change, m_values);
}

bool SettingsStore::report(const ProfileWriteResult& result) {
    if (result.ok)
        return true;
    if (m_messages)
        m_messages->showError(writeFailedMessage(result.path), result.error);
    return false;
}

bool SettingsStore::storeWindowSize(int height, int width) {
    m_values.height = height;
    m_values.width = width;
    changed(Change::WindowSize);
    Profile profile(m_path);
    return report(writeWindowSize(profile, height, width));
}

bool SettingsStore::storeTextModeFont(const std::string& name, int size) {
    m_values.kvnName = name;
    m_values.kvnSize = size;
    changed(Change::TextModeFont);
    Profile profile(m_path);
    return report(writeTextModeFont(profile, name, size));
}

bool SettingsStore::storeTagModeFont(const std::string& name, int size) {
    m_values.mvxName = name;
    m_values.mvxSize = size;
    changed(Change::TagModeFont);
    Profile profile(m_path);
    return report(writeTagModeFont(profile, name, size));
}

bool SettingsStore::storeOptions(const Options& options) {
    m_values.options = options;
    changed(Change::Options);
    Profile profile(m_path);
    return report(writeOptions(profile, options));
}

bool SettingsStore::storeLineNumbers(bool shown) {
    m_values.lineNumbers = shown;
    changed(Change::LineNumbers);
    Profile profile(m_path);
    return report(writeLineNumbers(profile, shown));
}

bool SettingsStore::storeColors() {
    changed(Change::Colors);
    Profile profile(m_path);
    return report(writeColorSettings(profile, m_values.options, m_values.page));
}

bool SettingsStore::storeDetails() {
    changed(Change::Details);
    Profile profile(m_path);
    return report(writeDetailSettings(profile, m_values.options, m_values.page));
}

}  // namespace korvane
