#include "platform/digit_input.h"

#include "platform/control.h"
#include "platform/text.h"

namespace orbus {

void hexKeyFilter(int& keyAscii) {
    const int k = keyAscii;
    // Backspace edits; Enter goes on to the window's default button.
    if (k == 8 || k == 13) return;
    if ((k >= '0' && k <= '9') || (k >= 'A' && k <= 'F')) return;
    if (k >= 'a' && k <= 'f') {
        keyAscii = k - 'a' + 'A';
        return;
    }
    keyAscii = 0;
}

std::string hexDigitsOnly(std::string_view text, std::size_t maxLength) {
    std::string clean;
    clean.reserve(text.size());
    for (char c : text) {
        if (maxLength != 0 && clean.size() >= maxLength) break;
        const int d = hexDigit(c);
        if (d >= 0) clean += hexDigitOf(static_cast<unsigned>(d));
    }
    return clean;
}

void keepHexDigits(TextBox& box) {
    const std::string clean = hexDigitsOnly(box.text(), box.maxLength() > 0 ? box.maxLength() : 0);
    if (clean != box.text()) {
        box.setText(clean);
        box.moveCaretToEnd();
    }
}

void acceptHexOnly(TextBox& box, int maxLength) {
    box.setMaxLength(maxLength);
    box.onKeyPress = [](int& k) { hexKeyFilter(k); };
    box.onChange = [&box] { keepHexDigits(box); };
}

}  // namespace orbus

namespace orbus {

void acceptDecimalOnly(TextBox& box, int maxLength) {
    box.setMaxLength(maxLength);
    box.onKeyPress = [](int& k) {
        if (k != 8 && k != 13 && (k < '0' || k > '9')) k = 0;
    };
    box.onChange = [&box] {
        std::string clean;
        for (char c : box.text()) {
            if (c >= '0' && c <= '9' && (box.maxLength() == 0 || static_cast<int>(clean.size()) < box.maxLength()))
                clean += c;
        }
        if (clean != box.text()) {
            box.setText(clean);
            box.moveCaretToEnd();
        }
    };
}

}  // namespace orbus
