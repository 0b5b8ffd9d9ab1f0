// The camera title: "Title Set" (typed) and "Title Set with Mouse" (picked
// from the character set), swapped at the same place; and the title
// display switch they share with the main window.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/control.h"
#include "platform/form.h"

namespace orbus {

namespace dialogs {
class Context;
}

// The titles edited with the mouse, one row per camera address 0..8, kept
// for the whole run, and whether one title dialog is handing over to the other.
struct TitleBook {
    std::array<std::array<std::uint8_t, 21>, 9> rows{};
    bool swapping = false;
};

class FrmTitle_K : public Form {
public:
    explicit FrmTitle_K(dialogs::Context& context);

    CheckBox Check1{*this, "Check1", "Title Display"};
    Button Mouse{*this, "Mouse", "Mouse"};
    Label LblTitle{*this, "LblTitle", "Title"};
    TextBox Text1{*this, "Text1"};
    Label LblList{*this, "LblList", "Caracter Code List"};
    TextBox Text3{*this, "Text3"};
    Label LblVPos{*this, "LblVPos", "V-Position"};
    TextBox VPos{*this, "VPos", "0"};
    UpDown UpDown2{*this, "UpDown2", &VPos, 0, 10};
    Label LblHPos{*this, "LblHPos", "H-Position"};
    TextBox HPos{*this, "HPos", "0"};
    UpDown UpDown1{*this, "UpDown1", &HPos, 0, 19};
    Label LblColor{*this, "LblColor", "Color"};
    ComboBox Combo1{*this, "Combo1"};
    Label LblBlink{*this, "LblBlink", "Blink"};
    ComboBox Combo2{*this, "Combo2"};
    Button Clear{*this, "Clear", "Clear"};
    Button Cancel{*this, "Cancel", "Cancel"};
    Button OK{*this, "OK", "OK"};

    // The title codes of a text: the first 20 characters, unknown keys as 00.
    static std::vector<int> Conv(const std::string& text);

    void open();
    void Form_Load();
    void Check1_Click();
    void Mouse_Click();
    void OK_Click();
    void Clear_Click();
    void Cancel_Click();
    void Form_Unload();

private:
    dialogs::Context& ctx_;
};

class FrmTitle_M : public Form {
public:
    explicit FrmTitle_M(dialogs::Context& context);

    CheckBox Check1{*this, "Check1", "Title Display"};
    ControlArray<Picture> Char;  // 0..19, the title's cells
    Picture Picture1{*this, "Picture1"};
    Button Left{*this, "Left", "<"};
    Button Right{*this, "Right", ">"};
    Button BS{*this, "BS", "BS"};
    Button DEL{*this, "DEL", "DEL"};
    Button Keyboard{*this, "Keyboard", "Keyboard"};
    Label LblVPos{*this, "LblVPos", "V-Position"};
    TextBox VerPos{*this, "VerPos", "0"};
    UpDown UpDown2{*this, "UpDown2", &VerPos, 0, 10};
    Label LblHPos{*this, "LblHPos", "H-Position"};
    TextBox HoliPos{*this, "HoliPos", "0"};
    UpDown UpDown1{*this, "UpDown1", &HoliPos, 0, 23};
    Label LblColor{*this, "LblColor", "Color"};
    ComboBox ColorSel{*this, "ColorSel"};
    Label LblBlink{*this, "LblBlink", "Blink"};
    ComboBox BlinkSel{*this, "BlinkSel"};
    Button Clear{*this, "Clear", "Clear"};
    Button Cancel{*this, "Cancel", "Cancel"};
    Button OK{*this, "OK", "OK"};

    int TitleCursor = 0;

    void open();
    void Form_Load();
    void Check1_Click();
    void Keyboard_Click();
    void OK_Click();
    void Clear_Click();
    void Cancel_Click();
    void Picture1_MouseDown(int x, int y);
    void Picture1_MouseMove(int x, int y);
    void Char_Click(int index);
    void Left_Click();
    void Right_Click();
    void BS_Click();
    void DEL_Click();
    // A key typed in a cell: editing keys, or a character of the title set.
    bool Char_KeyDown(const KeyEvent& e);
    void InsertChar(int code);
    void ReDraw();
    void Form_Unload();

    // The title row of the driven camera.
    std::array<std::uint8_t, 21>& row();

private:
    void deleteAtCursor();
    dialogs::Context& ctx_;
};

// The title display switch of the dialogs: on when ticked while the main
// window's "Title On/Off" is not marked, off when cleared while it is.
void titleDisplayClicked(dialogs::Context& ctx, const CheckBox& box);

}  // namespace orbus
