// The speed the simulated cameras listen at, and the model lists that set it.
#include <gtest/gtest.h>

#include "chain.h"

using namespace orbus;

namespace {

const sim::Bytes kClear{0x88, 0x01, 0x00, 0x01, 0xFF};

}  // namespace

// A chain answers the interface clear at the speed it listens at, or at any
// speed while none is set; a packet it cannot read is not recorded either.
TEST(SimSpeed, ChainAnswersOnlyAtItsSpeed) {
    const int speeds[] = {9600, 19200, 38400, 0};
    struct Row {
        const char* list;
        int baud;
        bool answers[4];  // at 9600, 19200, 38400, and at a speed not known (0)
    };
    const Row rows[] = {
        {"ORX-Kappa,KBM-R20", 0, {true, true, true, true}},
        {"ORX-Kappa,KBM-R20@38400", 38400, {false, false, true, false}},
        {"ORX-Kappa , KBM-R20 @ 19200", 19200, {false, true, false, false}},
        {"ORX-Kappa,KBM-R20@9600", 9600, {true, false, false, false}},
        {"ORX-Kappa,KBM-R20@bogus", 0, {true, true, true, true}},
        {"ORX-Kappa,KBM-R20@4800", 0, {true, true, true, true}},
    };
    for (const Row& r : rows) {
        for (std::size_t k = 0; k < 4; ++k) {
            SCOPED_TRACE(std::string(r.list) + " at " + std::to_string(speeds[k]));
            auto chain = sim::Chain::fromList(r.list);
            ASSERT_EQ(chain->size(), 2);
            EXPECT_EQ(chain->baud, r.baud);
            const auto chunks = chain->receive(kClear, 1.0, speeds[k]);
            if (!r.answers[k]) {
                EXPECT_TRUE(chunks.empty());
                EXPECT_TRUE(chain->received.empty());
                continue;
            }
            ASSERT_EQ(chunks.size(), 1u);
            EXPECT_EQ(chunks[0].bytes, kClear);
            EXPECT_EQ(chain->received, std::vector<sim::Bytes>{kClear});
            // Ten bytes on the wire (timed as 9600 at a speed not known) and
            // the clear's way round the chain.
            const double byteTime = 10.0 / (speeds[k] > 0 ? speeds[k] : 9600);
            EXPECT_NEAR(chunks[0].at, 1.0 + 10 * byteTime + 3 * chain->ackDelay, 1e-9);
        }
    }
}

TEST(SimSpeed, ModelListCheck) {
    using V = std::vector<std::string>;
    struct Row {
        std::string list;
        V models;
        int baud;
        bool badSpeed;
        const char* unknown;
        bool tooMany;
        bool empty;
    };
    const std::string eight = "ORX-Beta,ORX-Beta,ORX-Beta,ORX-Beta,ORX-Beta,ORX-Beta,ORX-Beta,ORX-Beta";
    const Row rows[] = {
        {"ORX-Beta,KBM-R05", {"ORX-Beta", "KBM-R05"}, 0, false, "", false, false},
        {"  orx-beta ,\tKBM-R05  ,, ", {"orx-beta", "KBM-R05"}, 0, false, "", false, false},
        {"ORX-Beta,ORX-Zeta,KBM-R99", {"ORX-Beta", "ORX-Zeta", "KBM-R99"}, 0, false, "ORX-Zeta", false, false},
        {eight, V(8, "ORX-Beta"), 0, false, "", true, false},
        {eight.substr(9), V(7, "ORX-Beta"), 0, false, "", false, false},
        {"", {}, 0, false, "", false, true},
        {" , ", {}, 0, false, "", false, true},
        {"@38400", {}, 38400, false, "", false, true},
        {"ORX-Kappa,KBM-R20@38400", {"ORX-Kappa", "KBM-R20"}, 38400, false, "", false, false},
        {"ORX-Kappa@ 19200 ", {"ORX-Kappa"}, 19200, false, "", false, false},
        {"ORX-Kappa@4800", {"ORX-Kappa"}, 0, true, "", false, false},
        {"ORX-Kappa@", {"ORX-Kappa"}, 0, true, "", false, false},
        {"ORX-Kappa@38400,KBM-R20", {"ORX-Kappa"}, 0, true, "", false, false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.list);
        const sim::ModelListCheck c = sim::checkModelList(r.list);
        EXPECT_EQ(c.models, r.models);
        EXPECT_EQ(c.baud, r.baud);
        EXPECT_EQ(c.badSpeed, r.badSpeed);
        EXPECT_EQ(c.unknown, r.unknown);
        EXPECT_EQ(c.tooMany, r.tooMany);
        EXPECT_EQ(c.empty, r.empty);
    }

    // The names offered to the operator: every pan-tilt model, the block
    // cameras as one run.
    EXPECT_EQ(sim::knownModelNames(), "ORX-Alpha, ORX-Beta, ORX-Gamma, ORX-Kappa, KBM-R01 to KBM-R27");
}
