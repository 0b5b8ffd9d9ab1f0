// Label tables of the lens classes and pan-tilt profiles.
#include <gtest/gtest.h>

#include "status/labels.h"

using orbus::LabelTables;

TEST(Labels, ProfilesWriteTheirOwnForms) {
    LabelTables t;
    t.fillDefaults();
    EXPECT_EQ(t.expComp(0), "-7/-10.5dB");
    EXPECT_EQ(t.expComp(14), "7/10.5dB");
    EXPECT_EQ(t.gain(15), "28dB");
    EXPECT_EQ(t.shutter(1, 5), "1/25");
    EXPECT_EQ(t.shutter(0, 5), "1/30");
    EXPECT_EQ(t.shutter(0, 21), "1/10000");
    EXPECT_EQ(t.bright(24), "");  // nothing filled yet

    t.fill18X();
    EXPECT_EQ(t.iris(11), "F4.0");
    EXPECT_EQ(t.iris(15), "F2.0");
    EXPECT_EQ(t.bright(15), "F2/0dB");
    EXPECT_EQ(t.bright(18), "F1.4/2dB");
    EXPECT_EQ(t.bright(31), "F1.4/28dB");

    t.fill25X();
    EXPECT_EQ(t.iris(12), "F4");
    EXPECT_EQ(t.iris(17), "F1.6");
    EXPECT_EQ(t.bright(16), "F2.0/0dB");
    EXPECT_EQ(t.bright(31), "F1.6/28dB");

    LabelTables tenX;
    tenX.fillDefaults();
    tenX.fill10X();
    EXPECT_EQ(tenX.bright(23), "F1.8/18dB");
    EXPECT_EQ(tenX.bright(24), "");
}

TEST(Labels, PanTiltProfiles) {
    LabelTables t;
    t.fillDefaults();
    t.fillGamma();
    EXPECT_EQ(t.gain(7), "18dB");
    EXPECT_EQ(t.gain(8), "14dB");  // beyond the profile: as the defaults left it
    EXPECT_EQ(t.shutter(0, 0), "1/4");
    EXPECT_EQ(t.shutter(1, 19), "1/10000");
    EXPECT_EQ(t.iris(1), "F28");

    t.fillKappa();
    EXPECT_EQ(t.shutter(0, 0), "");
    EXPECT_EQ(t.shutter(1, 0), "");
    EXPECT_EQ(t.shutter(0, 1), "1/2");
    EXPECT_EQ(t.shutter(1, 1), "1/2");
    EXPECT_EQ(t.shutter(1, 2), "1/3");
    EXPECT_EQ(t.iris(1), "F26");
    EXPECT_EQ(t.iris(2), "F22");
    EXPECT_EQ(t.bright(1), "F26/0dB");
    EXPECT_EQ(t.bright(23), "F1.8/18dB");
    EXPECT_EQ(t.videoSystem(4), "NTSC/Letter Box");
    EXPECT_EQ(t.videoSystem(15), "Unknown");

    t.fillBeta();
    EXPECT_EQ(t.gain(2), "2dB");
    EXPECT_EQ(t.shutter(0, 0), "1/1");
    EXPECT_EQ(t.iris(11), "F4.0");
}

TEST(Labels, PositionsOutsideATableGiveNoText) {
    LabelTables t;
    t.fillDefaults();
    EXPECT_EQ(t.gain(-1), "");
    EXPECT_EQ(t.gain(16), "");
    EXPECT_EQ(t.shutter(2, 0), "");
    EXPECT_EQ(t.shutter(0, 22), "");
    EXPECT_EQ(t.iris(255), "");
    EXPECT_EQ(t.videoSystem(16), "");
}
