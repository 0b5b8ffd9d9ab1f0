// Label tables of the lens classes and pan-tilt profiles, every entry: the
// expected tables are typed out here, one string per table, entries split
// at the commas (an empty field is an empty label).
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "status/labels.h"

using orbus::LabelTables;

namespace {

std::vector<std::string> split(const std::string& s) {
    std::vector<std::string> out(1);
    for (char c : s) {
        if (c == ',')
            out.emplace_back();
        else
            out.back() += c;
    }
    return out;
}

std::string times(int n, const std::string& field) {
    std::string s;
    for (int i = 0; i < n; ++i) s += "," + field;
    return s;
}

const std::string kExpComp =
    "-7/-10.5dB,-6/-9dB,-5/-7.5dB,-4/-6dB,-3/-4.5dB,-2/-3dB,-1/-1.5dB,0/0dB,1/1.5dB,2/3dB,3/4.5dB,4/6dB,5/7.5dB,"
    "6/9dB,7/10.5dB";
const std::string kGain = "-3dB,0dB,2dB,4dB,6dB,8dB,10dB,12dB,14dB,16dB,18dB,20dB,22dB,24dB,26dB,28dB";
const std::string kGainEight = "-3dB,0dB,3dB,6dB,9dB,12dB,15dB,18dB";
const std::string kNtsc =
    "1/1,1/2,1/4,1/8,1/15,1/30,1/60,1/90,1/100,1/125,1/180,1/250,1/350,1/500,1/725,1/1000,1/1500,1/2000,1/3000,"
    "1/4000,1/6000,1/10000";
const std::string kPal =
    "1/1,1/2,1/3,1/6,1/12,1/25,1/50,1/75,1/100,1/120,1/150,1/215,1/300,1/425,1/600,1/1000,1/1250,1/1750,1/2500,"
    "1/3500,1/6000,1/10000";
const std::string kIris10 = "Close,F28,F22,F19,F16,F14,F11,F9.6,F8,F6.8,F5.6,F4.8,F4,F3.4,F2.8,F2.4,F2,F1.8";
const std::string kIris18 = "Close,F22,F19,F16,F14,F11,F9.6,F8,F6.8,F5.6,F4.8,F4.0,F3.4,F2.8,F2.4,F2.0,F1.6,F1.4";
const std::string kIris25 = "Close,F28,F22,F19,F16,F14,F11,F9.6,F8,F6.8,F5.6,F4.8,F4,F3.4,F2.8,F2.4,F2,F1.6";
const std::string kBright10 =
    "CLOSE/0dB,F28/0dB,F22/0dB,F19/0dB,F16/0dB,F14/0dB,F11/0dB,F9.6/0dB,F8/0dB,F6.8/0dB,F5.6/0dB,F4.8/0dB,F4/0dB,"
    "F3.4/0dB,F2.8/0dB,F2.4/0dB,F2/0dB,F1.8/0dB,F1.8/3dB,F1.8/6dB,F1.8/9dB,F1.8/12dB,F1.8/15dB,F1.8/18dB";
const std::string kBright18 =
    "CLOSE/0dB,F22/0dB,F19/0dB,F16/0dB,F14/0dB,F11/0dB,F9.6/0dB,F8/0dB,F6.8/0dB,F5.6/0dB,F4.8/0dB,F4/0dB,F3.4/0dB,"
    "F2.8/0dB,F2.4/0dB,F2/0dB,F1.6/0dB,F1.4/0dB,F1.4/2dB,F1.4/4dB,F1.4/6dB,F1.4/8dB,F1.4/10dB,F1.4/12dB,F1.4/14dB,"
    "F1.4/16dB,F1.4/18dB,F1.4/20dB,F1.4/22dB,F1.4/24dB,F1.4/26dB,F1.4/28dB";
const std::string kBright25 =
    "CLOSE/0dB,F28/0dB,F22/0dB,F19/0dB,F16/0dB,F14/0dB,F11/0dB,F9.6/0dB,F8/0dB,F6.8/0dB,F5.6/0dB,F4.8/0dB,F4/0dB,"
    "F3.4/0dB,F2.8/0dB,F2.4/0dB,F2.0/0dB,F1.6/0dB,F1.6/2dB,F1.6/4dB,F1.6/6dB,F1.6/8dB,F1.6/10dB,F1.6/12dB,F1.6/14dB,"
    "F1.6/16dB,F1.6/18dB,F1.6/20dB,F1.6/22dB,F1.6/24dB,F1.6/26dB,F1.6/28dB";
// The ORX-Gamma's twenty shutter steps start at the defaults' third (its
// last two places keep the defaults' texts); the ORX-Kappa's start at the
// second, after an empty position 0. Its lens opens at F26 where the
// ORX-Gamma's opens at F28.
const std::string kNtscGamma = kNtsc.substr(8) + ",1/6000,1/10000", kPalGamma = kPal.substr(8) + ",1/6000,1/10000";
const std::string kNtscKappa = kNtsc.substr(3), kPalKappa = kPal.substr(3);
const std::string kIrisKappa = "Close,F26" + kIris10.substr(9), kBrightKappa = "CLOSE/0dB,F26" + kBright10.substr(13);
const std::string kVideoSystems =
    "1920*1080i/59.94,1920*1080p/29.97,1280*720p/59.94,1280*720p/29.97,NTSC/Letter Box,NTSC/Crop,NTSC/Squeeze,"
    "Unknown,1920*1080i/50,1920*1080p/25,1280*720p/50,1280*720p/25,PAL/Letter Box,PAL/Crop,PAL/Squeeze,Unknown";

// What every table holds after a run of profiles.
struct Expected {
    std::string gain, ntsc, pal, iris, bright, videoSystems;
};

void expectTable(const char* name, const std::function<std::string(int)>& lookup, const std::string& want) {
    const auto entries = split(want);
    for (std::size_t p = 0; p < entries.size(); ++p)
        EXPECT_EQ(lookup(static_cast<int>(p)), entries[p]) << name << "[" << p << "]";
    EXPECT_EQ(lookup(static_cast<int>(entries.size())), "") << name << ": past the end";
}

}  // namespace

