// The status line (port, driven camera, link state) and the console's notes.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "link/chain_health.h"
#include "app/frm_chain.h"
#include "app/status_line.h"
#include "app/testing/rig.h"

using namespace orbus;
using orbus::testing::Rig;

namespace {

using Port = StatusLineFacts::Port;

LocalTime at(int h, int m, int s) { return {2026, 12, 9, h, m, s}; }

// The adapter pulled out and put back, and the port opened again from the menu.
void replugged(Rig& r) {
    r.port.unplug();
    r.run(0.5);
    r.port.plugBackIn();
    r.main().IFClearB.click();
    r.run(0.5);
}

}  // namespace

TEST(StatusLine, TextsFromTheFacts) {
    struct Row {
        const char* what;
        StatusLineFacts facts;
        double now;
        LocalTime wall;
        const char* port;
        const char* camera;
        const char* link;
    };
    const char* usb = "Com 1  /dev/ttyUSB0  9600 bps";
    const std::string dev = "/dev/ttyUSB0";
    const LocalTime evening = at(21, 14, 9);
    const std::vector<Row> rows = {
        {"before the port was opened", {}, 0, evening, "Com 1  9600 bps", "Camera 1", "Port not open"},
        {"answering",
         {.path = dev, .opened = true, .camera = 2, .model = "ORX-Kappa", .port = Port::Open, .lastReplyAt = 99.6},
         100, evening, usb, "Camera 2  ORX-Kappa", "Answering  (last reply 0.4 s ago)"},
        {"answering long ago", {.path = dev, .opened = true, .port = Port::Open, .lastReplyAt = 10}, 135.5, evening,
         usb, "Camera 1", "Answering  (last reply 2 min 6 s ago)"},
        {"answering hours ago", {.path = dev, .opened = true, .port = Port::Open, .lastReplyAt = 0}, 3 * 3600 + 600,
         evening, usb, "Camera 1", "Answering  (last reply 3 h 10 min ago)"},
        {"no reply yet", {.path = dev, .opened = true, .port = Port::Open}, 5, evening, usb, "Camera 1",
         "No reply yet"},
        {"not answering since",
         {.path = dev, .opened = true, .port = Port::Open, .notAnswering = true, .silentSince = 46, .lastReplyAt = 40},
         50, evening, usb, "Camera 1", "Not answering since 21:14:05"},
        {"not answering since before midnight",
         {.path = dev, .opened = true, .port = Port::Open, .notAnswering = true, .silentSince = 0}, 10, at(0, 0, 5),
         usb, "Camera 1", "Not answering since 23:59:55"},
        {"not on the chain",
         {.path = dev, .opened = true, .camera = 5, .port = Port::Open, .notOnChain = true, .notAnswering = true}, 1,
         evening, usb, "Camera 5", "Not on the chain"},
        {"port gone", {.path = dev, .opened = true, .port = Port::Gone, .lastReplyAt = 1}, 2, evening, usb,
         "Camera 1", "Port gone"},
        {"port gone at a time", {.path = dev, .opened = true, .port = Port::Gone, .portGoneAt = 7, .lastReplyAt = 1}, 9,
         evening, usb, "Camera 1", "Port gone at 21:14:07"},
        {"inquiries unanswered",
         {.path = dev, .opened = true, .port = Port::Open, .notAnswering = true, .silentSince = 46,
          .unansweredInquiries = 7, .lastReplyAt = 40},
         50, evening, usb, "Camera 1", "Not answering since 21:14:05 (7 inquiries unanswered)"},
        {"one inquiry unanswered",
         {.path = dev, .opened = true, .port = Port::Open, .notAnswering = true, .silentSince = 46,
          .unansweredInquiries = 1, .lastReplyAt = 40},
         50, evening, usb, "Camera 1", "Not answering since 21:14:05 (1 inquiry unanswered)"},
        {"reconnecting", {.path = dev, .opened = true, .port = Port::Reconnecting}, 2, evening, usb, "Camera 1",
         "Reconnecting  (port open again, no reply yet)"},
        {"last error with its time",
         {.path = dev, .opened = true, .port = Port::Open, .lastReplyAt = 19.8, .lastError = "Refresh Action Error !",
          .lastErrorAt = 18},
         20, evening, usb, "Camera 1", "Answering  (last reply 0.2 s ago)  Last error 21:14:07  Refresh Action Error !"},
        {"simulated chain at 38400 bps",
         {.simulator = "ORX-Kappa,KBM-R20", .opened = true, .speed = 38400, .port = Port::Open}, 0, evening,
         "Simulator  sim:ORX-Kappa,KBM-R20  38400 bps", "Camera 1", "No reply yet"},
        {"no device for the number", {.comNumber = 4, .opened = true}, 0, evening, "Com 4  no serial device  9600 bps",
         "Camera 1", "Port not open"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const StatusLineTexts t = statusLineTexts(row.facts, row.now, row.wall);
        EXPECT_EQ(t.port, row.port);
        EXPECT_EQ(t.camera, row.camera);
        EXPECT_EQ(t.link, row.link);
    }
}

// An age is rounded once to the unit it is shown in, and the form follows
// the rounded value: a reply 59.95 s ago is a minute old, not "0 min 59 s".
// The chain window's ages follow the same rule in their own units.
TEST(StatusLine, AgesRoundOnceThenSplit) {
    struct Row {
        double seconds;
        const char* line;   // the status line's form
        const char* chain;  // the chain window's form
    };
    const std::vector<Row> rows = {
        {0, "0.0 s", "0.0 s ago"},
        {0.04, "0.0 s", "0.0 s ago"},
        {0.4, "0.4 s", "0.4 s ago"},
        {0.5, "0.5 s", "0.5 s ago"},
        {0.96, "1.0 s", "1.0 s ago"},
        {59.4, "59.4 s", "59.4 s ago"},
        {59.5, "59.5 s", "59.5 s ago"},
        {59.94, "59.9 s", "59.9 s ago"},
        {59.95, "1 min 0 s", "1 min ago"},
        {60, "1 min 0 s", "1 min ago"},
        {89.4, "1 min 29 s", "1 min ago"},
        {90.5, "1 min 31 s", "2 min ago"},
        {119.4, "1 min 59 s", "2 min ago"},
        {119.5, "2 min 0 s", "2 min ago"},
        {3569.4, "59 min 29 s", "59 min ago"},
        {3570, "59 min 30 s", "1 h ago"},
        {3599.4, "59 min 59 s", "1 h ago"},
        {3599.5, "1 h 0 min", "1 h ago"},
        {3600, "1 h 0 min", "1 h ago"},
        {3629.9, "1 h 0 min", "1 h ago"},
        {3630, "1 h 1 min", "1 h ago"},
        {7169.9, "1 h 59 min", "2 h ago"},
        {7170, "2 h 0 min", "2 h ago"},
        {5399, "1 h 30 min", "1 h ago"},
        {5400, "1 h 30 min", "2 h ago"},
        {3 * 3600 + 600, "3 h 10 min", "3 h ago"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.seconds);
        EXPECT_EQ(durationText(row.seconds), row.line);
        EXPECT_EQ(FrmChain::ageText(row.seconds), row.chain);
    }
    // A clock that stepped back reads as no time at all; the chain window
    // shows a dash.
    EXPECT_EQ(durationText(-0.5), "0.0 s");
    EXPECT_EQ(FrmChain::ageText(-0.5), "-");
}

// The whole panel: the line follows the link as it changes.
TEST(StatusLine, FollowsTheLinkOnThePanel) {
    struct Row {
        const char* what;
        std::vector<std::string> models;
        // Acts on the started panel (the rig's time of day does not run by
        // itself: a row sets it where it matters).
        std::function<void(Rig&)> act;
        const char* camera;
        const char* link;  // the start of the link's text
        const char* also = "";  // further in the link's text
    };
    const std::vector<Row> rows = {
        {"answering after start-up", {"ORX-Beta"}, [](Rig&) {}, "Camera 1  ORX-Beta", "Answering  (last reply "},
        {"camera change",
         {"ORX-Beta", "ORX-Gamma"},
         [](Rig& r) {
             r.main().CameraSel[2].click();
             r.settle();
         },
         "Camera 2  ORX-Gamma", "Answering  (last reply "},
        {"silent camera",
         {"ORX-Beta"},
         [](Rig& r) {
             r.chain.faults.silent = true;
             const double sent = r.loop.now();
             r.main().Command({0x01, 0x04, 0x0B, 0x02});
             // The status timer ticks on whole seconds: the line is read
             // as that tick left it, the time of day set to match.
             const double tick = std::ceil(sent) + 4;
             r.loop.runUntil(tick - 0.5);
             r.loop.localTime_ = {2026, 12, 9, 21, 14, 5 + static_cast<int>(std::lround(tick - sent))};
             r.loop.runUntil(tick);
         },
         "Camera 1  ORX-Beta", "Not answering since 21:14:05"},
        {"error reply",
         {"ORX-Beta"},
         [](Rig& r) {
             r.chain.faults.errorReplies = true;
             r.run(2);
             r.loop.localTime_ = {2026, 12, 9, 21, 14, 7};
             r.main().Command({0x01, 0x04, 0x0B, 0x02});
             r.run(0.3);
         },
         "Camera 1  ORX-Beta", "Answering  (last reply ", "Last error 21:14:07  Error reply: cannot execute"},
        {"auto refresh gives up",
         {"ORX-Beta"},
         [](Rig& r) {
             r.main().AutoRefreshed.click();
             r.chain.faults.silent = true;
             r.run(20);
         },
         "Camera 1  ORX-Beta", "Not answering since ",
         "Status read stopped: no answer to the lens block inquiry; automatic refresh stopped"},
        {"port gone",
         {"ORX-Beta"},
         [](Rig& r) {
             r.port.unplug();
             // The line names the device that was opened, not what the
             // number would open now.
             r.devices.present.clear();
             r.run(0.5);
         },
         "Camera 1  ORX-Beta", "Port gone"},
        {"port back, the chain's broadcast back",
         {"ORX-Beta"},
         replugged,
         "Camera 1  ORX-Beta", "Answering  (last reply "},
        {"port back, no reply yet",
         {"ORX-Beta"},
         [](Rig& r) {
             r.chain.faults.silent = true;
             replugged(r);
         },
         "Camera 1  ORX-Beta", "Reconnecting  (port open again, no reply yet)"},
        {"port back and answering",
         {"ORX-Beta"},
         [](Rig& r) {
             replugged(r);
             r.main().RefreshOnce.click();
             r.settle();
         },
         "Camera 1  ORX-Beta", "Answering  (last reply "},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        Rig rig(row.models);
        rig.devices.present = {{"/dev/ttyUSB0", "USB serial adapter"}};
        ASSERT_TRUE(rig.startUp());
        FrmMain& m = rig.main();
        row.act(rig);
        EXPECT_EQ(m.StatusPort.caption(), "Com 1  /dev/ttyUSB0  9600 bps");
        EXPECT_EQ(m.StatusCamera.caption(), row.camera);
        EXPECT_EQ(m.StatusLink.caption().rfind(row.link, 0), 0u) << m.StatusLink.caption();
        EXPECT_NE(m.StatusLink.caption().find(row.also), std::string::npos) << m.StatusLink.caption();
        // The labels keep their names; their captions carry the state.
        EXPECT_EQ(m.StatusLink.accessibleName(), "Link state");
    }
}

// A time of day, once shown, stays while the seconds tick, whatever the
// fraction of a second the two clocks were first seen at; a clock set
// anew is followed.
TEST(StatusLine, TimesOfDayStayPutAsTheSecondsTick) {
    for (const double fraction : {0.0, 0.3, 0.5, 0.7, 0.99}) {
        SCOPED_TRACE(fraction);
        ClockFace clock;
        const double silentSince = 1000.46;
        std::string first;
        for (double now = 1001.0; now < 1010.0; now += 0.05) {
            // The wall clock shows whole seconds, ticking `fraction` off the monotonic one.
            const long wall = 5 * 3600 + 13 * 60 + 3 + static_cast<long>(std::floor(now - silentSince + fraction));
            clock.see(now, at(static_cast<int>(wall / 3600), static_cast<int>(wall / 60 % 60), static_cast<int>(wall % 60)));
            const std::string shown = clock.timeOf(silentSince);
            if (first.empty()) first = shown;
            EXPECT_EQ(shown, first) << now;
        }
        EXPECT_EQ(first.substr(0, 7), "05:13:0");
        // The computer's clock set an hour on: times follow it.
        clock.see(1011, at(6, 13, 13));
        EXPECT_EQ(clock.timeOf(1011), "06:13:13");
    }
    // The status read's failures in words, no code.
    EXPECT_EQ(statusReadFailureText(940), "Status read stopped: no answer to the power inquiry");
    EXPECT_EQ(statusReadFailureText(0x9612), "Status read stopped: no answer to the pan-tilt position inquiry");
    EXPECT_EQ(statusReadFailureText(12345), "Status read stopped: an inquiry went unanswered");
}

// Inquiries left unanswered are counted from the camera's last reply, and a
// reply ends the count.
TEST(StatusLine, UnansweredInquiriesCountFromTheLastReply) {
    Rig rig({"ORX-Beta"});
    ASSERT_TRUE(rig.startUp());
    FrmMain& m = rig.main();
    rig.chain.faults.silent = true;
    for (int i = 0; i < 3; ++i) {
        m.RefreshOnce.click();
        rig.run(4);
    }
    const long unanswered = rig.program->chain.camera(1).unansweredInquiries;
    EXPECT_GE(unanswered, 3);
    EXPECT_NE(m.StatusLink.caption().find("(" + std::to_string(unanswered) + " inquiries unanswered)"), std::string::npos)
        << m.StatusLink.caption();
    rig.chain.faults.silent = false;
    m.RefreshOnce.click();
    rig.settle();
    EXPECT_EQ(rig.program->chain.camera(1).unansweredInquiries, 0);
    EXPECT_EQ(m.StatusLink.caption().rfind("Answering", 0), 0u) << m.StatusLink.caption();
}

TEST(StatusLine, ReplyAgeRunsOnWithoutTraffic) {
    Rig rig({"ORX-Beta"});
    ASSERT_TRUE(rig.startUp());
    FrmMain& m = rig.main();
    rig.chain.camera(0).state().aeMode = 0x03;  // manual exposure: the iris is the operator's
    m.Command({0x01, 0x04, 0x0B, 0x02});
    rig.run(0.2);  // acknowledge and completion
    const double last = rig.program->chain.camera(1).lastReplyAt;
    // The status timer ticks on whole seconds.
    for (const double wait : {1.0, 2.0, 60.0}) {
        rig.loop.runUntil(std::ceil(rig.loop.now()) + wait);
        EXPECT_EQ(m.StatusLink.caption(),
                  "Answering  (last reply " + durationText(rig.loop.now() - last) + " ago)");
    }
    EXPECT_NE(m.StatusLink.caption().find(" min "), std::string::npos);
}

TEST(StatusLine, SimulatedChainNamesItsModels) {
    Rig rig({"ORX-Beta"}, Rig::Routed{});
    rig.program->start();
    FrmOpen& o = rig.open();
    o.ComList1.choose(FrmOpen::kSimulatorEntry);
    o.TxtModels.setText("ORX-Kappa,KBM-R20");
    o.Command1.click();
    rig.settle();
    ASSERT_TRUE(rig.main().visible());
    EXPECT_EQ(rig.main().StatusPort.caption(), "Simulator  sim:ORX-Kappa,KBM-R20  9600 bps");
    EXPECT_EQ(rig.main().StatusCamera.caption(), "Camera 1  ORX-Kappa");
}

// The console sends what was typed; its note says why Enter did nothing, or
// warns of a packet that no camera will take as it stands.
TEST(Console, NoteAfterEnter) {
    struct Row {
        const char* typed;
        bool sent;
        const char* note;
    };
    const std::vector<Row> rows = {
        {"8101040002FF", true, ""},
        {"88010001FF", true, ""},
        {"8101040002F", false, "Not sent: 11 digits; a byte takes two"},
        {"8", false, "Not sent: 1 digit; a byte takes two"},
        {"81010400", true, "Sent, but no closing FF"},
        {"81", true, "Sent, but no closing FF"},
        {"9041FF", true, "Sent, but header 90 is not 81 to 88"},
        {"80FF", true, "Sent, but header 80 is not 81 to 88"},
        {"FF", true, "Sent, but header FF is not 81 to 88"},
        {"0102", true, "Sent, but header 01 is not 81 to 88, no closing FF"},
        {"", true, ""},
    };
    Rig rig({"ORX-Beta"});
    ASSERT_TRUE(rig.startUp());
    FrmMain& m = rig.main();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.typed);
        m.DirectText.setText("");
        const std::size_t before = rig.port.written().size();
        m.DirectText.type(std::string(row.typed) + "\r");
        const std::size_t digits = std::string(row.typed).size();
        EXPECT_EQ(rig.port.written().size() - before, row.sent ? digits / 2 : 0u);
        EXPECT_EQ(m.DirectText.text(), row.sent ? "" : row.typed);
        EXPECT_EQ(m.DirectNote.caption(), row.note);
        rig.run(1.5);
    }
    // Typing again puts the note away; the label says what it is.
    m.DirectText.type("8");
    EXPECT_EQ(m.DirectNote.caption(), "");
    EXPECT_EQ(m.DirectNote.messageRole(), "Console note");
}
