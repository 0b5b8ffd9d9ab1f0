#include "app/frm_chain.h"

#include <cmath>
#include <cstdio>

#include "link/chain_health.h"
#include "app/program.h"
#include "dialogs/dialog_link.h"
#include "platform/hex.h"

namespace orbus {

namespace {
struct Column {
    const char* caption;
    int width;  // twips
};
constexpr Column kColumnList[FrmChain::kColumns] = {
    {"Camera", 800},     {"Model", 1200},        {"Commands", 1050},  {"Completions", 1150},
    {"Errors", 2300},    {"Time-outs", 1000},    {"Unfinished", 1350}, {"Last reply", 1150},
    {"Latency (min/avg/max)", 2100}, {"Last command from", 1600}, {"State", 1700},
};
constexpr int kLeft = 200;
constexpr int kTop = 560;
constexpr int kRowHeight = 300;
constexpr int kRed = rgb(192, 0, 0);
constexpr int kGrey = rgb(110, 110, 110);

std::string seconds(double s) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.2f s", s);
    return buf;
}

// Commands without acknowledge or completion: "0", or "3 (no acknowledge: 1,
// no completion: 2)".
std::string unfinishedText(const CameraHealth& c) {
    const long total = c.unacknowledged + c.incomplete;
    if (total == 0) return "0";
    return std::to_string(total) + " (no acknowledge: " + std::to_string(c.unacknowledged) +
           ", no completion: " + std::to_string(c.incomplete) + ")";
}
}  // namespace

FrmChain::FrmChain(Program& program) : Form("FrmChain", "Chain Status"), prog_(program) {
    int width = 0;
    for (const Column& c : kColumnList) width += c.width;
    resize(width + 2 * kLeft + 120, kTop + (kRows + 1) * kRowHeight + 1000);
    LblFound.placeIn(nullptr, kLeft, 160, width, 260);
    appendToTabOrder(LblFound);
    int left = kLeft;
    for (int c = 0; c < kColumns; ++c) {
        Label& h = ColHead.add(c, *this, "ColHead", kColumnList[c].caption);
        h.placeIn(nullptr, left, kTop, kColumnList[c].width - 60, kRowHeight - 40);
        appendToTabOrder(h);
        left += kColumnList[c].width;
    }
    for (int r = 0; r < kRows; ++r) {
        left = kLeft;
        for (int c = 0; c < kColumns; ++c) {
            Label& cell = Cell.add(r * kColumns + c, *this, "Cell", c == 0 ? std::to_string(r + 1) : "");
            cell.placeIn(nullptr, left, kTop + (r + 1) * kRowHeight, kColumnList[c].width - 60, kRowHeight - 40);
            cell.setAccessibleName("Camera " + std::to_string(r + 1) + " " + kColumnList[c].caption);
            appendToTabOrder(cell);
            left += kColumnList[c].width;
        }
    }
    LblGarbled.placeIn(nullptr, kLeft, kTop + (kRows + 1) * kRowHeight + 300, width - 3300, 260);
    appendToTabOrder(LblGarbled);
    CmdReset.placeIn(nullptr, kLeft + width - 3100, kTop + (kRows + 1) * kRowHeight + 240, 1700, 360);
    CmdReset.setToolTip("Counters, errors and latencies of every camera back to zero");
    appendToTabOrder(CmdReset);
    CmdClose.placeIn(nullptr, kLeft + width - 1300, kTop + (kRows + 1) * kRowHeight + 240, 1300, 360);
    CmdClose.setDefault(true);
    appendToTabOrder(CmdClose);
    CmdReset.onClick = [this] { CmdReset_Click(); };
    CmdClose.onClick = [this] { CmdClose_Click(); };
    Timer1.onTick = [this] { Timer1_Timer(); };
    onUnload = [this] { Form_Unload(); };
    onHide = [this] { Timer1.setEnabled(false); };
}

