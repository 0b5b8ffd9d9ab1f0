// The meaning of logged lines: every packet the panel sends names the
// control that sends it, and typed-out lines read as an operator expects.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "app/meaning.h"
#include "dialogs/packets.h"
#include "panel/commands.h"
#include "pantilt/drive.h"
#include "app/testing/rig.h"

using namespace orbus;
using ::testing::HasSubstr;

namespace {

std::string sent(std::string_view line) { return lineMeaning(line, LineSide::Sent); }
std::string received(std::string_view line) { return lineMeaning(line, LineSide::Received); }

Bytes packetOf(std::uint8_t header, Bytes body) {
    body.insert(body.begin(), header);
    body.push_back(0xFF);
    return body;
}

// A row's body with its computed bytes filled with values no fixed packet
// uses: nibbles 5, speeds 5, an index of 5.
Bytes filled(const panel::CommandRow& row) {
    Bytes b = row.body;
    for (const panel::Field& f : row.fields) {
        const auto at = static_cast<std::size_t>(f.at);
        switch (f.kind) {
        case panel::FieldKind::Nibbles4: std::fill(b.begin() + f.at, b.begin() + f.at + 4, 0x05); break;
        case panel::FieldKind::Nibbles2:
        case panel::FieldKind::HexPair: b[at] = b[at + 1] = 0x05; break;
        case panel::FieldKind::Speed: b[at] = static_cast<std::uint8_t>(b[at] + 5); break;
        case panel::FieldKind::Index: b[at] = 5; break;
        }
    }
    return b;
}

}  // namespace

TEST(Meaning, EveryPacketOfThePanelNamesItsControl) {
    for (const panel::CommandRow& row : panel::commandTable()) {
        std::string name = row.control;
        if (row.index >= 0) name += "(" + std::to_string(row.index) + ")";
        if (row.index == panel::kEach) name += "(5)";
        const std::string m = packetMeaning(packetOf(0x84, filled(row)), LineSide::Sent);
        EXPECT_THAT(m, HasSubstr(name)) << "row of " << row.control;
        EXPECT_EQ(m.rfind("Camera 4: ", 0), 0u) << m;
        EXPECT_THAT(m, ::testing::Not(HasSubstr("not one of this panel's"))) << m;
    }
    for (const pantilt::DriveRow& row : pantilt::driveTable()) {
        Bytes body = row.body;
        if (row.operatorSpeeds) body[3] = body[4] = 0x05;
        const std::string m = packetMeaning(packetOf(0x81, body), LineSide::Sent);
        EXPECT_THAT(m, HasSubstr(std::string(row.control) + "(" + std::to_string(row.index) + ") \"" + row.caption))
            << m;
    }
}

