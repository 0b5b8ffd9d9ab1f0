// What the fuzz targets share: a property check that stops the run with a
// message, a reader of the fuzzer's bytes, and the check of what a panel
// put on the line.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "link/packet.h"
#include "platform/windows.h"

namespace orbus::fuzz {

// A property of the target that must hold for every input.
inline void check(bool holds, const char* property) {
    if (holds) return;
    std::fprintf(stderr, "property broken: %s\n", property);
    std::abort();
}

// Takes the fuzzer's bytes piece by piece; empty pieces once they run out.
class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool empty() const { return pos_ >= size_; }
    std::uint8_t byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    // A piece of at most `max` bytes, its length taken from the input.
    std::vector<std::uint8_t> piece(std::size_t max = 255) {
        std::size_t n = byte() % (max + 1);
        n = std::min(n, size_ - std::min(pos_, size_));
        std::vector<std::uint8_t> out(data_ + pos_, data_ + pos_ + n);
        pos_ += n;
        return out;
    }
    std::vector<std::uint8_t> rest() {
        std::vector<std::uint8_t> out(data_ + std::min(pos_, size_), data_ + size_);
        pos_ = size_;
        return out;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

// The start of the warning the send routines show instead of writing a
// packet that no camera can take.
constexpr const char* kRefusedText = "This packet was not sent: no camera can take it.";

// The bytes written to a line, cut after each FF: the first piece that is
// not one well-formed packet (bytes left without their FF at the end count
// as a piece), or nothing when every piece is one.
inline std::optional<Bytes> firstMalformed(const Bytes& line) {
    auto start = line.begin();
    while (start != line.end()) {
        auto end = std::find(start, line.end(), std::uint8_t{0xFF});
        if (end != line.end()) ++end;
        Bytes piece(start, end);
        if (!wellFormedPacket(piece)) return piece;
        start = end;
    }
    return std::nullopt;
}

// What the panel sent, outside the raw console: every byte on the line
// belongs to a well-formed packet, and the send check refused nothing the
// panel built (a refusal means a box let a value through that no camera
// can take). The offending packet or message goes to the log first.
inline void checkSent(const Bytes& line, const std::vector<Message>& messages) {
    if (const auto bad = firstMalformed(line)) {
        std::fprintf(stderr, "written: %s\n", packetText(*bad).c_str());
        check(false, "every packet written is well formed");
    }
    for (const Message& m : messages) {
        if (m.text.rfind(kRefusedText, 0) != 0) continue;
        std::string line = m.text;
        for (std::size_t at; (at = line.find("\r\n")) != std::string::npos;) line.replace(at, 2, " / ");
        std::fprintf(stderr, "message: %s\n", line.c_str());
        check(false, "no packet built by the panel is refused as malformed");
    }
}

// Drops what an input left in the records that grow with the traffic (the
// chain's received packets, the bytes written, the messages shown), so an
// input ends holding no more memory than it found. The leak check runs on
// an input that allocated more than it freed: records grown by the input
// would set it off on every run, slow the target many times over and mask
// a real leak.
template <class Rig>
void forgetTraffic(Rig& rig) {
    rig.chain.forgetReceived();
    rig.port.clearWritten();
    std::vector<Message>().swap(rig.windows.messages);
}

}  // namespace orbus::fuzz
