#include "status/labels.h"

#include <initializer_list>

namespace orbus {

namespace {

template <std::size_t N>
void fill(std::array<std::string, N>& table, std::initializer_list<const char*> values, std::size_t from = 0) {
    std::size_t i = from;
    for (const char* v : values) {
        if (i < N) table[i] = v;
        ++i;
    }
}

template <std::size_t N>
std::string at(const std::array<std::string, N>& table, int p) {
    return p >= 0 && static_cast<std::size_t>(p) < N ? table[static_cast<std::size_t>(p)] : std::string();
}

// Bright steps above full aperture: "<iris>/2dB" .. "<iris>/28dB".
void gainSteps(std::array<std::string, 32>& bright, const std::string& iris) {
    for (int i = 0; i < 14; ++i) bright[18 + static_cast<std::size_t>(i)] = iris + "/" + std::to_string(2 * (i + 1)) + "dB";
}

void irisAndBrightNarrow(LabelTables& t) {
    // 10x lens class and ORX-Gamma.
    fill(t.IrisLabel, {"Close", "F28", "F22", "F19", "F16", "F14", "F11", "F9.6", "F8", "F6.8", "F5.6", "F4.8", "F4",
                       "F3.4", "F2.8", "F2.4", "F2", "F1.8"});
    fill(t.BrightLabel, {"CLOSE/0dB", "F28/0dB", "F22/0dB", "F19/0dB", "F16/0dB", "F14/0dB", "F11/0dB", "F9.6/0dB",
                         "F8/0dB", "F6.8/0dB", "F5.6/0dB", "F4.8/0dB", "F4/0dB", "F3.4/0dB", "F2.8/0dB", "F2.4/0dB",
                         "F2/0dB", "F1.8/0dB", "F1.8/3dB", "F1.8/6dB", "F1.8/9dB", "F1.8/12dB", "F1.8/15dB",
                         "F1.8/18dB"});
}

void irisAndBright18(LabelTables& t) {
    // 18x lens class and ORX-Beta.
    fill(t.IrisLabel, {"Close", "F22", "F19", "F16", "F14", "F11", "F9.6", "F8", "F6.8", "F5.6", "F4.8", "F4.0",
                       "F3.4", "F2.8", "F2.4", "F2.0", "F1.6", "F1.4"});
    fill(t.BrightLabel, {"CLOSE/0dB", "F22/0dB", "F19/0dB", "F16/0dB", "F14/0dB", "F11/0dB", "F9.6/0dB", "F8/0dB",
                         "F6.8/0dB", "F5.6/0dB", "F4.8/0dB", "F4/0dB", "F3.4/0dB", "F2.8/0dB", "F2.4/0dB", "F2/0dB",
                         "F1.6/0dB", "F1.4/0dB"});
    gainSteps(t.BrightLabel, "F1.4");
}

void gainEight(LabelTables& t) {
    fill(t.GainLabel, {"-3dB", "0dB", "3dB", "6dB", "9dB", "12dB", "15dB", "18dB"});
}

void expCompDefault(LabelTables& t) {
    fill(t.ExpCompLabel, {"-7/-10.5dB", "-6/-9dB", "-5/-7.5dB", "-4/-6dB", "-3/-4.5dB", "-2/-3dB", "-1/-1.5dB", "0/0dB",
                        "1/1.5dB", "2/3dB", "3/4.5dB", "4/6dB", "5/7.5dB", "6/9dB", "7/10.5dB"});
}

void gainDefault(LabelTables& t) {
    fill(t.GainLabel, {"-3dB", "0dB", "2dB", "4dB", "6dB", "8dB", "10dB", "12dB", "14dB", "16dB", "18dB", "20dB", "22dB",
                     "24dB", "26dB", "28dB"});
}

void shutterDefault(LabelTables& t) {
    fill(t.ShutterLabel[0], {"1/1", "1/2", "1/4", "1/8", "1/15", "1/30", "1/60", "1/90", "1/100", "1/125", "1/180",
                           "1/250", "1/350", "1/500", "1/725", "1/1000", "1/1500", "1/2000", "1/3000", "1/4000",
                           "1/6000", "1/10000"});
    fill(t.ShutterLabel[1], {"1/1", "1/2", "1/3", "1/6", "1/12", "1/25", "1/50", "1/75", "1/100", "1/120", "1/150",
                           "1/215", "1/300", "1/425", "1/600", "1/1000", "1/1250", "1/1750", "1/2500", "1/3500",
                           "1/6000", "1/10000"});
}

}  // namespace

void LabelTables::fillDefaults() {
    expCompDefault(*this);
    gainDefault(*this);
    shutterDefault(*this);
}

void LabelTables::fill10X() { irisAndBrightNarrow(*this); }

void LabelTables::fill18X() { irisAndBright18(*this); }

void LabelTables::fill25X() {
    fill(IrisLabel, {"Close", "F28", "F22", "F19", "F16", "F14", "F11", "F9.6", "F8", "F6.8", "F5.6", "F4.8", "F4",
                     "F3.4", "F2.8", "F2.4", "F2", "F1.6"});
    fill(BrightLabel, {"CLOSE/0dB", "F28/0dB", "F22/0dB", "F19/0dB", "F16/0dB", "F14/0dB", "F11/0dB", "F9.6/0dB",
                       "F8/0dB", "F6.8/0dB", "F5.6/0dB", "F4.8/0dB", "F4/0dB", "F3.4/0dB", "F2.8/0dB", "F2.4/0dB",
                       "F2.0/0dB", "F1.6/0dB"});
    gainSteps(BrightLabel, "F1.6");
}

void LabelTables::fillBeta() {
    fillDefaults();  // exposure compensation, gain and shutter as the defaults
    irisAndBright18(*this);
}

void LabelTables::fillGamma() {
    expCompDefault(*this);
    gainEight(*this);
    irisAndBrightNarrow(*this);
    fill(ShutterLabel[0], {"1/4", "1/8", "1/15", "1/30", "1/60", "1/90", "1/100", "1/125", "1/180", "1/250", "1/350",
                           "1/500", "1/725", "1/1000", "1/1500", "1/2000", "1/3000", "1/4000", "1/6000", "1/10000"});
    fill(ShutterLabel[1], {"1/3", "1/6", "1/12", "1/25", "1/50", "1/75", "1/100", "1/120", "1/150", "1/215", "1/300",
                           "1/425", "1/600", "1/1000", "1/1250", "1/1750", "1/2500", "1/3500", "1/6000", "1/10000"});
}

void LabelTables::fillKappa() {
    expCompDefault(*this);
    gainEight(*this);
    irisAndBrightNarrow(*this);
    IrisLabel[1] = "F26";
    BrightLabel[1] = "F26/0dB";
    fill(ShutterLabel[0], {"", "1/2", "1/4", "1/8", "1/15", "1/30", "1/60", "1/90", "1/100", "1/125", "1/180",
                           "1/250", "1/350", "1/500", "1/725", "1/1000", "1/1500", "1/2000", "1/3000", "1/4000",
                           "1/6000", "1/10000"});
    fill(ShutterLabel[1], {"", "1/2", "1/3", "1/6", "1/12", "1/25", "1/50", "1/75", "1/100", "1/120", "1/150",
                           "1/215", "1/300", "1/425", "1/600", "1/1000", "1/1250", "1/1750", "1/2500", "1/3500",
                           "1/6000", "1/10000"});
    fill(VideoSystemLabel, {"1920*1080i/59.94", "1920*1080p/29.97", "1280*720p/59.94", "1280*720p/29.97",
                            "NTSC/Letter Box", "NTSC/Crop", "NTSC/Squeeze", "Unknown", "1920*1080i/50",
                            "1920*1080p/25", "1280*720p/50", "1280*720p/25", "PAL/Letter Box", "PAL/Crop",
                            "PAL/Squeeze", "Unknown"});
}

std::string LabelTables::expComp(int p) const { return at(ExpCompLabel, p); }
std::string LabelTables::gain(int p) const { return at(GainLabel, p); }
std::string LabelTables::shutter(int row, int p) const {
    return row == 0 || row == 1 ? at(ShutterLabel[static_cast<std::size_t>(row)], p) : std::string();
}
std::string LabelTables::iris(int p) const { return at(IrisLabel, p); }
std::string LabelTables::bright(int p) const { return at(BrightLabel, p); }
std::string LabelTables::videoSystem(int p) const { return at(VideoSystemLabel, p); }

std::string slowShutterLimitText(bool pal, int limit) {
    static constexpr const char* kNtsc[] = {"1/60", "1/30", "1/15"};
    static constexpr const char* kPal[] = {"1/50", "1/25", "1/12"};
    if (limit < 0 || limit > 2) return {};
    return pal ? kPal[limit] : kNtsc[limit];
}

}  // namespace orbus