// Every packet of the auxiliary windows, typed as the camera sees it, with
// the window, control and words it must read as.
TEST(Meaning, DialogPacketsNameTheirWindowAndControl) {
    const struct {
        const char* line;
        const char* meaning;
    } cases[] = {
        // privacy masks, twenty-four of them
        {"81 01 04 7C 02 FF ", "Camera 1: Privacy.CmdGridOn (privacy grid on)"},
        {"81 01 04 7C 03 FF ", "Camera 1: Privacy.cmdGridoff (privacy grid off)"},
        {"81 01 04 77 20 00 00 01 FF ", "Camera 1: Privacy.cmdPrivacyDisp (privacy display, setting 20 00 00 01)"},
        {"81 01 04 78 00 00 00 01 07 18 FF ",
         "Camera 1: Privacy.cmdPrivacyColor (privacy colour, setting 00 00 00 01 07 18)"},
        {"81 01 04 76 17 01 00 01 00 01 00 05 00 05 FF ",
         "Camera 1: Privacy.CmdPrivacySet (privacy mask, setting 17 01 00 01 00 01 00 05 00 05)"},
        {"81 01 04 79 01 02 03 04 05 06 FF ",
         "Camera 1: Privacy.cmdPZMpantilt (privacy pan-tilt angle, setting 01 02 03 04 05 06)"},
        {"81 01 04 7A 01 00 02 00 21 FF ",
         "Camera 1: Privacy.cmdMovePanTilt (privacy pan-tilt move, setting 01 00 02 00 21)"},
        {"81 01 04 7B 02 01 02 03 04 05 06 0A 0B 0C 0D FF ",
         "Camera 1: Privacy.Command1 (privacy mask position, setting 02 01 02 03 04 05 06 0A 0B 0C 0D)"},
        // privacy zones, six of them
        {"82 01 04 77 02 FF ", "Camera 2: PrivacyA.CmdPrivacyOn (privacy display on)"},
        {"82 01 04 77 03 FF ", "Camera 2: PrivacyA.CmdPrivacyoff (privacy display off)"},
        {"82 01 04 77 00 FF ", "Camera 2: PrivacyA.CmdClear (privacy display clear)"},
        {"82 01 04 76 02 0F 0B 01 01 00 00 01 01 FF ",
         "Camera 2: PrivacyA.cmdPZMset (privacy mask, setting 02 0F 0B 01 01 00 00 01 01)"},
        // spot exposure and effect level
        {"81 01 04 59 02 FF ", "Camera 1: FrmAES.AESpotON (spot exposure on)"},
        {"81 01 04 59 03 FF ", "Camera 1: FrmAES.AESpotOFF (spot exposure off)"},
        {"81 01 04 29 00 0F 00 03 FF ", "Camera 1: FrmAES.AESpotSet (spot exposure position x 15, y 3)"},
        {"81 01 04 65 20 FF ", "Camera 1: FrmDeffect.DELevelOK (digital effect level 32)"},
        // service settings
        {"85 5E 21 3A 6D FF ", "Camera 5: FSet.EPromCmdSens (service setting mode)"},
        {"81 01 7F 7F 02 00 0B 05 00 0E FF ",
         "Camera 1: FSet.EPromWriteProtectrelesase (service memory write, setting 00 0B 05 00 0E)"},
        {"81 09 7F 7F 01 0C 0F 0C FF ", "Camera 1: inquiry, service memory 0C 0F 0C (FSet.EPromCmdRD)"},
        {"81 01 7F 7F 02 01 02 03 0A 0B FF ",
         "Camera 1: FSet.EPromCmdWR (service memory write, setting 01 02 03 0A 0B)"},
        {"81 01 7F 7F 02 0C 0F 0C 00 01 FF ",
         "Camera 1: FSet.EPromCmdWR or FSet.CmdBaudRate (service memory write, setting 0C 0F 0C 00 01)"},
        {"81 01 7F 7F 03 01 02 03 0A 0B FF ",
         "Camera 1: FSet.EPromCmdSet (service memory set, setting 01 02 03 0A 0B)"},
        // alarm
        {"81 01 04 6C 0C FF ", "Camera 1: FrmMD.comSetMD (alarm mode Day & Night)"},
        {"81 01 04 6C 00 FF ", "Camera 1: FrmMD.comSetMD (alarm mode (0)Focus Position)"},
        {"81 01 04 6C 0D FF ", "Camera 1: FrmMD.comSetMD (alarm mode, setting 0D)"},
        {"81 01 04 6D 0F 0F 0F 08 00 00 FF ",
         "Camera 1: FrmMD.cmdsetMDtime (alarm day and night levels, setting 0F 0F 0F 08 00 00)"},
        {"81 01 04 6B 02 FF ", "Camera 1: FrmMD.cmdMDstart (alarm detection start)"},
        {"81 01 04 6B 03 FF ", "Camera 1: FrmMD.cmdMDstart (alarm detection stop)"},
        {"81 01 04 15 02 FF ", "Camera 1: DataScreen or FrmMD.cmdDisplay (data screen on)"},
        {"81 01 04 15 03 FF ", "Camera 1: DataScreen or FrmMD.cmdMDdisplayOFF (data screen off)"},
        {"81 09 04 6C FF ", "Camera 1: inquiry, alarm mode (FrmMD.cmdsetMDinq)"},
        {"81 09 04 6D FF ", "Camera 1: inquiry, alarm levels (FrmMD.cmdLevelInq)"},
        {"81 09 04 6B FF ", "Camera 1: inquiry, alarm detection (FrmMD.cmdMDSSunq)"},
        // clock, camera ID, power-off timers
        {"81 01 04 70 02 06 01 02 00 07 02 01 00 05 FF ",
         "Camera 1: FrmSetDT.OK (clock 21:05, day 07 month 12 year 26)"},
        {"81 01 04 22 01 02 03 04 FF ", "Camera 1: FrmCamID.OK (camera ID 0x1234)"},
        {"81 01 04 40 00 00 03 0C FF ", "Camera 1: FrmAutoPOff.OK (auto power-off timer 60 min)"},
        {"81 01 04 41 00 00 03 0C FF ", "Camera 1: FrmNightPOff.OK (night power-off timer 60 min)"},
        {"81 09 04 40 FF ", "Camera 1: inquiry, auto power-off timer (FrmAutoPOff.Form_Load)"},
        {"81 09 04 41 FF ", "Camera 1: inquiry, night power-off timer (FrmNightPOff.Form_Load)"},
        // titles
        {"81 01 04 73 00 01 02 03 01 00 00 00 00 00 00 FF ",
         "Camera 1: FrmTitle_K.OK or FrmTitle_M.OK (title, setting 00 01 02 03 01 00 00 00 00 00 00)"},
        {"81 01 04 73 01 07 04 0B 0B 0E 1B 1B 1B 1B 1B FF ",
         "Camera 1: FrmTitle_K.OK or FrmTitle_M.OK (title characters 1 to 10 \"HELLO     \")"},
        {"81 01 04 73 02 1B 1B 1B 1B 1B 1B 1B 1B 1B 1B FF ",
         "Camera 1: FrmTitle_K.OK or FrmTitle_M.OK (title characters 11 to 20 \"          \")"},
        {"81 01 04 74 00 FF ", "Camera 1: FrmTitle_K.Clear or FrmTitle_M.Clear (title display clear)"},
        {"81 01 04 74 02 FF ", "Camera 1: TitleOnOff or FrmTitle_K.Check1 or FrmTitle_M.Check1 (title display on)"},
        {"81 01 04 74 03 FF ", "Camera 1: TitleOnOff or FrmTitle_K.Check1 or FrmTitle_M.Check1 (title display off)"},
        // the service memory's manufacture record
        {"81 01 06 22 5C FF ", "Camera 1: Frmmoreinfo.Form_Load (service mode enter)"},
        {"81 01 06 1A 03 00 FF ", "Camera 1: Frmmoreinfo.Form_Load (service memory read, setting 03 00)"},
        {"81 01 06 1A 03 01 FF ", "Camera 1: Frmmoreinfo.Form_Load (service memory read, setting 03 01)"},
        {"81 01 06 1A 02 03 FF ", "Camera 1: Frmmoreinfo.Form_Load (service memory read, setting 02 03)"},
        {"81 01 06 22 12 FF ", "Camera 1: Frmmoreinfo.Form_Load (service mode leave)"},
        // a computed byte out of its row's range is no dialog's packet
        {"81 01 04 7C 04 FF ", "Camera 1: command 01 04 7C 04 (privacy grid, setting 04), not one of this panel's"},
        {"81 01 04 29 01 08 00 08 FF ",
         "Camera 1: command 01 04 29 01 08 00 08 (spot exposure position, setting 01 08 00 08), not one of this "
         "panel's"},
    };
    for (const auto& c : cases) EXPECT_EQ(sent(c.line), c.meaning) << c.line;
    // Each window and control of the dialogs' table has its case above.
    for (const dialogs::PacketRow& row : dialogs::packetTable()) {
        const std::string name = std::string(row.window) + "." + row.control;
        const auto names = [&](const auto& c) { return std::string_view(c.meaning).find(name) != std::string_view::npos; };
        EXPECT_TRUE(std::any_of(std::begin(cases), std::end(cases), names)) << name << " has no typed case";
    }
}

