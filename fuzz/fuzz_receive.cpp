// The receive path: any bytes, split into any receive events, echoed into
// the response log and classified, whatever the link's flags.
// Properties: the logs keep to 1000 characters of traffic text, and every
// completed reply (each FF byte) is classified exactly once, whether the
// echo logs it or not: replies are framed from the bytes, never read back
// from the log.
#include "fuzz_support.h"
#include "app/testing/rig.h"

using namespace orbus;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static testing::Rig* rig = [] {
        auto* r = new testing::Rig({"ORX-Beta"});
        r->openQuietly();
        return r;
    }();
    FrmMain& m = rig->main();
    link::LinkControl& control = rig->linkControl();
    fuzz::Input in(data, size);
    const std::uint8_t flags = in.byte();
    // Any mix of a preset under way, an acknowledge seen during one, a
    // one-push under way and the echo.
    const bool busy = flags & 0x01, acked = flags & 0x04;
    if (acked) control.presetStarts(0, 0);
    else control.presetEnds();
    control.acknowledgeArrived();
    if (busy) control.presetStarts(0, 0);
    else control.presetEnds();
    if (flags & 0x02) control.whiteBalanceStarts();
    else control.whiteBalanceEnds();
    if (flags & 0x08) control.echoOff();
    else control.echoOn();
    if (m.autoCaption() != bool(flags & 0x10)) m.AutoRefreshed_Click();
    m.Timer1.setEnabled(flags & 0x20);
    m.AutoRefreshed.setEnabled(flags & 0x40);
    if (flags & 0x80) m.cameraLink().clearLogs();

    const long before = m.finishChecks();
    long terminators = 0;
    while (!in.empty()) {
        const Bytes chunk = in.piece(64);
        for (auto b : chunk) terminators += b == 0xFF;
        m.EchoReceived(chunk);
        fuzz::check(m.RecvText.text().size() <= 1000, "the response log keeps its last 1000 characters");
    }
    fuzz::check(m.finishChecks() - before == terminators,
                "every completed reply is classified exactly once, logged or not");
    for (char c : m.RecvText.text()) {
        fuzz::check((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || c == ' ' || c == '\r' || c == '\n',
                    "the response log holds traffic text only");
    }
    fuzz::check(rig->windows.messages.size() <= static_cast<std::size_t>(terminators),
                "at most one message a reply");
    rig->windows.messages.clear();
    return 0;
}
