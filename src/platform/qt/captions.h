// Texts of the forms as the widgets show them and screen readers read them.
#pragma once

#include <QString>
#include <string>

namespace orbus::qt {

inline QString q(const std::string& s) { return QString::fromStdString(s); }

// Captions use CR LF for line breaks; widgets want LF.
inline QString captionText(const std::string& s) { return q(s).replace("\r\n", "\n"); }

// A caption without its mnemonic marks ("&&" stays a single "&").
std::string withoutMnemonic(const std::string& s);

// The letter (upper case) a text's mnemonic mark stands before, or 0.
char mnemonicOf(const std::string& s);

// The caption with a mnemonic mark before its first letter or digit not in
// `taken` (upper case), which then takes it. A caption with a mark of its
// own keeps it; one with no free letter stays without. "&&" is a literal
// "&" and never a mark.
std::string withMnemonic(const std::string& caption, std::string& taken);

// A caption as a screen reader reads it: one line, without mnemonic marks.
inline QString spokenCaption(const std::string& cap) { return q(withoutMnemonic(cap)).replace("\r\n", " "); }

// A 0xRRGGBB colour as a style sheet writes it.
inline QString colorText(int c) { return QString("#%1").arg(c & 0xFFFFFF, 6, 16, QChar('0')); }

}  // namespace orbus::qt