// Every packet of the pan-tilt window reads back with its button, its way
// in words and its speeds; the operator's speeds are told pan first.
TEST(Meaning, PanTiltDrivesReadTheirWayAndSpeeds) {
    const struct {
        const char* line;
        const char* meaning;
    } cases[] = {
        {"81 01 06 01 18 18 03 03 FF ", "Camera 1: Pan_Tilt_Stop(0) \"Stop\" (pan-tilt drive stop)"},
        {"81 01 06 01 05 07 03 01 FF ", "Camera 1: Pan_Tilt_Stop(1) \"UP\" (pan-tilt drive up, pan speed 5, tilt speed 7)"},
        {"81 01 06 01 05 07 01 03 FF ",
         "Camera 1: Pan_Tilt_Stop(2) \"Left\" (pan-tilt drive left, pan speed 5, tilt speed 7)"},
        {"81 01 06 01 05 07 02 03 FF ",
         "Camera 1: Pan_Tilt_Stop(3) \"Right\" (pan-tilt drive right, pan speed 5, tilt speed 7)"},
        {"81 01 06 01 05 07 03 02 FF ",
         "Camera 1: Pan_Tilt_Stop(4) \"Down\" (pan-tilt drive down, pan speed 5, tilt speed 7)"},
        {"81 01 06 01 05 07 01 01 FF ",
         "Camera 1: Pan_Tilt_Stop(5) \"UP-Left\" (pan-tilt drive up-left, pan speed 5, tilt speed 7)"},
        {"81 01 06 01 05 07 02 01 FF ",
         "Camera 1: Pan_Tilt_Stop(6) \"UP-Right\" (pan-tilt drive up-right, pan speed 5, tilt speed 7)"},
        {"81 01 06 01 05 07 01 02 FF ",
         "Camera 1: Pan_Tilt_Stop(7) \"Down-Left\" (pan-tilt drive down-left, pan speed 5, tilt speed 7)"},
        {"81 01 06 01 05 07 02 02 FF ",
         "Camera 1: Pan_Tilt_Stop(8) \"Down-Right\" (pan-tilt drive down-right, pan speed 5, tilt speed 7)"},
        {"82 01 06 01 18 14 01 01 FF ",
         "Camera 2: Pan_Tilt_Stop(5) \"UP-Left\" (pan-tilt drive up-left, pan speed 24, tilt speed 20)"},
        {"81 01 06 01 18 18 01 03 FF ",
         "Camera 1: Pan_Tilt_Direct(0) \"Left-Direct\" (pan-tilt drive left, pan speed 24, tilt speed 24)"},
        {"81 01 06 01 18 18 01 01 FF ",
         "Camera 1: Pan_Tilt_Direct(1) \"UP-L-Dir\" (pan-tilt drive up-left, pan speed 24, tilt speed 24)"},
        {"81 01 06 01 18 18 01 02 FF ",
         "Camera 1: Pan_Tilt_Direct(2) \"Down-L-Dir\" (pan-tilt drive down-left, pan speed 24, tilt speed 24)"},
        {"81 01 06 01 18 18 02 03 FF ",
         "Camera 1: Pan_Tilt_Direct(3) \"Right-Direct\" (pan-tilt drive right, pan speed 24, tilt speed 24)"},
        {"81 01 06 01 18 18 02 01 FF ",
         "Camera 1: Pan_Tilt_Direct(4) \"UP-R-Dir\" (pan-tilt drive up-right, pan speed 24, tilt speed 24)"},
        {"81 01 06 01 18 18 02 02 FF ",
         "Camera 1: Pan_Tilt_Direct(5) \"Down-R-Dir\" (pan-tilt drive down-right, pan speed 24, tilt speed 24)"},
        {"81 01 06 01 18 18 03 01 FF ",
         "Camera 1: Pan_Tilt_Direct(6) \"UP-Direct\" (pan-tilt drive up, pan speed 24, tilt speed 24)"},
        {"81 01 06 01 18 18 03 02 FF ",
         "Camera 1: Pan_Tilt_Direct(7) \"Down-Dir\" (pan-tilt drive down, pan speed 24, tilt speed 24)"},
        {"81 01 06 04 FF ", "Camera 1: Pan_Tilt_Direct(8) \"Home\" (pan-tilt home)"},
        {"87 01 06 05 FF ", "Camera 7: Pan_Tilt_Direct(9) \"Reset\" (pan-tilt reset)"},
        // Typed drives no button sends: a stop at the operator's speeds, a
        // way that is none, and a position packet (the panel sends none).
        {"81 01 06 01 05 07 03 03 FF ",
         "Camera 1: command 01 06 01 05 07 03 03 (pan-tilt drive stop), not one of this panel's"},
        {"81 01 06 01 05 07 04 01 FF ",
         "Camera 1: command 01 06 01 05 07 04 01 (pan-tilt drive, setting 05 07 04 01), not one of this panel's"},
        {"81 01 06 01 05 07 01 00 FF ",
         "Camera 1: command 01 06 01 05 07 01 00 (pan-tilt drive, setting 05 07 01 00), not one of this panel's"},
        {"81 01 06 02 05 07 00 00 00 00 00 00 00 00 FF ",
         "Camera 1: command 01 06 02 05 07 00 00 00 00 00 00 00 00, not one of this panel's"},
    };
    for (const auto& c : cases) EXPECT_EQ(sent(c.line), c.meaning) << c.line;
    // Each button of the pan-tilt window has its case above.
    for (const pantilt::DriveRow& row : pantilt::driveTable()) {
        const std::string name = std::string(row.control) + "(" + std::to_string(row.index) + ") \"" + row.caption + "\"";
        const auto names = [&](const auto& c) { return std::string_view(c.meaning).find(name) != std::string_view::npos; };
        EXPECT_TRUE(std::any_of(std::begin(cases), std::end(cases), names)) << name << " has no typed case";
    }
}

