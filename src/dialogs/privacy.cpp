#include "dialogs/privacy.h"

#include "dialogs/packets.h"

#include <string>

#include "dialogs/context.h"
#include "dialogs/dialog_link.h"
#include "link/send_mode.h"
#include "platform/digit_input.h"
#include "platform/text.h"

namespace orbus {

const char* const Privacy::kColours[14] = {"Black", "Gray1", "Gray2", "Gray3",  "Gray4", "Gray5",  "Gray6",
                                           "White", "Red",   "Green", "Blue",   "Cyan",  "Yellow", "Magenta"};

namespace {

std::string zoneLetter(int i) { return std::string(1, static_cast<char>('A' + i)); }

// Direction byte of each Opmove button: high digit pan (1 right, 2 left),
// low digit tilt (1 up, 2 down).
constexpr int kMoveDirection[9] = {0x21, 0x01, 0x11, 0x20, 0x00, 0x10, 0x22, 0x02, 0x12};

// Twelve zone switches a row, two rows, in a frame.
void placeZoneRows(ControlArray<CheckBox>& checks, Frame& frame, const std::string& what) {
    for (int i = 0; i < 24; ++i) {
        CheckBox& c = checks[i];
        c.placeIn(&frame, 150 + (i % 12) * 380, 280 + (i / 12) * 280, 370, 240);
        c.setAccessibleName(what + " " + zoneLetter(i));
    }
}

}  // namespace

std::vector<int> Privacy::zoneSet(const ControlArray<CheckBox>& checks) {
    int bytes[4] = {0, 0, 0, 0};
    for (int i = 0; i < 24; ++i) {
        if (checks.has(i) && checks[i].checked()) bytes[i / 6] |= 1 << (i % 6);
    }
    return {bytes[3], bytes[2], bytes[1], bytes[0]};
}

Privacy::Privacy(dialogs::Context& context) : Form("Privacy", "PrivacyZone Setting"), ctx_(context) {
    resize(9800, 7400);
    for (int i = 0; i < 24; ++i) {
        Checks0.add(i, *this, "Checks0", zoneLetter(i));
        Checks1.add(i, *this, "Checks1", zoneLetter(i));
    }

    // Left column: display, colour, one mask, grid.
    FmDisplay.setGeometry(120, 120, 4800, 1300);
    placeZoneRows(Checks0, FmDisplay, "Display zone");
    cmdPrivacyDisp.placeIn(&FmDisplay, 1650, 880, 3000, 320);

    FmColor.setGeometry(120, 1520, 4800, 1700);
    placeZoneRows(Checks1, FmColor, "Colour 2 for zone");
    for (int i = 0; i < 2; ++i) {
        ComboBox& cb = Combo.add(i, *this, "Combo");
        for (const char* c : kColours) cb.addItem(c);
        const int y = 900 + i * 380;
        (i == 0 ? LblColor1 : LblColor2).placeIn(&FmColor, 150, y + 40, 700, 240);
        cb.placeIn(&FmColor, 860, y, 1500, 320);
        (i == 0 ? Chk1 : Chk2).placeIn(&FmColor, 2440, y + 40, 800, 240);
        cb.setAccessibleName(i == 0 ? "Color 1" : "Color 2");
    }
    Chk1.setAccessibleName("Color 1 Half");
    Chk2.setAccessibleName("Color 2 Half");
    cmdPrivacyColor.placeIn(&FmColor, 3400, 1260, 1250, 340);
    FmColor.setToolTip("Ticked zones take colour 2, the others colour 1");

    FmSet.setGeometry(120, 3320, 4800, 1790);
    for (int i = 0; i < 24; ++i) combSetPrivacy.addItem("SetMask_" + zoneLetter(i));
    combSetPrivacy.placeIn(&FmSet, 150, 280, 1600, 320);
    combSetPrivacy.setAccessibleName("Mask to set");
    Check1.placeIn(&FmSet, 1850, 320, 900, 240);
    const char* heads[] = {"X", "Y", "Width", "Height"};
    const char* initial[] = {"01", "01", "05", "05"};
    for (int i = 0; i < 4; ++i) {
        LblZones.add(i, *this, "LblZones", heads[i]).placeIn(&FmSet, 150 + i * 900, 700, 800, 240);
        LblZones[i].setCentered(true);
        TextBox& z = Zones.add(i, *this, "Zones", initial[i]);
        z.placeIn(&FmSet, 150 + i * 900, 950, 800, 300);
        z.setCentered(true);
        z.setAccessibleName(std::string("Mask ") + heads[i]);
        acceptHexOnly(z, 2);
    }
    CmdPrivacySet.add(0, *this, "CmdPrivacySet", "Privacy Zone Set").placeIn(&FmSet, 150, 1350, 2400, 340);

    FmGrid.setGeometry(120, 5210, 4800, 700);
    CmdGridOn.placeIn(&FmGrid, 150, 280, 1500, 320);
    cmdGridoff.placeIn(&FmGrid, 1750, 280, 1500, 320);

    // Right column: pan-tilt angle, move, set PTZ, the log.
    FmPanTiltAngle.setGeometry(5020, 120, 4560, 1500);
    LblScale1.placeIn(&FmPanTiltAngle, 150, 280, 4300, 240);
    LblScale2.placeIn(&FmPanTiltAngle, 150, 520, 4300, 240);
    LblScale3.placeIn(&FmPanTiltAngle, 150, 760, 4300, 240);
    for (Label* l : {&LblScale1, &LblScale2, &LblScale3}) l->setFixedPitch(true);
    LblPan.placeIn(&FmPanTiltAngle, 150, 1090, 450, 240);
    TextPan.placeIn(&FmPanTiltAngle, 620, 1060, 700, 300);
    LblTilt.placeIn(&FmPanTiltAngle, 1450, 1090, 450, 240);
    TextTilt.placeIn(&FmPanTiltAngle, 1920, 1060, 700, 300);
    cmdPZMpantilt.placeIn(&FmPanTiltAngle, 2900, 1040, 1500, 340);
    cmdPZMpantilt.setAccessibleName("Pan Tilt Angle Send Command");

    FmMovePanTilt.setGeometry(5020, 1720, 4560, 1360);
    LblMovePan.placeIn(&FmMovePanTilt, 150, 310, 450, 240);
    TextMovePan.placeIn(&FmMovePanTilt, 620, 280, 600, 300);
    LblMoveTilt.placeIn(&FmMovePanTilt, 150, 690, 450, 240);
    TextMoveTilt.placeIn(&FmMovePanTilt, 620, 660, 600, 300);
    FmOpmove.placeIn(&FmMovePanTilt, 1400, 200, 1400, 1060);
    const char* ways[] = {"up-left", "up", "up-right", "left", "centre", "right", "down-left", "down", "down-right"};
    for (int i = 0; i < 9; ++i) {
        OptionButton& o = Opmove.add(i, *this, "Opmove", "");
        o.placeIn(&FmOpmove, 200 + (i % 3) * 380, 280 + (i / 3) * 240, 300, 230);
        o.setAccessibleName(std::string("Move ") + ways[i]);
    }
    cmdMovePanTilt.placeIn(&FmMovePanTilt, 2950, 860, 1450, 340);
    cmdMovePanTilt.setAccessibleName("Move Pan Tilt Send Command");

    FmSetPTZ.setGeometry(5020, 3180, 4560, 1540);
    for (int i = 0; i < 24; ++i) comboSetPTZ.addItem("Mask_" + zoneLetter(i));
    comboSetPTZ.placeIn(&FmSetPTZ, 150, 280, 1600, 320);
    comboSetPTZ.setAccessibleName("Mask for the pan, tilt and zoom");
    LblPTZPan.placeIn(&FmSetPTZ, 150, 730, 450, 240);
    TextSetPTZpan.placeIn(&FmSetPTZ, 620, 700, 700, 300);
    LblPTZTilt.placeIn(&FmSetPTZ, 1450, 730, 450, 240);
    TextSetPTZTilt.placeIn(&FmSetPTZ, 1920, 700, 700, 300);
    LblPTZZoom.placeIn(&FmSetPTZ, 2750, 730, 550, 240);
    TextSetPTZzoom.placeIn(&FmSetPTZ, 3320, 700, 900, 300);
    Command1.placeIn(&FmSetPTZ, 2900, 1100, 1500, 340);
    Command1.setAccessibleName("Set PTZ Send Command");

    const struct {
        TextBox* box;
        int digits;
        const char* name;
    } hexBoxes[] = {
        {&TextPan, 3, "Pan Tilt Angle pan"},     {&TextTilt, 3, "Pan Tilt Angle tilt"},
        {&TextMovePan, 2, "Move Pan Tilt pan"},  {&TextMoveTilt, 2, "Move Pan Tilt tilt"},
        {&TextSetPTZpan, 3, "Set PTZ pan"},       {&TextSetPTZTilt, 3, "Set PTZ tilt"},
        {&TextSetPTZzoom, 4, "Set PTZ zoom"},
    };
    for (const auto& h : hexBoxes) {
        acceptHexOnly(*h.box, h.digits);
        h.box->setCentered(true);
        h.box->setAccessibleName(h.name);
        h.box->setToolTip(std::to_string(h.digits) + " hexadecimal digits");
    }

    LblLog.placeIn(nullptr, 5020, 4840, 2000, 240);
    PrivacySetTxt.placeIn(nullptr, 5020, 5100, 4560, 1300);
    PrivacySetTxt.setMultiLine(true);
    PrivacySetTxt.setLocked(true);
    PrivacySetTxt.setAccessibleName("Commands sent");
    ClrSET.placeIn(nullptr, 8080, 6480, 1500, 340);

    for (Control* c : {static_cast<Control*>(&FmDisplay), static_cast<Control*>(&FmColor),
                       static_cast<Control*>(&FmSet), static_cast<Control*>(&FmGrid),
                       static_cast<Control*>(&FmPanTiltAngle), static_cast<Control*>(&FmMovePanTilt),
                       static_cast<Control*>(&FmSetPTZ), static_cast<Control*>(&LblLog),
                       static_cast<Control*>(&PrivacySetTxt), static_cast<Control*>(&ClrSET)})
        appendToTabOrder(*c);

    CmdGridOn.onClick = [this] { CmdGridOn_Click(); };
    cmdGridoff.onClick = [this] { cmdGridoff_Click(); };
    cmdPrivacyDisp.onClick = [this] { cmdPrivacyDisp_Click(); };
    cmdPrivacyColor.onClick = [this] { cmdPrivacyColor_Click(); };
    CmdPrivacySet[0].onClick = [this] { CmdPrivacySet_Click(0); };
    cmdPZMpantilt.onClick = [this] { cmdPZMpantilt_Click(); };
    cmdMovePanTilt.onClick = [this] { cmdMovePanTilt_Click(); };
    Command1.onClick = [this] { Command1_Click(); };
    ClrSET.onClick = [this] { ClrSET_Click(); };
    onUnload = [this] { Form_Unload(); };
    dialogs::applyPacketTips(*this);
}

void Privacy::open() {
    ctx_.loaded(*this);
    for (ComboBox* cb : {&combSetPrivacy, &Combo[0], &Combo[1], &comboSetPTZ}) cb->setListIndex(0);
    if (!visible()) dialogs::placeBesideMain(ctx_, *this, 100, 100);
    show();
    raiseWithoutFocus();
}

void Privacy::send(dialogs::Packet packet, const std::vector<int>& values) {
    if (auto p = dialogs::packetFor(ctx_, packet, values))
        dialogs::DialogSD(ctx_, *p, link::kCommand, {&PrivacySetTxt});
}

void Privacy::CmdGridOn_Click() { send(dialogs::Packet::GridOn, {}); }

void Privacy::cmdGridoff_Click() { send(dialogs::Packet::GridOff, {}); }

void Privacy::cmdPrivacyDisp_Click() {
    send(dialogs::Packet::MaskDisplay, zoneSet(Checks0));
}

void Privacy::cmdPrivacyColor_Click() {
    std::vector<int> values = zoneSet(Checks1);
    for (int i = 0; i < 2; ++i) {
        const int code = Combo[i].listIndex();
        if (code < 0) {
            dialogs::warn(ctx_, std::string("Choose a colour for \"Color ") + (i == 0 ? "1" : "2") + "\".");
            return;
        }
        values.push_back(code + ((i == 0 ? Chk1 : Chk2).checked() ? 0x10 : 0));
    }
    send(dialogs::Packet::MaskColour, values);
}

void Privacy::CmdPrivacySet_Click(int) {
    const int mask = combSetPrivacy.listIndex();
    if (mask < 0) {
        dialogs::warn(ctx_, "Choose the mask to set (SetMask_A to SetMask_X).");
        return;
    }
    std::vector<int> values{mask, Check1.checked() ? 1 : 0};
    for (int i = 0; i < 4; ++i) {
        if (!dialogs::appendHexField(ctx_, values, Zones[i], 2, LblZones[i].caption())) return;
    }
    send(dialogs::Packet::MaskSet, values);
}

void Privacy::cmdPZMpantilt_Click() {
    std::vector<int> values;
    if (!dialogs::appendHexField(ctx_, values, TextPan, 3, "Pan Tilt Angle: Pan")) return;
    if (!dialogs::appendHexField(ctx_, values, TextTilt, 3, "Pan Tilt Angle: Tilt")) return;
    send(dialogs::Packet::MaskAngle, values);
}

void Privacy::cmdMovePanTilt_Click() {
    std::vector<int> values;
    if (!dialogs::appendHexField(ctx_, values, TextMovePan, 2, "Move Pan Tilt: Pan")) return;
    if (!dialogs::appendHexField(ctx_, values, TextMoveTilt, 2, "Move Pan Tilt: Tilt")) return;
    int direction = 0x00;
    Opmove.forEach([&](int i, OptionButton& o) {
        if (o.value() && i >= 0 && i < 9) direction = kMoveDirection[i];
    });
    values.push_back(direction);
    send(dialogs::Packet::MaskMove, values);
}

void Privacy::Command1_Click() {
    const int mask = comboSetPTZ.listIndex();
    if (mask < 0) {
        dialogs::warn(ctx_, "Choose the mask for \"Set PTZ\" (Mask_A to Mask_X).");
        return;
    }
    std::vector<int> values{mask};
    // Digits by position; a digit the box does not hold counts as 0.
    auto digits = [&](const TextBox& box, int count) {
        const std::string& t = box.text();
        for (int i = 0; i < count; ++i) {
            const int d = i < static_cast<int>(t.size()) ? hexDigit(t[static_cast<std::size_t>(i)]) : 0;
            values.push_back(d < 0 ? 0 : d);
        }
    };
    digits(TextSetPTZpan, 3);
    digits(TextSetPTZTilt, 3);
    digits(TextSetPTZzoom, 4);
    send(dialogs::Packet::MaskPTZ, values);
}

void Privacy::ClrSET_Click() { PrivacySetTxt.setText(""); }

void Privacy::Form_Unload() {
    hide();
    ctx_.unloaded(*this);
}

}  // namespace orbus