std::string FrmChain::errorsText(const std::map<int, long>& errors) {
    long total = 0;
    for (const auto& [code, count] : errors) total += count;
    if (total == 0) return "0";
    std::string out = std::to_string(total) + " (";
    bool first = true;
    for (const auto& [code, count] : errors) {
        const char* name = nullptr;
        switch (code & 0xFF) {
        case 0x01: name = "message length"; break;
        case 0x02: name = "syntax"; break;
        case 0x03: name = "buffer full"; break;
        case 0x04: name = "cancelled"; break;
        case 0x05: name = "no socket"; break;
        case 0x41: name = "cannot execute"; break;
        default: break;
        }
        out += (first ? "" : ", ") + (name ? std::string(name) : "code " + hex2(static_cast<std::uint8_t>(code & 0xFF))) + ": " +
               std::to_string(count);
        first = false;
    }
    return out + ")";
}

std::string FrmChain::ageText(double s) {
    if (s < 0) return "-";
    // Rounded once to the unit shown, the unit chosen by the rounded value.
    char buf[32];
    if (const long tenths = std::lround(s * 10); tenths < 600)
        std::snprintf(buf, sizeof buf, "%ld.%ld s ago", tenths / 10, tenths % 10);
    else if (const long min = std::lround(s / 60); min < 60)
        std::snprintf(buf, sizeof buf, "%ld min ago", min);
    else
        std::snprintf(buf, sizeof buf, "%ld h ago", std::lround(s / 3600));
    return buf;
}

void FrmChain::open() {
    if (!visible()) dialogs::placeBesideMain(prog_.context(), *this, 600, 600);
    prog_.loaded(*this);
    showHealth();
    show();
    Timer1.setEnabled(true);
}

// Runs only while the window is shown: hiding it stops the timer.
void FrmChain::Timer1_Timer() { showHealth(); }

void FrmChain::showHealth() {
    ChainHealth& h = prog_.chain;
    const double now = prog_.platform.clock.now();
    h.settle(now);
    const int found = h.found();
    LblFound.setCaption(found < 0 ? "No address set has come back yet."
                                  : "The last address set found " + std::to_string(found) +
                                        (found == 1 ? " camera." : " cameras."));
    for (int r = 0; r < kRows; ++r) {
        const int address = r + 1;
        const CameraHealth& c = h.camera(address);
        const ChainHealth::State state = h.state(address, now);
        auto cell = [&](int col) -> Label& { return Cell[r * kColumns + col]; };
        cell(1).setCaption(c.model.empty() ? "-" : c.model);
        cell(2).setCaption(std::to_string(c.commands));
        cell(3).setCaption(std::to_string(c.completions));
        cell(4).setCaption(errorsText(c.errors));
        cell(5).setCaption(std::to_string(c.timeouts));
        cell(6).setCaption(unfinishedText(c));
        cell(7).setCaption(c.lastReplyAt < 0 ? "-" : ageText(now - c.lastReplyAt));
        cell(8).setCaption(c.latencies == 0 ? "-"
                                            : seconds(c.latencyMin) + " / " + seconds(c.latencyAverage()) + " / " +
                                                  seconds(c.latencyMax));
        const char* text = "";
        int colour = kDefaultColor;
        switch (state) {
        case ChainHealth::State::NoTraffic: text = "no traffic yet"; colour = kGrey; break;
        case ChainHealth::State::Answering: text = "answering"; break;
        case ChainHealth::State::NotAnswering: text = "NOT ANSWERING"; colour = kRed; break;
        case ChainHealth::State::NotOnChain: text = "not on the chain"; colour = kGrey; break;
        }
        cell(9).setCaption(prog_.traffic.lastCommandSource(address));
        cell(10).setCaption(text);
        for (int col = 0; col < kColumns; ++col) cell(col).setForeColor(colour);
    }
    LblGarbled.setCaption("Garbled replies: " + std::to_string(h.garbled()));
}

void FrmChain::CmdClose_Click() { unload(); }

void FrmChain::CmdReset_Click() {
    prog_.chain.resetCounters();
    showHealth();
}

void FrmChain::Form_Unload() {
    hide();
    prog_.unloaded(*this);
}

}  // namespace orbus
