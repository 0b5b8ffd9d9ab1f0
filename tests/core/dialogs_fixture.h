// A started chain of three ORX-Beta cameras with camera 3 driven, for the
// dialog tests.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialogs/about.h"
#include "dialogs/aes.h"
#include "dialogs/camera_settings.h"
#include "dialogs/deffect.h"
#include "dialogs/dialog_link.h"
#include "dialogs/fset.h"
#include "dialogs/md.h"
#include "dialogs/privacy.h"
#include "dialogs/privacy_a.h"
#include "link/packet.h"
#include "app/testing/rig.h"

using namespace orbus;
using orbus::testing::Rig;

namespace dialogs_test {

// A chain of three with camera 3 driven.
struct Dialogs : ::testing::Test {
    Rig rig{{"ORX-Beta", "ORX-Beta", "ORX-Beta"}};
    FrmMain& m = rig.main();
    void SetUp() override {
        ASSERT_TRUE(rig.startUp());
        m.CameraSel[3].click();
        ASSERT_EQ(rig.link().CamAddress, 3);
        rig.run(0.5);
    }
    std::vector<std::string> sent(std::size_t mark) const { return rig.packetsSince(mark); }
    std::size_t warnings() const { return rig.windows.messages.size(); }
    bool running() const { return m.autoCaption() && m.Timer1.enabled() && m.AutoRefreshed.enabled(); }
};

}  // namespace dialogs_test

using namespace dialogs_test;
