// The dialogs' answer decoders and the title conversion: the alarm's mode,
// levels and state, the power-off timers, the service memory, the typed
// and the picked title, each fed any answer or key.
// Properties: an answer changes the panel only when it is well formed,
// what the dialogs show stays within its range, and every packet written is
// well formed, none refused by the send check.
#include "dialogs/about.h"
#include "dialogs/camera_settings.h"
#include "dialogs/md.h"
#include "dialogs/title.h"
#include "fuzz_support.h"
#include "app/testing/rig.h"

using namespace orbus;

namespace {

bool isLevelText(const std::string& t) {
    if (t.size() != 3) return false;
    for (char c : t) {
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'))) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static testing::Rig* rig = [] {
        auto* r = new testing::Rig({"ORX-Beta"});
        fuzz::check(r->startUp(), "the panel starts up");
        return r;
    }();
    Program& p = *rig->program;
    fuzz::Input in(data, size);
    rig->windows.messages.clear();
    rig->port.clearWritten();
    // Nothing kept from earlier inputs: memory an input leaves behind sets
    // off a leak check, and the records would only grow.
    rig->chain.forgetReceived();
    // Every inquiry and service-memory read gets the next piece as its answer.
    rig->chain.mutate = [&in](const sim::Bytes& packet, std::vector<sim::Bytes>& replies) {
        const bool inquiry = packet.size() > 1 && packet[1] == 0x09;
        const bool service = packet.size() > 3 && packet[1] == 0x01 && packet[2] == 0x06;
        if (inquiry || service) replies = {in.piece(24)};
    };
    switch (in.byte() % 4) {
    case 0: {  // the alarm dialog's three inquiries, in any order
        FrmMD& d = p.frmMD();
        const AlarmState before = p.alarm;
        rig->windows.script([&] {
            for (int i = 0; i < 4 && !in.empty(); ++i) {
                switch (in.byte() % 3) {
                case 0: d.cmdsetMDinq.click(); break;
                case 1: d.cmdLevelInq.click(); break;
                default: d.cmdMDSSunq.click(); break;
                }
            }
            fuzz::check(isLevelText(d.txtMDdayR.text()) && isLevelText(d.txtMDnightR.text()) &&
                            isLevelText(d.txtMDc.text()),
                        "the level boxes show three hexadecimal digits");
            d.unload();
        });
        p.frmMain().MotionDetecter.click();
        fuzz::check(p.alarm.DayLevel <= 0xFFF && p.alarm.NightLevel <= 0xFFF && p.alarm.NowLevel <= 0xFFF,
                    "levels keep to 12 bits");
        fuzz::check(p.alarm.DayLevelKnown || p.alarm.DayLevel == before.DayLevel, "a level changes only when read");
        break;
    }
    case 1: {  // a power-off timer read on opening
        PowerOffDialog& d = p.frmAutoPOff();
        rig->windows.script([&] {
            const std::string& t = d.OffTimer.text();
            bool number = t.size() <= 5;
            for (char c : t) number = number && c >= '0' && c <= '9';
            fuzz::check(number && (t.empty() || std::stol(t) <= 65535), "the timer box shows 0 to 65535 or nothing");
            fuzz::check(!t.empty() || !d.LblAnswer.caption().empty(), "an empty box says why");
            d.Cancel.click();
        });
        p.frmMain().AutoPowerOff.click();
        break;
    }
    case 2: {  // the service memory read by "more Infomation"
        Frmmoreinfo& d = p.frmMoreInfo();
        const std::size_t mark = rig->mark();
        bool closable = false;
        rig->windows.script([&] {
            closable = d.OKButton.enabled();
            d.OKButton.click();
        });
        const std::size_t told = rig->windows.messages.size();
        d.open();
        // Not shown (nothing usable came): its scripted OK must not outlive this input.
        rig->windows.dropScript();
        // The version, the way in, three reads and the way out.
        fuzz::check(rig->packetsSince(mark).size() <= std::size_t{6} * Frmmoreinfo::kAttempts,
                    "each step is tried a bounded number of times");
        const std::string& date = d.LblDate.caption();
        fuzz::check(date.empty() || date.rfind("Date of Manufacture  :  ", 0) == 0, "the date line is whole or empty");
        fuzz::check(closable || rig->windows.messages.size() != told, "the dialog can be closed, or it says why it is not shown");
        break;
    }
    default: {  // titles: typed text and picked characters
        const Bytes text = in.piece(40);
        const auto codes = FrmTitle_K::Conv(std::string(text.begin(), text.end()));
        fuzz::check(codes.size() == 20, "a typed title is 20 codes");
        for (int c : codes) fuzz::check(c >= 0 && c < 0x50, "every code is a title character");
        FrmTitle_M& t = p.frmTitleM();
        while (!in.empty()) {
            const std::uint8_t what = in.byte();
            if (what & 1) {
                t.Picture1_MouseDown(static_cast<int>(in.byte()) * 2 - 50, static_cast<int>(in.byte()) - 20);
            } else {
                KeyEvent e;
                e.key = static_cast<Key>(in.byte() % 13);
                e.ch = in.byte();
                e.focus = &t.Char[0];
                t.Char_KeyDown(e);
            }
            fuzz::check(t.TitleCursor >= 0 && t.TitleCursor <= 19, "the cursor stays on the title");
        }
        for (int i = 0; i < 20; ++i) fuzz::check(t.row()[static_cast<std::size_t>(i)] < 0x50, "the row holds title characters");
        break;
    }
    }
    rig->chain.mutate = nullptr;
    rig->port.input();
    fuzz::check(rig->windows.messages.size() <= 1, "the operator is told at most once");
    // Replies still on their way are delivered now, not piled up for later inputs.
    rig->run(0.1);
    fuzz::checkSent(rig->port.written(), rig->windows.messages);
    rig->port.clearWritten();
    return 0;
}
