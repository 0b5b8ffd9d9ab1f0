// Inquiry exchanges of the status read: send quietly, wait for the answer,
// check its frame, retry, and report a failure through the refresh error.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "link/async.h"
#include "platform/serial_port.h"

namespace orbus {

namespace status {
struct StatusLink;
}

// An answer of the expected length: high bit in byte 0, 0x50 in byte 1 and
// 0xFF at the last expected index.
bool acceptedReply(const Bytes& r, int length);

// Sends 8x <body> FF to the driven camera and waits for an answer of the
// given length. Two retry styles:
//  - counted: every answer raises the attempt count; the seventh attempt
//    reports `code` and gives up without looking at its answer;
//  - block: only a rejected answer raises the count; the seventh rejection
//    reports `code` and gives up.
// Gives the accepted answer, or nothing when it gave up (the code is then
// kept for the refresh error the read reports once it has ended).
// `body` is the packet between header and terminator as hexadecimal byte
// pairs ("09 7E 7E 00").
link::Async<std::optional<Bytes>> inquireCounted(status::StatusLink& link, std::string body, int length, long code);
link::Async<std::optional<Bytes>> inquireBlock(status::StatusLink& link, std::string body, int length, long code);

// Attempts before an inquiry is given up.
constexpr int kInquiryAttempts = 7;

// Value of n nibble bytes from index i, high nibble first.
int nibbles(const Bytes& r, std::size_t i, int n);
// The n bytes from index i are all there and each holds one nibble (0..15).
bool holdsNibbles(const Bytes& r, std::size_t i, int n);

}  // namespace orbus
