// A camera's reply as the link hands it on: one framed packet (everything
// received after the terminator before it, up to and with its own FF),
// told by its kind. Nothing here reads a log: the receive path frames the
// bytes as they arrive and the logs only write them down.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/serial_port.h"

namespace orbus::link {

// What a reply means to the exchange under way.
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

struct Reply {
    enum class Kind {
        Acknowledge,  // y0 4z FF: the command took socket z
        Completion,   // y0 5z FF: the command of socket z ended
        Error,        // y0 6z ee FF: refused (z = 0) or ended (z = its socket) with code ee
        Answer,       // y0 50 .. FF: an inquiry's answer
        Other,        // a broadcast coming back, a network change, garbage
    };
    Kind kind = Kind::Other;
    int camera = 0;  // 1..7 from the first byte's header, 0 when it names none
    int socket = 0;  // acknowledge, completion, error
    int code = -1;   // error
    Bytes bytes;     // the whole frame

    // What the exchange logic makes of it: an acknowledge, a command's end,
    // an answer, a broadcast come back, a network change.
    ReplyClass classes;
    // "Buffer full" (y0 60 03 FF): no socket was free and the command was lost.
    bool bufferFull = false;
};

// The typed value of one frame (see Reply).
Reply decodeReply(Bytes frame);

// What the sender of one command or inquiry hears of it: each reply the
// camera gave to it (an acknowledge, then a completion or an error; an
// answer or an error), or once that none will come.
struct CommandReply {
    enum class Kind {
        Reply,     // `bytes` is one of the camera's replies to it
        NoAnswer,  // given up: no reply within the limit, or it never went out
    };
    Kind kind = Kind::Reply;
    Bytes bytes{};
};
using ReplyListener = std::function<void(const CommandReply&)>;

}  // namespace orbus::link
