#include "link/reply.h"

#include "link/packet.h"

namespace orbus::link {

namespace {

bool header(std::uint8_t b) { return replyCamera(b) != 0; }
int high(std::uint8_t b) { return b >> 4; }

}  // namespace

Reply decodeReply(Bytes frame) {
    Reply r;
    const std::size_t n = frame.size();
    const auto at = [&frame, n](std::size_t fromEnd) -> int {
        return fromEnd <= n ? frame[n - fromEnd] : -1;
    };
    if (n == 0 || frame.back() != 0xFF) {
        r.bytes = std::move(frame);
        return r;
    }
    r.camera = replyCamera(frame[0]);
    // A frame holds one terminator, at its end: each kind is known by the
    // bytes in front of it. Garbage in front of a reply (bytes that came
    // before its header) does not hide it.
    const bool y3 = n >= 3 && header(frame[n - 3]);
    const bool y4 = n >= 4 && header(frame[n - 4]);
    ReplyClass& c = r.classes;
    c.acknowledge = y3 && high(frame[n - 2]) == 4;
    c.completion = y3 && high(frame[n - 2]) == 5;
    c.error = y4 && high(frame[n - 3]) == 6;
    c.networkChange = y3 && frame[n - 2] == 0x38;
    c.ifClear = at(5) == 0x88 && at(4) == 0x01 && at(3) == 0x00 && at(2) == 0x01;
    c.addressSet = at(4) == 0x88 && at(3) == 0x30 && at(2) >= 0 && high(frame[n - 2]) == 0;
    for (std::size_t i = 0; i + 2 < n; ++i) {
        if (header(frame[i]) && frame[i + 1] == 0x50) {
            c.inquiryAnswer = true;
            break;
        }
    }
    r.bufferFull = y4 && frame[n - 3] == 0x60 && frame[n - 2] == 0x03;
    if (c.acknowledge || c.completion) {
        r.socket = frame[n - 2] & 0x0F;
    } else if (c.error) {
        r.socket = frame[n - 3] & 0x0F;
        r.code = frame[n - 2];
    }
    if (c.inquiryAnswer && !(c.completion && r.socket != 0)) r.kind = Reply::Kind::Answer;
    else if (c.acknowledge) r.kind = Reply::Kind::Acknowledge;
    else if (c.completion) r.kind = Reply::Kind::Completion;
    else if (c.error) r.kind = Reply::Kind::Error;
    r.bytes = std::move(frame);
    return r;
}

}  // namespace orbus::link
