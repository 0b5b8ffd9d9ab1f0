// Keys as the forms see them.
#pragma once

#include "platform/form.h"

class QKeyEvent;

namespace orbus::qt {

// A character the boxes take as text (no control character, no DEL).
inline bool printable(int key) { return key >= 32 && key != 127; }

// The key's character code as a box's key filter takes it (13 for Enter, 8
// for backspace), or -1 for a key that is no character.
int keyAscii(const QKeyEvent* k);

// A key the forms handle themselves, or Key::Other.
KeyEvent formKeyOf(const QKeyEvent* k);

}  // namespace orbus::qt
