#include "platform/qt/keys.h"

#include <QKeyEvent>

namespace orbus::qt {

int keyAscii(const QKeyEvent* k) {
    switch (k->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Backspace: return 8;
    default: break;
    }
    const QString t = k->text();
    if (t.size() == 1 && t[0].unicode() >= 32 && t[0].unicode() < 127) return t[0].unicode();
    return -1;  // not a character key: the widget handles it
}

KeyEvent formKeyOf(const QKeyEvent* k) {
    KeyEvent e;
    e.keypad = k->modifiers() & Qt::KeypadModifier;
    e.autoRepeat = k->isAutoRepeat();
    e.nativeKey = static_cast<int>(k->nativeScanCode());
    switch (k->key()) {
    case Qt::Key_Left: e.key = Key::Left; break;
    case Qt::Key_Up: e.key = Key::Up; break;
    case Qt::Key_Right: e.key = Key::Right; break;
    case Qt::Key_Down: e.key = Key::Down; break;
    case Qt::Key_Home: e.key = Key::Home; break;
    case Qt::Key_End: e.key = Key::End; break;
    case Qt::Key_PageUp: e.key = Key::PageUp; break;
    case Qt::Key_PageDown: e.key = Key::PageDown; break;
    case Qt::Key_Clear: e.key = Key::Clear; break;
    case Qt::Key_Backspace: e.key = Key::Backspace; break;
    case Qt::Key_Delete: e.key = Key::Delete; break;
    default:
        if (k->key() >= Qt::Key_0 && k->key() <= Qt::Key_9) {
            e.key = Key::Digit;
            e.digit = k->key() - Qt::Key_0;
        }
        break;
    }
    const QString t = k->text();
    if (t.size() == 1 && t[0].unicode() >= 32 && t[0].unicode() < 256 && t[0].unicode() != 127) e.ch = t[0].unicode();
    return e;
}

}  // namespace orbus::qt
