// The KeyPress event of a text box or grid: one character code per typed character key.
#pragma once

#include <functional>

class QKeyEvent;
class QWidget;

namespace adoui {

/// The character code a key event types (Enter 13, Backspace 8, Ctrl+V 22, 'a' 97), or -1 for
/// a key that types no single character (arrows, Delete, function keys, composed text).
int keyAscii(const QKeyEvent* event);

/// Calls `handler` with the code of every character typed into `box` (by a key, or composed by
/// a dead key or an input method), before the box sees it. A handler that sets the code to 0
/// swallows the character; any other value lets it through unchanged. The hook lives as long as
/// the box.
void onKeyPress(QWidget* box, std::function<void(int&)> handler);

} // namespace adoui