TEST(Meaning, SentLinesReadAsTheOperatorExpects) {
    EXPECT_EQ(sent("81 01 04 0B 02 FF "), "Camera 1: IrisOpen (iris one step open)");
    EXPECT_EQ(sent("83 01 04 47 04 00 00 00 FF "), "Camera 3: FarT (zoom position 0x4000)");
    EXPECT_EQ(sent("83 01 04 47 08 0B 0E 00 FF "), "Camera 3: FarT (zoom position 0x8BE0)");
    EXPECT_EQ(sent("81 01 04 47 01 02 03 04 FF "), "Camera 1: ZoomSlider or ZoomSliderShort (zoom position 0x1234)");
    EXPECT_EQ(sent("87 01 04 43 00 00 0F 0F FF "), "Camera 7: RGainSlider (red gain position 0xFF)");
    EXPECT_EQ(sent("81 01 04 07 25 FF "), "Camera 1: ZoomTele (zoom tele, speed 5)");
    EXPECT_EQ(sent("81 01 04 08 00 FF "), "Camera 1: Far or Near (focus stop)");
    EXPECT_EQ(sent("82 01 04 3F 02 7F FF "), "Camera 2: CustomMem(1) (memory recall, custom)");
    EXPECT_EQ(sent("82 01 04 3F 01 03 FF "), "Camera 2: PresetSet(3) or SetOption(3) (memory set, number 3)");
    EXPECT_EQ(sent("81 01 04 39 0D FF "), "Camera 1: Bright (exposure mode bright)");
    EXPECT_EQ(sent("81 01 06 01 18 17 03 01 FF "),
              "Camera 1: Pan_Tilt_Stop(1) \"UP\" (pan-tilt drive up, pan speed 24, tilt speed 23)");
    // Inquiries by what they ask.
    EXPECT_EQ(sent("81 09 7E 7E 00 FF "), "Camera 1: inquiry, lens block");
    EXPECT_EQ(sent("86 09 06 12 FF "), "Camera 6: inquiry, pan-tilt position");
    // Broadcasts and the interface clear of one camera.
    EXPECT_EQ(sent("88 30 01 FF "), "All cameras: AddressSet (address set, broadcast)");
    EXPECT_EQ(sent("88 01 00 01 FF "), "All cameras: IFClearB (interface clear, broadcast)");
    EXPECT_EQ(sent("83 01 00 01 FF "), "Camera 3: FrmMain.IFClear (interface clear)");
}

