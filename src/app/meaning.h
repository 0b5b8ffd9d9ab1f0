// What a logged packet means, in words: which camera, which control of the
// panel sent it and with what values, what an inquiry asks, and what a
// reply says. Read from the panel's own tables: the main window's command
// table, the pan-tilt drive table and the dialogs' packet table.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "link/answer_ledger.h"
#include "link/packet.h"
#include "platform/serial_port.h"

namespace orbus {

class Form;

enum class LineSide { Sent, Received };

// The meaning of the packets in `bytes` (one or more, each ending in FF).
// `origin` tells what an answer answered, when the caller knows it.
std::string packetMeaning(const Bytes& bytes, LineSide side, const AnswerOrigin* origin = nullptr);

// Meanings name the controls of these windows as the operator sees them
// (their spoken names and captions, "Title Set: OK") while `owner` runs;
// without, by the names the panel's code gives them.
void useControlCaptions(const void* owner, std::function<std::vector<Form*>()> forms);
void dropControlCaptions(const void* owner);

// The meaning of one log line; empty for an empty line.
std::string lineMeaning(std::string_view line, LineSide side, const AnswerOrigin* origin = nullptr);

// The length of the answer to the inquiry `packet` (header to FF); 0 when
// any length will do or the inquiry is none of the panel's.
int answerLength(const Bytes& packet);

// An inquiry the panel sends: its body, what it asks, and the length of its
// answer (0: any).
struct InquiryName {
    const char* body;
    const char* name;
    int answerLength;
};
const std::vector<InquiryName>& inquiryNames();

}  // namespace orbus
