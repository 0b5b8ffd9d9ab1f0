// What the fuzz targets share: a property check that stops the run with a
// message, and a reader of the fuzzer's bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

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

}  // namespace orbus::fuzz