TEST(Meaning, LinesThePanelCannotNameSaySo) {
    EXPECT_EQ(sent("82 01 04 99 FF "), "Camera 2: command 01 04 99, not one of this panel's");
    EXPECT_EQ(sent("82 01 04 39 55 FF "), "Camera 2: command 01 04 39 55 (exposure mode, setting 55), not one of this panel's");
    EXPECT_EQ(sent("82 09 04 99 FF "), "Camera 2: inquiry 09 04 99, not one of this panel's");
    EXPECT_EQ(sent("80 01 04 0B 02 FF "), "Header 80 is no camera's address: 80 01 04 0B 02 FF");
    EXPECT_EQ(sent("81 01 04 "), "Camera 1: unfinished packet 81 01 04 (no FF)");
    EXPECT_EQ(sent("88 01 "), "unfinished packet 88 01 (no FF)");
    EXPECT_EQ(sent("FF "), "a lone FF");
    // A console line with two packets: both meanings.
    EXPECT_EQ(sent("81 01 04 0B 02 FF 81 01 04 0B 03 FF "),
              "Camera 1: IrisOpen (iris one step open); Camera 1: IrisClose (iris one step closed)");
    // The first line of a log cut at its limit, and text that is not traffic.
    EXPECT_THAT(sent("1 04 0B 02 FF "), HasSubstr("cut off"));
    EXPECT_THAT(sent("81 0G FF "), HasSubstr("cut off"));
    EXPECT_EQ(sent(""), "");
    EXPECT_EQ(sent("  \r"), "");
}

TEST(Meaning, RepliesByClassCameraSocketAndCode) {
    EXPECT_EQ(received("90 41 FF "), "Camera 1: acknowledge, socket 1");
    EXPECT_EQ(received("A0 52 FF "), "Camera 2: completion, socket 2");
    EXPECT_EQ(received("B0 61 41 FF "), "Camera 3: cannot execute, socket 1");
    EXPECT_EQ(received("F0 60 02 FF "), "Camera 7: syntax error");
    EXPECT_EQ(received("90 60 03 FF "), "Camera 1: command buffer full");
    EXPECT_EQ(received("90 62 05 FF "), "Camera 1: error code 0x05, socket 2");
    EXPECT_EQ(received("88 30 04 FF "), "Address set came back: 3 cameras");
    EXPECT_EQ(received("88 30 02 FF "), "Address set came back: 1 camera");
    EXPECT_EQ(received("88 01 00 01 FF "), "Interface clear came back through the chain");
    EXPECT_THAT(received("A0 38 FF "), HasSubstr("Camera 2: network change"));
    EXPECT_EQ(received("90 50 02 FF "), "Camera 1: inquiry answer, 4 bytes");
    EXPECT_EQ(received("85 41 FF "), "Reply 85 41 FF comes from no camera address");
    EXPECT_EQ(received("90 77 FF "), "Camera 1: reply 90 77 FF, not one this panel knows");
    EXPECT_EQ(received("90 FF "), "Camera 1: reply 90 FF too short");

}

