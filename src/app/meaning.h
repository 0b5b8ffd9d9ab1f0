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

// What an inquiry answer answered: the inquiry that was outstanding for its
// camera when the answer arrived; empty when none was.
struct AnswerOrigin {
    Bytes inquiry;
};

// The meaning of the packets in `bytes` (one or more, each ending in FF).
// `origin` tells what an answer answered, when the caller knows it.
std::string packetMeaning(const Bytes& bytes, LineSide side, const AnswerOrigin* origin = nullptr);

// The meaning of one log line; empty for an empty line.
std::string lineMeaning(std::string_view line, LineSide side, const AnswerOrigin* origin = nullptr);

// The line of `text` that holds character position `pos` ("\r\n" ends a line).
std::string_view lineAt(std::string_view text, std::size_t pos);

// A reply packet shaped as an inquiry answer: y0 50, at least one value
// byte, FF.
bool isInquiryAnswer(const Bytes& packet);

// The length of the answer to the inquiry `packet` (header to FF); 0 when
// any length will do or the inquiry is none of the panel's.
int answerLength(const Bytes& packet);

// The answer lines of the reply log, each tied to what it answered as it was
// written. A line is found by counting answer lines from the end of the log,
// so the log may lose its start to the length limit, or be emptied, without
// upsetting the pairs; an entry whose bytes differ from its line pairs
// nothing.
class AnswerLedger {
public:
    // An answer line was written to the end of the reply log; `origin`
    // empty: what it answered is not known.
    void add(Bytes answer, std::optional<AnswerOrigin> origin);
    // What the answer on the line of `replyLog` at `pos` answered; nothing
    // when the line holds no answer or nothing was recorded for it.
    std::optional<AnswerOrigin> originAt(std::string_view replyLog, std::size_t pos) const;

    // More answer lines than a full log can hold.
    static constexpr std::size_t kEntries = 80;

private:
    struct Entry {
        Bytes answer;
        std::optional<AnswerOrigin> origin;
    };
    std::vector<Entry> entries_;  // oldest first
};

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