// The defaults are written when the window loads; each profile then fills
// its tables, and what a profile leaves out keeps the text it had before.
// Every profile keeps the default exposure compensation.
TEST(Labels, EveryEntryOfEveryProfile) {
    using Fill = void (LabelTables::*)();
    const std::string none = times(15, ""), gammaGain = kGainEight + ",14dB,16dB,18dB,20dB,22dB,24dB,26dB,28dB";
    struct Case {
        const char* profiles;
        std::vector<Fill> fills;
        Expected want;
    };
    const Case cases[] = {
        {"defaults", {}, {kGain, kNtsc, kPal, times(17, ""), times(31, ""), none}},
        {"10x", {&LabelTables::fill10X}, {kGain, kNtsc, kPal, kIris10, kBright10 + times(8, ""), none}},
        {"18x", {&LabelTables::fill18X}, {kGain, kNtsc, kPal, kIris18, kBright18, none}},
        {"25x", {&LabelTables::fill25X}, {kGain, kNtsc, kPal, kIris25, kBright25, none}},
        {"Beta", {&LabelTables::fillBeta}, {kGain, kNtsc, kPal, kIris18, kBright18, none}},
        {"Gamma", {&LabelTables::fillGamma},
         {gammaGain, kNtscGamma, kPalGamma, kIris10, kBright10 + times(8, ""), none}},
        {"Kappa", {&LabelTables::fillKappa},
         {gammaGain, kNtscKappa, kPalKappa, kIrisKappa, kBrightKappa + times(8, ""), kVideoSystems}},
        // Another camera identified later: the earlier profile's leftovers stay.
        {"18x then Gamma", {&LabelTables::fill18X, &LabelTables::fillGamma},
         {gammaGain, kNtscGamma, kPalGamma, kIris10,
          kBright10 + ",F1.4/14dB,F1.4/16dB,F1.4/18dB,F1.4/20dB,F1.4/22dB,F1.4/24dB,F1.4/26dB,F1.4/28dB", none}},
        {"Kappa then Beta", {&LabelTables::fillKappa, &LabelTables::fillBeta},
         {kGain, kNtsc, kPal, kIris18, kBright18, kVideoSystems}},
        {"25x then Kappa", {&LabelTables::fill25X, &LabelTables::fillKappa},
         {gammaGain, kNtscKappa, kPalKappa, kIrisKappa,
          kBrightKappa + ",F1.6/14dB,F1.6/16dB,F1.6/18dB,F1.6/20dB,F1.6/22dB,F1.6/24dB,F1.6/26dB,F1.6/28dB",
          kVideoSystems}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.profiles);
        LabelTables t;
        t.fillDefaults();
        for (Fill f : c.fills) (t.*f)();
        expectTable("ExpComp", [&](int p) { return t.expComp(p); }, kExpComp);
        expectTable("Gain", [&](int p) { return t.gain(p); }, c.want.gain);
        expectTable("Shutter NTSC", [&](int p) { return t.shutter(0, p); }, c.want.ntsc);
        expectTable("Shutter PAL", [&](int p) { return t.shutter(1, p); }, c.want.pal);
        expectTable("Iris", [&](int p) { return t.iris(p); }, c.want.iris);
        expectTable("Bright", [&](int p) { return t.bright(p); }, c.want.bright);
        expectTable("VideoSystem", [&](int p) { return t.videoSystem(p); }, c.want.videoSystems);
    }
}

TEST(Labels, PositionsOutsideATableGiveNoText) {
    LabelTables t;
    t.fillDefaults();
    t.fillKappa();
    for (int p : {-1, -255, 1000}) {
        EXPECT_EQ(t.expComp(p), "") << p;
        EXPECT_EQ(t.gain(p), "") << p;
        EXPECT_EQ(t.shutter(0, p), "") << p;
        EXPECT_EQ(t.iris(p), "") << p;
        EXPECT_EQ(t.bright(p), "") << p;
        EXPECT_EQ(t.videoSystem(p), "") << p;
    }
    EXPECT_EQ(t.shutter(2, 1), "");
    EXPECT_EQ(t.shutter(-1, 1), "");
}
