// Classification of the last reply in the receive log.
#pragma once

#include <string>
#include <string_view>

#include "platform/serial_port.h"

namespace orbus {

// Pattern match with "*" (any run), "?" (one character) and "[9A-F]"-style
// sets; letters compare without regard to case.
bool likeMatch(std::string_view text, std::string_view pattern);

// The tail of the receive log that holds the last reply: from the terminator
// of the reply before it (or the whole log) to the end.
std::string_view lastReplyText(std::string_view log);

struct ReplyClass {
    bool completion = false;
    bool error = false;
    bool acknowledge = false;
    bool inquiryAnswer = false;
    bool networkChange = false;
    bool ifClear = false;
    bool addressSet = false;

    // The exchange is over: completion, error, inquiry answer or a broadcast.
    bool finished() const { return completion || error || inquiryAnswer || ifClear || addressSet; }
};

ReplyClass classifyReply(std::string_view replyText);

// The camera (1..7) that sent the last reply of a reply text, 0 when its
// header names none.
int replyCameraOf(std::string_view replyText);

// The bytes of the last reply of a reply text (after the terminator before
// it, up to its own), empty when it holds no whole reply.
Bytes lastReplyBytes(std::string_view replyText);

// The last reply of a reply text is a camera's "buffer full" (y0 60 03 FF):
// every command socket was busy, and the command was lost.
bool isBufferFull(std::string_view replyText);

}  // namespace orbus
