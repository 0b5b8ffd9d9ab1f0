#include "platform/qt/captions.h"

#include <cctype>

namespace orbus::qt {

std::string withoutMnemonic(const std::string& s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '&') {
            if (i + 1 < s.size() && s[i + 1] == '&') {
                out += '&';
                ++i;
            }
            continue;
        }
        out += s[i];
    }
    return out;
}

char mnemonicOf(const std::string& s) {
    for (std::size_t i = 0; i + 1 < s.size(); ++i) {
        if (s[i] != '&') continue;
        if (s[i + 1] == '&') {
            ++i;
            continue;
        }
        return static_cast<char>(std::toupper(static_cast<unsigned char>(s[i + 1])));
    }
    return 0;
}

std::string withMnemonic(const std::string& caption, std::string& taken) {
    if (const char own = mnemonicOf(caption)) {
        if (taken.find(own) == std::string::npos) taken += own;
        return caption;
    }
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&') {
            ++i;  // the second "&" of a literal one
            continue;
        }
        const auto ch = static_cast<unsigned char>(caption[i]);
        if (ch >= 0x80 || !std::isalnum(ch)) continue;
        const char up = static_cast<char>(std::toupper(ch));
        if (taken.find(up) != std::string::npos) continue;
        taken += up;
        return caption.substr(0, i) + "&" + caption.substr(i);
    }
    return caption;
}

}  // namespace orbus::qt
