// A started panel on a simulated chain, for the panel rule tests.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "link/packet.h"
#include "app/testing/rig.h"

using namespace orbus;
using orbus::testing::Rig;

namespace panel_test {

struct Panel : ::testing::Test {
    explicit Panel(const std::vector<std::string>& models = {"KBM-R05"}) : rig(models) {}
    Rig rig;
    FrmMain& m = rig.main();
    void SetUp() override { ASSERT_TRUE(rig.startUp()); }
    std::vector<std::string> sent(std::size_t mark) const { return rig.packetsSince(mark, "01"); }
    int reads(std::size_t mark) const {
        int n = 0;
        for (const std::string& p : rig.packetsSince(mark)) n += p == "81 09 7E 7E 00 FF";
        return n;
    }
    bool autoRunning() const { return m.AutoRefreshed.caption() == "Auto" && m.Timer1.enabled() && m.AutoRefreshed.enabled(); }
};

struct KappaPanel : Panel {
    KappaPanel() : Panel({"ORX-Kappa"}) {}
};

inline void expectEnabled(std::initializer_list<const Control*> controls, bool on) {
    for (const Control* c : controls) EXPECT_EQ(c->enabled(), on) << c->objectName();
}

}  // namespace panel_test

using namespace panel_test;
