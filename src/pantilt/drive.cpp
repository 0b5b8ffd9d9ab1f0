#include "pantilt/drive.h"

namespace orbus::pantilt {

namespace {

constexpr std::uint8_t F = kFixedSpeed;

DriveRow operatorDrive(int index, const char* caption, std::uint8_t pan, std::uint8_t tilt, const char* keys) {
    return {"Pan_Tilt_Stop", index, caption, {0x01, 0x06, 0x01, 0, 0, pan, tilt}, true, keys};
}

DriveRow direct(int index, const char* caption, std::vector<std::uint8_t> body) {
    return {"Pan_Tilt_Direct", index, caption, std::move(body), false, nullptr};
}

}  // namespace

const std::vector<DriveRow>& driveTable() {
    static const std::vector<DriveRow> table = {
        {"Pan_Tilt_Stop", 0, "Stop", {0x01, 0x06, 0x01, F, F, kHalt, kHalt}, false, "keypad 5"},
        operatorDrive(1, "UP", kHalt, kUp, "Up arrow or keypad 8"),
        operatorDrive(2, "Left", kLeft, kHalt, "Left arrow or keypad 4"),
        operatorDrive(3, "Right", kRight, kHalt, "Right arrow or keypad 6"),
        operatorDrive(4, "Down", kHalt, kDown, "Down arrow or keypad 2"),
        operatorDrive(5, "UP-Left", kLeft, kUp, "keypad 7"),
        operatorDrive(6, "UP-Right", kRight, kUp, "keypad 9"),
        operatorDrive(7, "Down-Left", kLeft, kDown, "keypad 1"),
        operatorDrive(8, "Down-Right", kRight, kDown, "keypad 3"),
        direct(0, "Left-Direct", {0x01, 0x06, 0x01, F, F, kLeft, kHalt}),
        direct(1, "UP-L-Dir", {0x01, 0x06, 0x01, F, F, kLeft, kUp}),
        direct(2, "Down-L-Dir", {0x01, 0x06, 0x01, F, F, kLeft, kDown}),
        direct(3, "Right-Direct", {0x01, 0x06, 0x01, F, F, kRight, kHalt}),
        direct(4, "UP-R-Dir", {0x01, 0x06, 0x01, F, F, kRight, kUp}),
        direct(5, "Down-R-Dir", {0x01, 0x06, 0x01, F, F, kRight, kDown}),
        direct(6, "UP-Direct", {0x01, 0x06, 0x01, F, F, kHalt, kUp}),
        direct(7, "Down-Dir", {0x01, 0x06, 0x01, F, F, kHalt, kDown}),
        direct(8, "Home", {0x01, 0x06, 0x04}),
        direct(9, "Reset", {0x01, 0x06, 0x05}),
    };
    return table;
}

const DriveRow* driveRow(std::string_view control, int index) {
    for (const DriveRow& r : driveTable()) {
        if (control == r.control && r.index == index) return &r;
    }
    return nullptr;
}

}  // namespace orbus::pantilt
