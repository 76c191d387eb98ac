// A main window whose dialogs are scripted and whose shell only records, as
// the window tests make it: a command that opens a dialog or starts a copy
// never shows one or starts a process there.
#pragma once

#include <memory>

#include "app/tvantler.h"
#include "tests/support/recording_shell.h"
#include "tests/support/scripted_dialogs.h"

namespace korvane::test {

// A fresh window in `window` (the old one closed first, so the two never
// share the settings file), its dialogs in `scripted`, its shell in `shell`.
inline void createScriptedWindow(std::unique_ptr<Tvantler>& window,
                                 std::unique_ptr<ScriptedDialogs>& scripted,
                                 RecordingShell*& shell) {
    window.reset();
    scripted = std::make_unique<ScriptedDialogs>();
    auto recording = std::make_unique<RecordingShell>();
    shell = recording.get();
    window = std::make_unique<Tvantler>(scripted->release(), std::move(recording));
}

}  // namespace korvane::test
