#include "dialogs/title.h"

#include "dialogs/packets.h"

#include <algorithm>

#include "dialogs/context.h"
#include "dialogs/dialog_link.h"
#include "dialogs/host.h"
#include "dialogs/title_chars.h"
#include "link/send_mode.h"
#include "platform/digit_input.h"
#include "platform/text.h"

namespace orbus {

namespace {

const char* const kColours[] = {"White", "Yellow", "Violet", "Red", "Cyan", "Green", "Blue"};
const char* const kBlinks[] = {"No Blink", "Blink"};

// A position box's number within its arrows' range; nothing (after saying
// which box) otherwise.
std::optional<int> position(dialogs::Context& ctx, const TextBox& box, const UpDown& range, const char* name) {
    const long v = leadingNumber(box.text());
    if (box.text().empty() || v < range.min() || v > range.max()) {
        dialogs::warn(ctx, std::string("\"") + name + "\" must be a number from " + std::to_string(range.min()) +
                               " to " + std::to_string(range.max()) + ".");
        return std::nullopt;
    }
    return static_cast<int>(v);
}

// The vertical and horizontal position boxes, both valid, or nothing.
std::optional<std::pair<int, int>> positions(dialogs::Context& ctx, const TextBox& v, const UpDown& vRange,
                                             const TextBox& h, const UpDown& hRange) {
    const auto vp = position(ctx, v, vRange, "V-Position");
    if (!vp) return std::nullopt;
    const auto hp = position(ctx, h, hRange, "H-Position");
    if (!hp) return std::nullopt;
    return std::make_pair(*vp, *hp);
}

// Hands over to the other title dialog at the same place; the refresh stays
// stopped in between.
template <class Other>
void swapTo(dialogs::Context& ctx, Form& from, Other& to) {
    to.move(from.left(), from.top());
    ctx.titles().swapping = true;
    from.unload();
    ctx.titles().swapping = false;
    to.open();
}

// A combo box without a selection counts as code 0.
int codeOf(const ComboBox& c) { return std::max(0, c.listIndex()); }

// The three title packets: the place, colour and blink, then the two halves.
void sendTitle(dialogs::Context& ctx, int v, int h, int colour, int blink, const std::vector<int>& codes) {
    using dialogs::Packet;
    dialogs::Host& host = ctx.dialogHost();
    const int x = ctx.link().header();
    host.sendValues(dialogs::packetValues(x, Packet::TitlePlace, {v, h, colour, blink}), link::kCommand);
    for (int half = 0; half < 2; ++half) {
        const std::vector<int> part(codes.begin() + half * 10L, codes.begin() + half * 10L + 10);
        host.sendValues(dialogs::packetValues(x, half == 0 ? Packet::TitleFirstHalf : Packet::TitleSecondHalf, part),
                        link::kCommand);
    }
}

void sendClear(dialogs::Context& ctx) {
    ctx.dialogHost().sendValues(dialogs::packetValues(ctx.link().header(), dialogs::Packet::TitleClear),
                                link::kCommand);
}

void fillCombos(ComboBox& colour, ComboBox& blink) {
    for (const char* c : kColours) colour.addItem(c);
    for (const char* b : kBlinks) blink.addItem(b);
    colour.setListIndex(0);
    blink.setListIndex(0);
}

// Opening a title dialog: no refresh while it is open, its display box as
// the main window's mark says.
void stopRefreshFor(dialogs::Context& ctx, CheckBox& display) {
    dialogs::holdRefresh(ctx, true, true);
    display.setValue(ctx.dialogHost().titleShown() ? 1 : 0);
}

// Closing one: the refresh comes back, unless the alarm runs (then it stays
// off) or the other title dialog is taking over.
void giveRefreshBack(dialogs::Context& ctx, const Form& other) {
    dialogs::Host& host = ctx.dialogHost();
    ctx.linkControl().dropReadAfterCommand();
    // The other title dialog taking over keeps the hold.
    if (other.visible() || ctx.titles().swapping) return;
    dialogs::giveTimersBack(ctx);
    if (host.autoRefreshOn() && ctx.alarm().AlarmActive) host.switchAutoRefreshOff();
}

void paramRow(Label& label, TextBox& box, UpDown& arrows, int y, int labelX, int boxX) {
    label.placeIn(nullptr, labelX, y + 40, boxX - labelX - 100, 240);
    box.placeIn(nullptr, boxX, y, 600, 300);
    arrows.placeIn(nullptr, boxX + 600, y, 240, 300);
    box.setCentered(true);
    box.setAccessibleName(label.caption());
    arrows.setAccessibleName(label.caption() + " arrows");
    acceptDecimalOnly(box, 2);
}

}  // namespace

void titleDisplayClicked(dialogs::Context& ctx, const CheckBox& box) {
    dialogs::Host& host = ctx.dialogHost();
    if (box.checked() != host.titleShown()) {
        const bool on = box.checked();
        const dialogs::Packet packet = on ? dialogs::Packet::TitleOn : dialogs::Packet::TitleOff;
        host.sendValues(dialogs::packetValues(ctx.link().header(), packet), link::kCommand);
        host.setTitleShown(on);
    }
}

// ---- typed title ------------------------------------------------------------------

FrmTitle_K::FrmTitle_K(dialogs::Context& context) : Form("FrmTitle_K", "Title Set"), ctx_(context) {
    resize(9800, 3900);
    Check1.placeIn(nullptr, 240, 220, 2200, 240);
    Mouse.placeIn(nullptr, 8300, 160, 1200, 340);
    LblTitle.placeIn(nullptr, 240, 640, 800, 240);
    Text1.placeIn(nullptr, 1100, 600, 3200, 300);
    Text1.setMaxLength(20);
    Text1.setAccessibleName("Title");
    LblList.placeIn(nullptr, 4500, 640, 2400, 240);
    Text3.placeIn(nullptr, 4500, 900, 5000, 1720);
    Text3.setMultiLine(true);
    Text3.setLocked(true);
    Text3.setText(title::keyList());
    Text3.setAccessibleName("Caracter Code List");
    paramRow(LblVPos, VPos, UpDown2, 1100, 240, 1500);
    paramRow(LblHPos, HPos, UpDown1, 1500, 240, 1500);
    LblColor.placeIn(nullptr, 240, 1940, 1200, 240);
    Combo1.placeIn(nullptr, 1500, 1900, 1700, 320);
    LblBlink.placeIn(nullptr, 240, 2340, 1200, 240);
    Combo2.placeIn(nullptr, 1500, 2300, 1700, 320);
    Combo1.setAccessibleName("Color");
    Combo2.setAccessibleName("Blink");
    fillCombos(Combo1, Combo2);
    Clear.placeIn(nullptr, 240, 2900, 1200, 360);
    Cancel.placeIn(nullptr, 7000, 2900, 1200, 360);
    OK.placeIn(nullptr, 8300, 2900, 1200, 360);
    Clear.setAccessibleName("Clear the title");
    OK.setDefault(true);

    Check1.onClick = [this] { Check1_Click(); };
    Mouse.onClick = [this] { Mouse_Click(); };
    OK.onClick = [this] { OK_Click(); };
    Clear.onClick = [this] { Clear_Click(); };
    Cancel.onClick = [this] { Cancel_Click(); };
    onUnload = [this] { Form_Unload(); };
    dialogs::applyPacketTips(*this);
}

std::vector<int> FrmTitle_K::Conv(const std::string& text) {
    std::vector<int> codes;
    for (std::size_t i = 0; i < text.size() && codes.size() < 20; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if ((c & 0xC0) == 0x80) continue;  // the rest of a character beyond ASCII
        const int code = c < 0x80 ? title::codeOfKey(static_cast<char>(c)) : -1;
        codes.push_back(code < 0 ? 0x00 : code);
    }
    codes.resize(20, 0x00);
    return codes;
}

void FrmTitle_K::open() {
    Form_Load();
    ctx_.loaded(*this);
    ctx_.platform().windows.runModal(*this);
}

void FrmTitle_K::Form_Load() { stopRefreshFor(ctx_, Check1); }

void FrmTitle_K::Check1_Click() { titleDisplayClicked(ctx_, Check1); }

void FrmTitle_K::Mouse_Click() { swapTo(ctx_, *this, ctx_.frmTitleM()); }

void FrmTitle_K::OK_Click() {
    const auto vh = positions(ctx_, VPos, UpDown2, HPos, UpDown1);
    if (!vh) return;
    // The box keeps the blanks that fill the title to 20 characters.
    Text1.setText(Text1.text() + std::string(20, ' '));
    sendTitle(ctx_, vh->first, vh->second, codeOf(Combo1), codeOf(Combo2), Conv(Text1.text()));
}

void FrmTitle_K::Clear_Click() {
    sendClear(ctx_);
    Text1.setText("");
}

void FrmTitle_K::Cancel_Click() { unload(); }

void FrmTitle_K::Form_Unload() {
    hide();
    ctx_.unloaded(*this);
    giveRefreshBack(ctx_, ctx_.frmTitleM());
}

// ---- title picked with the mouse ----------------------------------------------------

FrmTitle_M::FrmTitle_M(dialogs::Context& context) : Form("FrmTitle_M", "Title Set with Mouse"), ctx_(context) {
    resize(8400, 4100);
    Check1.placeIn(nullptr, 240, 220, 2200, 240);
    Keyboard.placeIn(nullptr, 6900, 160, 1200, 340);
    for (int i = 0; i < 20; ++i) {
        Picture& c = Char.add(i, *this, "Char");
        c.placeIn(nullptr, 240 + i * 260, 640, 243, 243);
        c.setFocusable(true);
        c.setImage("title-charset");
        c.setAccessibleName("Title character " + std::to_string(i + 1));
        c.onClick = [this, i] { Char_Click(i); };
    }
    Left.placeIn(nullptr, 5600, 600, 500, 340);
    Right.placeIn(nullptr, 6150, 600, 500, 340);
    BS.placeIn(nullptr, 6700, 600, 650, 340);
    DEL.placeIn(nullptr, 7400, 600, 700, 340);
    Left.setAccessibleName("Cursor left");
    Right.setAccessibleName("Cursor right");
    BS.setAccessibleName("Delete before the cursor");
    DEL.setAccessibleName("Delete at the cursor");
    // The character set at its own size: 401 x 126 pixels.
    Picture1.placeIn(nullptr, 240, 1100, 401 * 9, 126 * 9);
    Picture1.setImage("title-charset");
    Picture1.setFocusable(true);
    Picture1.setAccessibleName("Title character set");
    Picture1.setToolTip("Click a character to put it at the cursor");
    paramRow(LblVPos, VerPos, UpDown2, 1140, 4100, 5400);
    paramRow(LblHPos, HoliPos, UpDown1, 1560, 4100, 5400);
    LblColor.placeIn(nullptr, 240, 2540, 800, 240);
    ColorSel.placeIn(nullptr, 1100, 2500, 1700, 320);
    LblBlink.placeIn(nullptr, 3100, 2540, 800, 240);
    BlinkSel.placeIn(nullptr, 4000, 2500, 1700, 320);
    ColorSel.setAccessibleName("Color");
    BlinkSel.setAccessibleName("Blink");
    fillCombos(ColorSel, BlinkSel);
    Clear.placeIn(nullptr, 240, 3100, 1200, 360);
    Cancel.placeIn(nullptr, 5600, 3100, 1200, 360);
    OK.placeIn(nullptr, 6900, 3100, 1200, 360);
    Clear.setAccessibleName("Clear the title");
    OK.setDefault(true);
    for (int i = 0; i < 20; ++i) appendToTabOrder(Char[i]);
    for (Control* c : {static_cast<Control*>(&Left), static_cast<Control*>(&Right), static_cast<Control*>(&BS),
                       static_cast<Control*>(&DEL), static_cast<Control*>(&Picture1),
                       static_cast<Control*>(&LblVPos), static_cast<Control*>(&VerPos),
                       static_cast<Control*>(&UpDown2), static_cast<Control*>(&LblHPos),
                       static_cast<Control*>(&HoliPos), static_cast<Control*>(&UpDown1),
                       static_cast<Control*>(&LblColor), static_cast<Control*>(&ColorSel),
                       static_cast<Control*>(&LblBlink), static_cast<Control*>(&BlinkSel),
                       static_cast<Control*>(&Clear), static_cast<Control*>(&Cancel), static_cast<Control*>(&OK)})
        appendToTabOrder(*c);

    Check1.onClick = [this] { Check1_Click(); };
    Keyboard.onClick = [this] { Keyboard_Click(); };
    OK.onClick = [this] { OK_Click(); };
    Clear.onClick = [this] { Clear_Click(); };
    Cancel.onClick = [this] { Cancel_Click(); };
    Left.onClick = [this] { Left_Click(); };
    Right.onClick = [this] { Right_Click(); };
    BS.onClick = [this] { BS_Click(); };
    DEL.onClick = [this] { DEL_Click(); };
    Picture1.onMouseDown = [this](int x, int y) { Picture1_MouseDown(x, y); };
    Picture1.onMouseMove = [this](int x, int y) { Picture1_MouseMove(x, y); };
    Picture1.onMouseLeave = [this] { Picture1.setOutline(-1, -1); };
    onKeyDown = [this](const KeyEvent& e) {
        // Keys edit the title while a cell or the character set has the focus.
        const Control* f = e.focus;
        if (!f || (f != &Picture1 && f->name() != "Char")) return false;
        return Char_KeyDown(e);
    };
    onUnload = [this] { Form_Unload(); };
    ReDraw();
    dialogs::applyPacketTips(*this);
}

std::array<std::uint8_t, 21>& FrmTitle_M::row() {
    const int address = std::clamp(ctx_.link().CamAddress, 0, 8);
    return ctx_.titles().rows[static_cast<std::size_t>(address)];
}

void FrmTitle_M::open() {
    Form_Load();
    ctx_.loaded(*this);
    ctx_.platform().windows.runModal(*this);
}

void FrmTitle_M::Form_Load() {
    stopRefreshFor(ctx_, Check1);
    TitleCursor = 0;
    ReDraw();
}

void FrmTitle_M::Check1_Click() { titleDisplayClicked(ctx_, Check1); }

void FrmTitle_M::Keyboard_Click() { swapTo(ctx_, *this, ctx_.frmTitleK()); }

void FrmTitle_M::OK_Click() {
    const auto vh = positions(ctx_, VerPos, UpDown2, HoliPos, UpDown1);
    if (!vh) return;
    const auto& r = row();
    sendTitle(ctx_, vh->first, vh->second, codeOf(ColorSel), codeOf(BlinkSel),
              std::vector<int>(r.begin(), r.begin() + 20));
}

void FrmTitle_M::Clear_Click() {
    sendClear(ctx_);
    auto& r = row();
    std::fill(r.begin(), r.begin() + 20, 0x1B);
    ReDraw();
}

void FrmTitle_M::Cancel_Click() { unload(); }

void FrmTitle_M::Picture1_MouseDown(int x, int y) {
    if (x < 0 || y < 0) return;
    const int col = x / title::kSquare, code = (y / title::kSquare) * title::kColumns + col;
    if (col >= title::kColumns || code >= static_cast<int>(title::titleChars().size())) return;
    InsertChar(code);
}

void FrmTitle_M::Picture1_MouseMove(int x, int y) {
    const int col = x < 0 ? -1 : x / title::kSquare, r = y < 0 ? -1 : y / title::kSquare;
    if (col < 0 || r < 0 || col >= title::kColumns || r >= title::kRows) {
        Picture1.setOutline(-1, -1);
        return;
    }
    Picture1.setOutline(col, r);
}

void FrmTitle_M::Char_Click(int index) {
    TitleCursor = std::clamp(index, 0, 19);
    ReDraw();
}

void FrmTitle_M::Left_Click() {
    TitleCursor = std::max(0, TitleCursor - 1);
    ReDraw();
}

void FrmTitle_M::Right_Click() {
    TitleCursor = std::min(19, TitleCursor + 1);
    ReDraw();
}

void FrmTitle_M::BS_Click() {
    if (TitleCursor == 0) return;
    --TitleCursor;
    deleteAtCursor();
}

void FrmTitle_M::DEL_Click() { deleteAtCursor(); }

bool FrmTitle_M::Char_KeyDown(const KeyEvent& e) {
    switch (e.key) {
    case Key::Backspace: BS_Click(); return true;
    case Key::Left: Left_Click(); return true;
    case Key::Right: Right_Click(); return true;
    case Key::Delete: DEL_Click(); return true;
    default: break;
    }
    if (e.ch <= 0) return false;
    // A key with no title character is ignored.
    const int code = e.ch < 0x80 ? title::codeOfKey(static_cast<char>(e.ch)) : -1;
    if (code >= 0) InsertChar(code);
    return true;
}

void FrmTitle_M::InsertChar(int code) {
    auto& r = row();
    for (int i = 19; i > TitleCursor; --i) r[static_cast<std::size_t>(i)] = r[static_cast<std::size_t>(i - 1)];
    r[static_cast<std::size_t>(TitleCursor)] = static_cast<std::uint8_t>(code);
    TitleCursor = std::min(19, TitleCursor + 1);
    ReDraw();
}

void FrmTitle_M::deleteAtCursor() {
    auto& r = row();
    for (int i = TitleCursor; i < 19; ++i) r[static_cast<std::size_t>(i)] = r[static_cast<std::size_t>(i) + 1];
    r[19] = 0x1B;
    ReDraw();
}

void FrmTitle_M::ReDraw() {
    const auto& r = row();
    for (int i = 0; i < 20; ++i) {
        const int code = r[static_cast<std::size_t>(i)] < 0x50 ? r[static_cast<std::size_t>(i)] : 0x1B;
        Char[i].setImageSquare(code % title::kColumns, code / title::kColumns, title::kSquare);
        Char[i].setInverted(i == TitleCursor);
    }
}

void FrmTitle_M::Form_Unload() {
    hide();
    ctx_.unloaded(*this);
    Picture1.setOutline(-1, -1);
    giveRefreshBack(ctx_, ctx_.frmTitleK());
}

}  // namespace orbus