// An answer explained against what was outstanding for its camera when it
// arrived.
TEST(Meaning, AnswersByWhatTheyAnswered) {
    const Bytes power{0x81, 0x09, 0x04, 0x00, 0xFF};
    const Bytes block{0x81, 0x09, 0x7E, 0x7E, 0x00, 0xFF};
    const Bytes unknown{0x81, 0x09, 0x04, 0x99, 0xFF};
    const struct {
        const char* line;
        std::optional<Bytes> inquiry;  // nothing: not known; empty: none outstanding
        const char* meaning;
    } cases[] = {
        {"90 50 02 FF ", power, "Camera 1: answer to the power inquiry: 02 (on)"},
        {"90 50 03 FF ", power, "Camera 1: answer to the power inquiry: 03 (off)"},
        {"90 50 07 FF ", power, "Camera 1: answer to the power inquiry: 07"},
        {"90 50 0C FF ", Bytes{0x81, 0x09, 0x04, 0x6C, 0xFF}, "Camera 1: answer to the alarm mode inquiry: 0C (Day & Night)"},
        {"90 50 00 00 03 0C FF ", Bytes{0x81, 0x09, 0x04, 0x41, 0xFF},
         "Camera 1: answer to the night power-off timer inquiry: 00 00 03 0C (60 min)"},
        {"90 50 0F 0C 09 00 00 01 02 00 FF ", Bytes{0x81, 0x09, 0x06, 0x12, 0xFF},
         "Camera 1: answer to the pan-tilt position inquiry: 0F 0C 09 00 00 01 02 00 (pan 0xFC90, tilt 0x0120)"},
        {"90 50 02 FF ", std::nullopt, "Camera 1: inquiry answer, 4 bytes"},
        {"90 50 02 FF ", Bytes{}, "Camera 1: inquiry answer, 4 bytes, with no inquiry outstanding"},
        {"A0 50 02 FF ", power, "Camera 2: inquiry answer, 4 bytes"},
        {"90 50 01 02 03 FF ", power,
         "Camera 1: inquiry answer, 6 bytes, garbled: the power inquiry is answered with 4"},
        {"90 50 02 FF ", block, "Camera 1: inquiry answer, 4 bytes, garbled: the lens block inquiry is answered with 16"},
        {"90 50 0A FF ", unknown, "Camera 1: answer to inquiry 09 04 99: 0A"},
    };
    for (const auto& c : cases) {
        const AnswerOrigin origin{c.inquiry.value_or(Bytes{})};
        EXPECT_EQ(lineMeaning(c.line, LineSide::Received, c.inquiry ? &origin : nullptr), c.meaning) << c.line;
    }
}

// The ledger finds a line's entry by counting answer lines from the end of
// the log, so a log that lost its start or was emptied still pairs right.
TEST(Meaning, AnswerLedgerPairsLinesCountedFromTheEnd) {
    const Bytes power{0x81, 0x09, 0x04, 0x00, 0xFF}, menu{0x81, 0x09, 0x06, 0x06, 0xFF};
    AnswerLedger ledger;
    ledger.add({0x90, 0x50, 0x03, 0xFF}, AnswerOrigin{menu});  // gone with the log's start
    ledger.add({0x90, 0x50, 0x02, 0xFF}, AnswerOrigin{power});
    ledger.add({0x90, 0x50, 0x03, 0xFF}, std::nullopt);
    ledger.add({0x90, 0x50, 0x03, 0xFF}, AnswerOrigin{});
    ledger.add({0xA0, 0x50, 0x03, 0xFF}, AnswerOrigin{menu});
    const std::string log = "0 50 03 FF \r\n90 50 02 FF \r\n90 41 FF \r\n90 50 03 FF \r\n90 50 03 FF \r\n";
    const struct {
        std::string log;
        std::string line;              // the line asked, by its text
        std::optional<Bytes> inquiry;  // nothing: no origin; empty: none outstanding
    } cases[] = {
        {log + "A0 50 03 FF \r\n", "90 50 02", power},
        {log + "A0 50 03 FF \r\n", "90 50 03 FF \r\n90 50", std::nullopt},
        {log + "A0 50 03 FF \r\n", "90 50 03 FF \r\nA0", Bytes{}},
        {log + "A0 50 03 FF \r\n", "A0 50", menu},
        {log + "A0 50 03 FF \r\n", "90 41", std::nullopt},
        {log + "A0 50 03 FF \r\n", "0 50 03", std::nullopt},
        // The last entry's line not in the log: every line is one off, and
        // a line whose bytes are not its entry's pairs nothing.
        {log, "90 50 02", std::nullopt},
        // Emptied, then one answer written.
        {"A0 50 03 FF \r\n", "A0 50", menu},
        // The oldest entry, and an answer line older than all entries.
        {"90 50 03 FF \r\n" + log + "A0 50 03 FF \r\n", "90 50 03", menu},
        {"90 50 03 FF \r\n90 50 03 FF \r\n" + log + "A0 50 03 FF \r\n", "90 50 03", std::nullopt},
    };
    for (const auto& c : cases) {
        const auto origin = ledger.originAt(c.log, c.log.find(c.line));
        ASSERT_EQ(origin.has_value(), c.inquiry.has_value()) << c.line << " in " << c.log;
        if (origin) {
            EXPECT_EQ(origin->inquiry, *c.inquiry) << c.line;
        }
    }
    EXPECT_FALSE(ledger.originAt("", 0));
    EXPECT_FALSE(ledger.originAt(log, 999));
}

