// Where the keyboard focus goes in the program's dialogs, as in Windows
// dialogs: a dialog opens with the focus on its first field, and a group of
// radio buttons is one stop that lands on its chosen button.
//
// Qt does neither by itself. A shown dialog keeps the widget that had the
// focus when it was hidden (or gives it to the default button), and a group
// of radio buttons hands the focus back to the button focused last, even
// when the program has chosen another one since: an arrow key pressed then
// moves from the wrong item.
#pragma once

class QGroupBox;
class QWidget;

namespace korvane {

// Makes the radio buttons directly inside `group` (their creation order is
// the item order) answer the keyboard as a Windows radio group does:
// - the group's access key and Tab put the focus on the chosen button (on
//   the first one while none is chosen);
// - Down and Right choose the next enabled item, Up and Left the one before,
//   round at the ends, in item order rather than Qt's nearest on the screen,
//   so Left and Right work in a column and Up and Down in a row.
// Call it once the buttons are made.
void useWindowsRadioKeys(QGroupBox& group);

// Gives the focus to the first widget of `dialog` in tab order that takes
// it (the chosen button of a radio group), as a Windows dialog does each
// time it opens. Nothing happens when no widget takes the focus.
void focusFirstField(QWidget& dialog);

}  // namespace korvane
