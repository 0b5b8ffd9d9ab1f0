// A camera's commands in flight when replies go missing.
#include <gtest/gtest.h>

#include "link/pacer.h"
#include "link/reply.h"

namespace orbus::link {
namespace {

// A drive whose completion was lost is over once the camera hands its
// socket to another command: kept, two such drives would hold the
// camera's queue for good.
TEST(InFlight, ASocketGivenAgainEndsTheCommandThatHeldIt) {
    CommandPacer p;
    const Bytes tele{0x81, 0x01, 0x04, 0x07, 0x02, 0xFF}, far{0x81, 0x01, 0x04, 0x08, 0x02, 0xFF};
    const Bytes iris{0x81, 0x01, 0x04, 0x0B, 0x02, 0xFF};
    auto send = [&](const Bytes& b) { p.sent(1, {b, "", CommandPacer::Kind::Other}); };
    auto reply = [&](Bytes r) { p.replied(1, decodeReply(std::move(r))); };
    struct Step {
        const Bytes* sent;       // or a reply
        Bytes reply;
        int inFlight;            // after the step
    };
    const Step steps[] = {
        {&tele, {}, 1},
        {nullptr, {0x90, 0x41, 0xFF}, 1},  // the zoom drive holds socket 1; its completion never comes
        {&far, {}, 2},
        {nullptr, {0x90, 0x42, 0xFF}, 2},  // the focus drive holds socket 2; its completion never comes
        {&iris, {}, 3},
        {nullptr, {0x90, 0x41, 0xFF}, 2},  // socket 1 again: the zoom drive had ended
        {nullptr, {0x90, 0x51, 0xFF}, 1},
        {&iris, {}, 2},
        {nullptr, {0x90, 0x42, 0xFF}, 1},  // socket 2 again: the focus drive had ended
        {nullptr, {0x90, 0x52, 0xFF}, 0},
    };
    int n = 0;
    for (const Step& s : steps) {
        SCOPED_TRACE(++n);
        if (s.sent) send(*s.sent);
        else reply(s.reply);
        EXPECT_EQ(p.inFlight(1), s.inFlight);
    }
    EXPECT_FALSE(p.mustWait(1));
}

}  // namespace
}  // namespace orbus::link
