// What a logged packet means, in words: which camera, which control of the
// panel sent it and with what values, what an inquiry asks, and what a
// reply says. Read from the panel's own tables: the main window's command
// table, the pan-tilt drive table and the dialogs' packets below.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/serial_port.h"

namespace orbus {

enum class LineSide { Sent, Received };

// The bytes of a log line in the traffic text form ("81 01 04 0B 02 FF ").
// Nothing when the line holds anything but blank-separated pairs of
// hexadecimal digits (the first line of a log cut at its limit, typically).
std::optional<Bytes> trafficLineBytes(std::string_view line);

// The meaning of the packets in `bytes` (one or more, each ending in FF).
// `askedBy` is the inquiry an answer answers, when the caller knows it.
std::string packetMeaning(const Bytes& bytes, LineSide side, const Bytes* askedBy = nullptr);

// The meaning of one log line; empty for an empty line.
std::string lineMeaning(std::string_view line, LineSide side, const Bytes* askedBy = nullptr);

// The line of `text` that holds character position `pos` ("\r\n" ends a line).
std::string_view lineAt(std::string_view text, std::size_t pos);

// The inquiry of the command log that the answer on line `line` of the
// reply log answers: answers and inquiries are paired from the end of both
// logs, and the pair counts only when the camera and the answer's length
// agree with the inquiry.
std::optional<Bytes> inquiryAnswered(std::string_view replyLog, std::size_t pos, std::string_view commandLog);

// A packet a dialog sends: the window and control, and the body between
// header and FF in traffic form with "??" for a byte the operator chooses.
struct DialogPacket {
    const char* window;
    const char* control;
    const char* body;
};
const std::vector<DialogPacket>& dialogPackets();

// An inquiry the panel sends: its body, what it asks, and the length of its
// answer (0: any).
struct InquiryName {
    const char* body;
    const char* name;
    int answerLength;
};
const std::vector<InquiryName>& inquiryNames();

}  // namespace orbus
