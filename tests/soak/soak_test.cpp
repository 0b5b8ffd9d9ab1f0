// Long run: 10,000 auto-refresh status reads on the in-process simulator,
// with the memory in use checked flat. Not part of the default test run.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>

#include "app/testing/rig.h"

using namespace orbus;

namespace {
long residentKiB() {
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}
int lensReads(const orbus::testing::Rig& rig) {
    int n = 0;
    for (const auto& p : rig.chain.received) n += p.size() == 6 && p[2] == 0x7E && p[4] == 0x00;
    return n;
}
}  // namespace

TEST(Soak, TenThousandAutoRefreshReadsKeepMemoryFlat) {
    orbus::testing::Rig rig({"ORX-Kappa", "ORX-Beta"});
    ASSERT_TRUE(rig.startUp());
    rig.chain.camera(0).state().aeMode = 0x03;  // manual exposure: the iris is the operator's
    rig.main().AutoRefreshed.click();
    // Warm up, then measure.
    rig.run(2.0 * 1000 + 1);
    rig.chain.received.clear();
    rig.chain.received.shrink_to_fit();
    const long before = residentKiB();
    int done = 0;
    for (int block = 0; block < 10; ++block) {
        rig.run(2.0 * 1000);
        done += lensReads(rig);
        rig.chain.received.clear();  // the simulator's own records, not the panel's
        rig.port.clearWritten();
        // Now and then a command in between, as an operator would.
        rig.main().Command({0x01, 0x04, 0x0B, 0x02});
    }
    const long after = residentKiB();
    std::printf("soak: %d status reads, resident memory %ld KiB before, %ld KiB after\n", done, before, after);
    EXPECT_GE(done, 9900);
#if defined(__SANITIZE_ADDRESS__)
    // The address sanitizer keeps freed memory in quarantine: no figure to judge.
#else
    EXPECT_LT(after - before, 1024);
#endif
    EXPECT_EQ(rig.main().AutoRefreshed.caption(), "Auto");
    EXPECT_TRUE(rig.windows.messages.empty());
}
