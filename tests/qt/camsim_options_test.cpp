// orbus-camsim as run: a malformed or out-of-range number on its command
// line ends it at once with the option and the text named.
#include <gtest/gtest.h>

#include <QProcess>
#include <QString>
#include <QStringList>

TEST(CamsimOptions, AMalformedNumberEndsTheProgramNamingIt) {
    const struct {
        QStringList args;
        const char* problem;
    } cases[] = {
        {{"--delay", "abc"}, "orbus-camsim: --delay takes a number from 0 to 3600, not \"abc\""},
        {{"--split", "1.5"}, "orbus-camsim: --split takes a whole number from 0 to 4096, not \"1.5\""},
        {{"--garbage", "2"}, "orbus-camsim: --garbage takes a number from 0 to 1, not \"2\""},
        {{"--exit-after", "-1"}, "orbus-camsim: --exit-after takes a number from 0 to 1000000, not \"-1\""},
    };
    for (const auto& c : cases) {
        QProcess sim;
        sim.start(ORBUS_CAMSIM, c.args);
        ASSERT_TRUE(sim.waitForFinished(10000)) << c.problem;
        EXPECT_EQ(sim.exitCode(), 2) << c.problem;
        EXPECT_EQ(QString::fromUtf8(sim.readAllStandardError()).section('\n', 0, 0).toStdString(), c.problem);
        EXPECT_TRUE(sim.readAllStandardOutput().isEmpty()) << c.problem;
    }
}
