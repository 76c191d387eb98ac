// The editor's own handling of two keys, in both modes: Enter keeps the
// indentation of the line, and Left / Right at the ends of the text do
// nothing (so they neither beep nor lose the selection).
#pragma once

#include "base/edit_control.h"

namespace korvane {

constexpr int kKeyEnter = 13;  // the character the Enter key types
constexpr int kVkLeft = 0x25;  // key codes as the key-down event gives them
constexpr int kVkRight = 0x27;

// A typed character. Enter replaces the selection with CR LF and the blanks
// (spaces and tabs) that begin the caret's display line, at most as many as
// stand before the caret. Returns true when the key was handled here and the
// control must not add a line break of its own.
bool reMainOnpress(EditControl& edit, int keyChar);

// A key going down. Returns true when the key is to be ignored: Left with the
// caret at the start, or Right with the caret at the end, nothing selected.
bool reMainKeyDown(const EditControl& edit, int virtualKey);

}  // namespace korvane
