// Small helpers the simulated camera's command and reply code share: value
// ranges, nibble fields and the usual parameter forms.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace orbus::sim::detail {

using Bytes = std::vector<std::uint8_t>;

inline int clampi(int v, int lo, int hi) { return std::max(lo, std::min(hi, v)); }

inline int signed16(int v) { return (v & 0xFFFF) >= 0x8000 ? (v & 0xFFFF) - 0x10000 : (v & 0xFFFF); }

// Value of four nibble bytes starting at body[i].
inline int nib4(const Bytes& b, std::size_t i) {
    if (i + 3 >= b.size()) return 0;
    return ((b[i] & 0xF) << 12) | ((b[i + 1] & 0xF) << 8) | ((b[i + 2] & 0xF) << 4) | (b[i + 3] & 0xF);
}

inline void putNib4(Bytes& out, int v) {
    out.push_back(static_cast<std::uint8_t>((v >> 12) & 0xF));
    out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xF));
    out.push_back(static_cast<std::uint8_t>((v >> 4) & 0xF));
    out.push_back(static_cast<std::uint8_t>(v & 0xF));
}

// Step command: 02 up, 03 down, 00 reset.
inline void step(int& value, std::uint8_t how, int lo, int hi, int resetTo) {
    if (how == 0x02) value = clampi(value + 1, lo, hi);
    else if (how == 0x03) value = clampi(value - 1, lo, hi);
    else if (how == 0x00) value = resetTo;
}

inline bool isOnOff(std::uint8_t p) { return p == 0x02 || p == 0x03; }

// Bytes from..to-1 all carry one nibble.
inline bool nibbles(const Bytes& b, std::size_t from, std::size_t to) {
    if (to > b.size()) return false;
    for (std::size_t i = from; i < to; ++i) {
        if (b[i] > 0x0F) return false;
    }
    return true;
}

// 24 zone switches from four bytes of six bits, highest zones first.
inline int zoneBits(const Bytes& b, std::size_t at) {
    return ((b[at] & 0x3F) << 18) | ((b[at + 1] & 0x3F) << 12) | ((b[at + 2] & 0x3F) << 6) | (b[at + 3] & 0x3F);
}

}  // namespace orbus::sim::detail