// The operator types inquiries into the console; some go unanswered, a
// camera answers what nobody asked, the log runs over its limit or is
// cleared. Each answer line is explained by its own inquiry all the same.
TEST(Meaning, EachAnswerIsExplainedByTheInquiryOutstandingWhenItArrived) {
    // Steps: a typed packet ("!" first: its camera stays silent), "stray"
    // (a command answered with an answer too), "fill" (commands until the
    // reply log has run over its limit), "clear" ("Clear Txt"), "echo off"
    // and "echo on", "in " and bytes (received as they are).
    const std::string power = "answer to the power inquiry", menu = "answer to the menu mode inquiry",
                      info = "answer to the information display inquiry";
    const struct {
        const char* name;
        std::vector<std::string> steps;
        std::vector<std::string> answers;  // the answer lines' meanings, in order
    } cases[] = {
        {"power answered, menu unanswered", {"81090400FF", "!81090606FF"}, {"Camera 1: " + power + ": 02"}},
        {"an unanswered inquiry between two answered",
         {"81090400FF", "!81090606FF", "81097E0118FF"},
         {"Camera 1: " + power, "Camera 1: " + info}},
        {"another camera's inquiry unanswered",
         {"81090400FF", "!82090400FF", "81090606FF"},
         {"Camera 1: " + power, "Camera 1: " + menu}},
        {"an answer nobody asked for",
         {"81090400FF", "stray"},
         {"Camera 1: " + power, "Camera 1: inquiry answer, 4 bytes, with no inquiry outstanding"}},
        {"the log ran over its limit", {"81090400FF", "fill", "81090606FF", "!81090400FF"}, {"Camera 1: " + menu}},
        {"the logs were cleared", {"81090400FF", "clear", "81097E0118FF", "!81090606FF"}, {"Camera 1: " + info}},
        // The log's line holds only the bytes it showed: no answer line, so
        // the answer line before it keeps its own inquiry.
        {"an answer half logged",
         {"81090400FF", "echo off", "in 9050", "echo on", "in 02FF"},
         {"Camera 1: " + power}},
        {"an answer on the line of a reply that ended unlogged",
         {"81090400FF", "in 02", "echo off", "in 03FF", "echo on", "in 905002FF"},
         {"Camera 1: " + power}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        orbus::testing::Rig rig({"ORX-Kappa", "ORX-Kappa"});
        rig.openQuietly();
        rig.chain.camera(0).state().aeMode = 0x03;  // manual exposure: the iris is the operator's
        FrmMain& m = rig.main();
        for (const std::string& step : c.steps) {
            if (step == "clear") {
                m.cmdClearTxt.click();
            } else if (step == "echo off" || step == "echo on") {
                step == "echo on" ? rig.linkControl().echoOn() : rig.linkControl().echoOff();
            } else if (step.rfind("in ", 0) == 0) {
                Bytes bytes;
                for (std::size_t i = 3; i + 1 < step.size(); i += 2)
                    bytes.push_back(static_cast<std::uint8_t>(std::stoi(step.substr(i, 2), nullptr, 16)));
                m.EchoReceived(bytes);
            } else if (step == "stray" || step == "fill") {
                if (step == "stray") {
                    rig.chain.mutate = [](const sim::Bytes& packet, std::vector<sim::Bytes>& replies) {
                        if (packet[1] == 0x01) replies.push_back({0x90, 0x50, 0x03, 0xFF});
                    };
                }
                for (int i = step == "fill" ? 50 : 1; i > 0; --i) {
                    m.DirectText.type("8101040B02FF\r");
                    rig.run(0.2);
                }
                rig.chain.mutate = nullptr;
            } else {
                const bool silent = step[0] == '!';
                const std::string typed = step.substr(silent ? 1 : 0);
                if (silent) {
                    Bytes body;
                    for (std::size_t i = 2; i + 2 < typed.size(); i += 2)
                        body.push_back(static_cast<std::uint8_t>(std::stoi(typed.substr(i, 2), nullptr, 16)));
                    rig.chain.packetFaults[body].silentTries = 1;
                }
                m.DirectText.type(typed + "\r");
                rig.run(0.3);
            }
        }
        std::vector<std::string> answers;
        const std::string& log = m.RecvText.text();
        for (std::size_t at = 0; at < log.size();) {
            const std::string_view line = lineAt(log, at);
            if (line.size() >= 12 && line.substr(2, 4) == " 50 ") answers.push_back(m.RecvText.toolTipAt(at));
            const std::size_t end = log.find('\n', at);
            if (end == std::string::npos) break;
            at = end + 1;
        }
        ASSERT_EQ(answers.size(), c.answers.size()) << log;
        for (std::size_t i = 0; i < answers.size(); ++i) EXPECT_THAT(answers[i], HasSubstr(c.answers[i])) << log;
    }
}

TEST(Meaning, LineAtACaretPosition) {
    const std::string text = "81 01 FF \r\n90 41 FF \r\n";
    EXPECT_EQ(lineAt(text, 0), "81 01 FF ");
    EXPECT_EQ(lineAt(text, 9), "81 01 FF ");   // on the CR
    EXPECT_EQ(lineAt(text, 11), "90 41 FF ");  // start of the second line
    EXPECT_EQ(lineAt(text, 20), "90 41 FF ");
    EXPECT_EQ(lineAt(text, text.size()), "");  // the empty line after the last break
    EXPECT_EQ(lineAt(text, 999), "");
    EXPECT_EQ(lineAt("", 0), "");
}

// The main window: the caret in either log shows the meaning of its line,
// a log line's tool tip says the same, and "Clear Txt" clears it with the logs.
TEST(Meaning, MainWindowShowsTheLineAtTheCaret) {
    orbus::testing::Rig rig({"ORX-Beta"});
    rig.openQuietly();
    FrmMain& m = rig.main();
    m.DirectText.type("81090400FF\r");
    rig.run(1);
    m.ApertureUp.click();
    rig.run(1);
    m.SendText.caretMovedTo(m.SendText.text().find("81 01"));
    EXPECT_EQ(m.LineMeaning.text(), "Camera 1: Aperture Up (aperture up)");
    m.RecvText.caretMovedTo(2);
    EXPECT_EQ(m.LineMeaning.text(), "Camera 1: answer to the power inquiry: 02 (on)");
    EXPECT_EQ(m.RecvText.toolTipAt(m.RecvText.text().find("90 41")), "Camera 1: acknowledge, socket 1");
    EXPECT_EQ(m.SendText.toolTipAt(0), "Camera 1: inquiry, power");
    m.cmdClearTxt.click();
    EXPECT_EQ(m.LineMeaning.text(), "");
}

// While the panel runs, a packet names its control as the operator sees
// it: its spoken name or caption, and the window's caption for a dialog.
TEST(Meaning, ControlsReadAsTheOperatorSeesThem) {
    orbus::testing::Rig rig({"ORX-Kappa"});
    const struct {
        const char* line;
        const char* meaning;
    } cases[] = {
        {"81 01 04 0B 02 FF ", "Camera 1: Iris Open (iris one step open)"},
        {"81 01 04 3F 01 03 FF ", "Camera 1: Preset 4 Set or Memory 3 Set (memory set, number 3)"},
        {"81 01 04 15 02 FF ", "Camera 1: Data Screen or Alarm: Display ON (data screen on)"},
        {"81 01 04 47 01 02 03 04 FF ", "Camera 1: Zoom (zoom position 0x1234)"},
        {"81 01 04 73 01 07 04 0B 0B 0E 1B 1B 1B 1B 1B FF ", "Camera 1: Title Set: OK or Title Set with Mouse: OK (title characters 1 to 10 \"HELLO     \")"},
        {"81 01 04 6D 0F 0F 0F 08 00 00 FF ", "Camera 1: Alarm: Set Day/Night AE Level Send Command (alarm day and night levels, setting 0F 0F 0F 08 00 00)"},
        {"81 09 04 40 FF ", "Camera 1: inquiry, auto power-off timer (Auto Power Off, on opening)"},
        {"81 01 06 01 18 17 03 01 FF ", "Camera 1: Pan/Tilt UP (pan-tilt drive up, pan speed 24, tilt speed 23)"},
        {"83 01 00 01 FF ", "Camera 3: I/F Clear (interface clear)"},
    };
    for (const auto& c : cases) EXPECT_EQ(sent(c.line), c.meaning) << c.line;
    // The reply log's tool tips use the same words.
    rig.openQuietly();
    FrmMain& m = rig.main();
    m.IrisOpen.click();
    rig.run(1);
    EXPECT_EQ(m.SendText.toolTipAt(m.SendText.text().rfind("81 01 04 0B")), "Camera 1: Iris Open (iris one step open)");
}
