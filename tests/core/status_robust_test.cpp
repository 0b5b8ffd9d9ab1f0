// Answers that are random, short or corrupted never break a status read:
// no crash or out-of-range lookup, and a read that gives up leaves the panel
// as the last complete read left it.
#include <gtest/gtest.h>

#include <random>

#include "pantilt/frm_pantilt.h"
#include "app/testing/rig.h"

using namespace orbus;
using orbus::testing::Rig;

namespace {

struct PanelValues {
    std::vector<std::string> texts;
    explicit PanelValues(FrmMain& m) {
        for (Control* c : m.controls()) {
            if (c->kind() == Kind::TextBox) texts.push_back(static_cast<TextBox*>(c)->text());
            if (c->kind() == Kind::Slider) texts.push_back(std::to_string(static_cast<Slider*>(c)->value()));
            if (c->kind() == Kind::MenuItem) texts.push_back(static_cast<MenuItem*>(c)->checked() ? "x" : "-");
        }
    }
    bool operator==(const PanelValues& o) const { return texts == o.texts; }
};

}  // namespace

TEST(StatusRobustness, RandomAndBrokenAnswersToEveryInquiry) {
    for (const char* model : {"ORX-Kappa", "ORX-Beta", "ORX-Gamma", "KBM-R12", "ORX-Alpha"}) {
        SCOPED_TRACE(model);
        Rig rig({model});
        ASSERT_TRUE(rig.startUp());
        FrmMain& m = rig.main();
        std::mt19937 rng(7);
        int breakChance = 0;
        rig.chain.mutate = [&](const Bytes& p, std::vector<Bytes>& replies) {
            if (p.size() < 3 || p[1] != 0x09) return;
            for (Bytes& r : replies) {
                if (static_cast<int>(rng() % 100) >= breakChance) continue;
                switch (rng() % 5) {
                case 0:  // random bytes of a random length
                    r.resize(rng() % 20);
                    for (auto& b : r) b = static_cast<std::uint8_t>(rng());
                    break;
                case 1:  // short
                    r.resize(r.size() / 2);
                    break;
                case 2:  // one byte changed, frame intact
                    if (r.size() > 3) r[2 + rng() % (r.size() - 3)] = static_cast<std::uint8_t>(rng());
                    break;
                case 3:  // extreme values in every data byte
                    for (std::size_t i = 2; i + 1 < r.size(); ++i) r[i] = 0xFE;
                    break;
                default:  // nothing at all
                    r.clear();
                    break;
                }
            }
        };
        for (int round = 0; round < 60; ++round) {
            breakChance = static_cast<int>(rng() % 60);
            const bool autoOn = rng() % 2;
            if (m.autoCaption() != autoOn) m.AutoRefreshed_Click();
            const PanelValues before(m);
            const bool identified = rig.program->model.VersionRead;
            rig.linkControl().refreshGaveUp(-1);
            const bool started = rig.readStatus();
            EXPECT_TRUE(started);
            EXPECT_FALSE(rig.link().StatusReading);
            EXPECT_FALSE(rig.link().StatusReadBusy);
            EXPECT_EQ(rig.port.rThreshold(), 1);
            const long code = rig.link().LastRefreshError;
            const bool blockOrSingleGaveUp =
                code == 0 || code == 1 || code == 2 || code == 3 || code == 966 || code == 9953560 || code == 9953562;
            if (identified && blockOrSingleGaveUp) {
                // Gave up before decoding: the panel is as the last complete read left it.
                EXPECT_TRUE(PanelValues(m) == before) << "round " << round << " code " << code;
            }
            // Whatever came, the value boxes hold only texts we can show.
            for (TextBox* t : {&m.IrisValue, &m.ShutterValue, &m.GainValue, &m.BrightValue, &m.ExpCompValue})
                EXPECT_LE(t->text().size(), 12u);
        }
        EXPECT_LE(rig.windows.messages.size(), 60u);
    }
}
