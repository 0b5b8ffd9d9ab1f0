#include "dialogs/packets.h"

#include <algorithm>
#include <cassert>

#include "dialogs/about.h"
#include "dialogs/aes.h"
#include "dialogs/camera_settings.h"
#include "dialogs/deffect.h"
#include "dialogs/fset.h"
#include "dialogs/md.h"
#include "dialogs/privacy.h"
#include "dialogs/privacy_a.h"
#include "dialogs/title.h"
#include "link/packet.h"
#include "platform/hex.h"

// A dialog and one of its controls by name, checked by the compiler: a
// misspelt window or member does not compile.
#define SENT_BY(window, member) #window, (static_cast<void>(&::orbus::window::member), #member)

namespace orbus::dialogs {

const std::vector<PacketRow>& packetTable() {
    using P = Packet;
    static const std::vector<PacketRow> table = {
        // "PrivacyZone Setting", twenty-four masks
        {P::GridOn, SENT_BY(Privacy, CmdGridOn), {0x01, 0x04, 0x7C, 0x02}, {}},
        {P::GridOff, SENT_BY(Privacy, cmdGridoff), {0x01, 0x04, 0x7C, 0x03}, {}},
        {P::MaskDisplay, SENT_BY(Privacy, cmdPrivacyDisp), {0x01, 0x04, 0x77, 0, 0, 0, 0}, {{3, 4}}},
        {P::MaskColour, SENT_BY(Privacy, cmdPrivacyColor), {0x01, 0x04, 0x78, 0, 0, 0, 0, 0, 0}, {{3, 6}}},
        {P::MaskSet, SENT_BY(Privacy, CmdPrivacySet), {0x01, 0x04, 0x76, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, {{3, 10}}},
        {P::MaskAngle, SENT_BY(Privacy, cmdPZMpantilt), {0x01, 0x04, 0x79, 0, 0, 0, 0, 0, 0}, {{3, 6}}},
        {P::MaskMove, SENT_BY(Privacy, cmdMovePanTilt), {0x01, 0x04, 0x7A, 0, 0, 0, 0, 0}, {{3, 5}}},
        {P::MaskPTZ, SENT_BY(Privacy, Command1), {0x01, 0x04, 0x7B, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, {{3, 11}}},
        // "PrivacyZone Setting", six zones
        {P::ZonesOn, SENT_BY(PrivacyA, CmdPrivacyOn), {0x01, 0x04, 0x77, 0x02}, {}},
        {P::ZonesOff, SENT_BY(PrivacyA, CmdPrivacyoff), {0x01, 0x04, 0x77, 0x03}, {}},
        {P::ZonesClear, SENT_BY(PrivacyA, CmdClear), {0x01, 0x04, 0x77, 0x00}, {}},
        {P::ZoneSet, SENT_BY(PrivacyA, cmdPZMset), {0x01, 0x04, 0x76, 0, 0, 0, 0, 0, 0, 0, 0, 0}, {{3, 9}}},
        // "AE SPOT" and "Digital Effect Level"
        {P::SpotOn, SENT_BY(FrmAES, AESpotON), {0x01, 0x04, 0x59, 0x02}, {}},
        {P::SpotOff, SENT_BY(FrmAES, AESpotOFF), {0x01, 0x04, 0x59, 0x03}, {}},
        {P::SpotSet, SENT_BY(FrmAES, AESpotSet), {0x01, 0x04, 0x29, 0x00, 0, 0x00, 0}, {{4, 1}, {6, 1}}},
        {P::EffectLevel, SENT_BY(FrmDeffect, DELevelOK), {0x01, 0x04, 0x65, 0}, {{3, 1}}},
        // "Factory Set"
        {P::ServiceMode, SENT_BY(FSet, EPromCmdSens), {0x5E, 0x21, 0x3A, 0x6D}, {}},
        {P::ProtectRelease, SENT_BY(FSet, EPromWriteProtectrelesase),
         {0x01, 0x7F, 0x7F, 0x02, 0x00, 0x0B, 0x05, 0x00, 0x0E}, {}},
        {P::MemoryRead, SENT_BY(FSet, EPromCmdRD), {0x09, 0x7F, 0x7F, 0x01, 0, 0, 0}, {{4, 3}}},
        {P::MemoryWrite, SENT_BY(FSet, EPromCmdWR), {0x01, 0x7F, 0x7F, 0x02, 0, 0, 0, 0, 0}, {{4, 5}}},
        {P::MemorySet, SENT_BY(FSet, EPromCmdSet), {0x01, 0x7F, 0x7F, 0x03, 0, 0, 0, 0, 0}, {{4, 5}}},
        // the line speed lives at address C F C of the service memory
        {P::SpeedWrite, SENT_BY(FSet, CmdBaudRate), {0x01, 0x7F, 0x7F, 0x02, 0x0C, 0x0F, 0x0C, 0x00, 0}, {{8, 1}}},
        // "Alarm"
        {P::AlarmMode, SENT_BY(FrmMD, comSetMD), {0x01, 0x04, 0x6C, 0}, {{3, 1}}},
        {P::AlarmLevels, SENT_BY(FrmMD, cmdsetMDtime), {0x01, 0x04, 0x6D, 0, 0, 0, 0, 0, 0}, {{3, 6}}},
        {P::AlarmStart, SENT_BY(FrmMD, cmdMDstart), {0x01, 0x04, 0x6B, 0x02}, {}},
        {P::AlarmStop, SENT_BY(FrmMD, cmdMDstart), {0x01, 0x04, 0x6B, 0x03}, {}},
        {P::DataScreenOn, SENT_BY(FrmMD, cmdDisplay), {0x01, 0x04, 0x15, 0x02}, {}},
        {P::DataScreenOff, SENT_BY(FrmMD, cmdMDdisplayOFF), {0x01, 0x04, 0x15, 0x03}, {}},
        {P::AlarmModeInquiry, SENT_BY(FrmMD, cmdsetMDinq), {0x09, 0x04, 0x6C}, {}},
        {P::AlarmLevelInquiry, SENT_BY(FrmMD, cmdLevelInq), {0x09, 0x04, 0x6D}, {}},
        {P::AlarmDetectInquiry, SENT_BY(FrmMD, cmdMDSSunq), {0x09, 0x04, 0x6B}, {}},
        // clock, camera ID, power-off timers
        {P::Clock, SENT_BY(FrmSetDT, OK), {0x01, 0x04, 0x70, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, {{3, 10}}},
        {P::CameraID, SENT_BY(FrmCamID, OK), {0x01, 0x04, 0x22, 0, 0, 0, 0}, {{3, 4}}},
        {P::AutoPowerOff, SENT_BY(FrmAutoPOff, OK), {0x01, 0x04, 0x40, 0, 0, 0, 0}, {{3, 4}}},
        {P::NightPowerOff, SENT_BY(FrmNightPOff, OK), {0x01, 0x04, 0x41, 0, 0, 0, 0}, {{3, 4}}},
        {P::AutoPowerOffInquiry, SENT_BY(FrmAutoPOff, Form_Load), {0x09, 0x04, 0x40}, {}},
        {P::NightPowerOffInquiry, SENT_BY(FrmNightPOff, Form_Load), {0x09, 0x04, 0x41}, {}},
        // titles: place, colour and blink, then the two halves of the text
        {P::TitlePlace, SENT_BY(FrmTitle_K, OK), {0x01, 0x04, 0x73, 0x00, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, {{4, 4}}},
        {P::TitleFirstHalf, SENT_BY(FrmTitle_K, OK), {0x01, 0x04, 0x73, 0x01, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, {{4, 10}}},
        {P::TitleSecondHalf, SENT_BY(FrmTitle_K, OK),
         {0x01, 0x04, 0x73, 0x02, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, {{4, 10}}},
        {P::TitlePlace, SENT_BY(FrmTitle_M, OK), {0x01, 0x04, 0x73, 0x00, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, {{4, 4}}},
        {P::TitleFirstHalf, SENT_BY(FrmTitle_M, OK), {0x01, 0x04, 0x73, 0x01, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, {{4, 10}}},
        {P::TitleSecondHalf, SENT_BY(FrmTitle_M, OK),
         {0x01, 0x04, 0x73, 0x02, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, {{4, 10}}},
        {P::TitleClear, SENT_BY(FrmTitle_K, Clear), {0x01, 0x04, 0x74, 0x00}, {}},
        {P::TitleClear, SENT_BY(FrmTitle_M, Clear), {0x01, 0x04, 0x74, 0x00}, {}},
        {P::TitleOn, SENT_BY(FrmTitle_K, Check1), {0x01, 0x04, 0x74, 0x02}, {}},
        {P::TitleOff, SENT_BY(FrmTitle_K, Check1), {0x01, 0x04, 0x74, 0x03}, {}},
        {P::TitleOn, SENT_BY(FrmTitle_M, Check1), {0x01, 0x04, 0x74, 0x02}, {}},
        {P::TitleOff, SENT_BY(FrmTitle_M, Check1), {0x01, 0x04, 0x74, 0x03}, {}},
        // "more Infomation": into the debug mode, the manufacture date and
        // remodelling count, and out again
        {P::DebugIn, SENT_BY(Frmmoreinfo, Form_Load), {0x01, 0x06, 0x22, 0x5C}, {}},
        {P::ManufactureYear, SENT_BY(Frmmoreinfo, Form_Load), {0x01, 0x06, 0x1A, 0x03, 0x00}, {}},
        {P::ManufactureMonthDay, SENT_BY(Frmmoreinfo, Form_Load), {0x01, 0x06, 0x1A, 0x03, 0x01}, {}},
        {P::RemodelCount, SENT_BY(Frmmoreinfo, Form_Load), {0x01, 0x06, 0x1A, 0x02, 0x03}, {}},
        {P::DebugOut, SENT_BY(Frmmoreinfo, Form_Load), {0x01, 0x06, 0x22, 0x12}, {}},
    };
    return table;
}

#undef SENT_BY

const PacketRow& packetRow(Packet packet) {
    const auto& table = packetTable();
    const auto it =
        std::find_if(table.begin(), table.end(), [packet](const PacketRow& r) { return r.packet == packet; });
    assert(it != table.end());
    return it != table.end() ? *it : table.front();
}

int computedCount(const PacketRow& row) {
    int n = 0;
    for (const Computed& c : row.computed) n += c.count;
    return n;
}

std::vector<int> packetValues(int header, Packet packet, const std::vector<int>& values) {
    const PacketRow& row = packetRow(packet);
    assert(static_cast<int>(values.size()) == computedCount(row));
    std::vector<int> out{header};
    out.insert(out.end(), row.body.begin(), row.body.end());
    std::size_t next = 0;
    for (const Computed& c : row.computed) {
        for (int i = 0; i < c.count; ++i, ++next) {
            const std::size_t at = 1 + static_cast<std::size_t>(c.at) + static_cast<std::size_t>(i);
            if (at < out.size()) out[at] = next < values.size() ? values[next] : 0;
        }
    }
    out.push_back(0xFF);
    return out;
}

std::string packetNotation(const PacketRow& row) {
    std::vector<std::string> cells;
    for (std::uint8_t b : row.body) cells.push_back(hex2(b));
    for (const Computed& c : row.computed) {
        for (int i = 0; i < c.count; ++i) {
            const auto at = static_cast<std::size_t>(c.at) + static_cast<std::size_t>(i);
            if (at < cells.size()) cells[at] = "vv";
        }
    }
    std::string out = "8x";
    for (const std::string& cell : cells) out += " " + cell;
    return out + " FF";
}

void applyPacketTips(Form& window) {
    std::vector<std::pair<Control*, std::string>> tips;
    for (const PacketRow& row : packetTable()) {
        if (window.name() != row.window) continue;
        const std::string packet = packetNotation(row);
        // The control, or every element of a control array of that name.
        for (Control* c : window.controls()) {
            if (c->name() != row.control) continue;
            auto it = std::find_if(tips.begin(), tips.end(), [c](const auto& t) { return t.first == c; });
            if (it == tips.end()) {
                tips.emplace_back(c, packet);
            } else if (it->second.find(packet) == std::string::npos) {
                // Packets that differ in their last byte only are the two
                // states of a switch; others go out one after the other.
                const std::string& last = it->second;
                const bool alternative = last.size() >= packet.size() &&
                                         last.compare(last.size() - packet.size(), packet.size() - 5, packet, 0,
                                                      packet.size() - 5) == 0;
                it->second += (alternative ? " or " : ", then ") + packet;
            }
        }
    }
    for (auto& [c, packets] : tips) {
        std::string words = c->toolTip();
        if (const auto* cap = dynamic_cast<const Captioned*>(c); words.empty() && cap) words = cap->caption();
        if (words.empty()) words = c->accessibleName().empty() ? c->name() : c->accessibleName();
        const bool computed = packets.find("vv") != std::string::npos;
        words += " \xE2\x80\x94 sends ";
        words += packets;
        if (computed) words += " (vv: the values set here)";
        c->setToolTip(std::move(words));
    }
}

std::optional<Bytes> packetBytes(int header, Packet packet, const std::vector<int>& values) {
    Bytes bytes;
    if (!ToByteArray(packetValues(header, packet, values), bytes)) return std::nullopt;
    return bytes;
}

}  // namespace orbus::dialogs
