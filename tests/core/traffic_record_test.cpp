// The traffic record: a ring of every packet on the port, its filters and
// its text and CSV forms; and the "Traffic" window on a whole panel.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/frm_main.h"
#include "app/frm_traffic.h"
#include "app/program.h"
#include "app/traffic_record.h"
#include "app/testing/rig.h"

using namespace orbus;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

std::vector<std::string> hexRows(const TrafficRecord& r) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < r.size(); ++i) out.push_back(trafficHex(r.at(i)));
    return out;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace

// Writes and reads are cut into packets; the ring keeps the newest.
TEST(TrafficRecord, PacketsInOrderAndTheRingKeepsTheNewest) {
    TrafficRecord r(10.0, 4);
    r.sent({0x81, 0x09, 0x04, 0x00, 0xFF, 0x82, 0x01, 0x04, 0x0B, 0x02, 0xFF}, 10.5);  // two in one write
    r.received({0x90, 0x50}, 10.6);                                                    // an answer in two reads
    r.received({0x02, 0xFF, 0xA0}, 10.7);
    ASSERT_THAT(hexRows(r), ElementsAre("81 09 04 00 FF", "82 01 04 0B 02 FF", "90 50 02 FF"));
    EXPECT_EQ(trafficTime(r.at(0)), "500");
    EXPECT_EQ(trafficTime(r.at(2)), "600");  // when its first byte came
    EXPECT_EQ(trafficMeaning(r.at(2)), "Camera 1: answer to the power inquiry: 02 (on)");
    r.received({0x41, 0xFF}, 10.8);
    r.sent({0x88, 0x30, 0x01, 0xFF}, 10.9);
    EXPECT_THAT(hexRows(r), ElementsAre("82 01 04 0B 02 FF", "90 50 02 FF", "A0 41 FF", "88 30 01 FF"));
    EXPECT_EQ(r.size(), 4u);
    EXPECT_EQ(r.recorded(), 5u);
    // A run without FF is kept in pieces of the longest packet.
    r.received(Bytes(40, 0x11), 11.0);
    EXPECT_EQ(r.at(3).length, TrafficRow::kMaxBytes);
    EXPECT_EQ(trafficCamera(r.at(3)), "-");
    EXPECT_EQ(r.recorded(), 6u);
}

TEST(TrafficRecord, ColumnsAndFilters) {
    TrafficRecord r;
    r.sent({0x81, 0x01, 0x04, 0x0B, 0x02, 0xFF}, 0);
    r.received({0x90, 0x41, 0xFF, 0x90, 0x61, 0x41, 0xFF}, 0);
    r.sent({0x83, 0x01, 0x04, 0x0B, 0x02, 0xFF}, 0);
    r.received({0xB0, 0x60, 0x03, 0xFF}, 0);
    r.sent({0x88, 0x01, 0x00, 0x01, 0xFF}, 0);
    EXPECT_EQ(trafficCamera(r.at(5)), "all");
    EXPECT_EQ(trafficDirection(r.at(0)), "sent");
    EXPECT_EQ(trafficDirection(r.at(1)), "received");
    EXPECT_EQ(trafficMeaning(r.at(2)), "Camera 1: cannot execute, socket 1");
    const struct {
        TrafficFilter filter;
        std::vector<std::size_t> rows;
    } cases[] = {
        {{0, false}, {0, 1, 2, 3, 4, 5}},
        {{1, false}, {0, 1, 2}},
        {{3, false}, {3, 4}},
        {{7, false}, {}},
        {{0, true}, {2, 4}},
        {{3, true}, {4}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(r.select(c.filter), c.rows) << c.filter.camera << " " << c.filter.errorsOnly;
    }
}

TEST(TrafficRecord, TextAndCsvForms) {
    const struct {
        std::string field, csv;
    } fields[] = {
        {"plain", "plain"},
        {"a, b", "\"a, b\""},
        {"say \"HELLO\"", "\"say \"\"HELLO\"\"\""},
        {"two\r\nlines", "\"two\r\nlines\""},
        {"", ""},
    };
    for (const auto& f : fields) EXPECT_EQ(csvField(f.field), f.csv) << f.field;

    // The source comes last: a controller's name, "panel" for the panel's
    // own packets, nothing for a received one.
    TrafficRecord r(0, TrafficRecord::kCapacity, {2026, 12, 9, 21, 14, 5, 900});
    std::optional<link::Source> writer = link::Source::Dialog;
    r.setWriter([&writer] { return writer; });
    r.sent({0x81, 0x01, 0x04, 0x73, 0x01, 0x07, 0x04, 0x0B, 0x0B, 0x0E, 0x1B, 0x1B, 0x1B, 0x1B, 0x1B, 0xFF}, 1.25);
    r.received({0x90, 0x41, 0xFF}, 1.5);
    writer.reset();
    r.sent({0x81, 0x09, 0x04, 0x00, 0xFF}, 1.75);
    const std::string title = "81 01 04 73 01 07 04 0B 0B 0E 1B 1B 1B 1B 1B FF";
    EXPECT_EQ(trafficExport(r, {0, 1}, TrafficFormat::Csv),
              "Time (ms),Camera,Direction,Bytes,Meaning,Source,Clock\r\n"
              "1250,1,sent," + title + ",\"Camera 1: FrmTitle_K.OK or FrmTitle_M.OK (title characters 1 to 10 \"\"HELLO     \"\")\",dialog,21:14:07.150\r\n"
              "1500,1,received,90 41 FF,\"Camera 1: acknowledge, socket 1\",,21:14:07.400\r\n");
    EXPECT_EQ(trafficExport(r, {1, 2, 7}, TrafficFormat::Text),
              "Time (ms)\tCamera\tDirection\tBytes\tMeaning\tSource\tClock\r\n"
              "1500\t1\treceived\t90 41 FF\tCamera 1: acknowledge, socket 1\t\t21:14:07.400\r\n"
              "1750\t1\tsent\t81 09 04 00 FF\tCamera 1: inquiry, power\tpanel\t21:14:07.650\r\n");
    // Past midnight the clock starts the day again.
    TrafficRecord late(0, TrafficRecord::kCapacity, {2026, 12, 9, 23, 59, 59, 500});
    late.sent({0x81, 0x09, 0x04, 0x00, 0xFF}, 0.75);
    EXPECT_EQ(trafficClock(late, late.at(0)), "00:00:00.250");
    // Chain Status's last command: the inquiry is none.
    EXPECT_EQ(r.lastCommandSource(1), "dialog");
    EXPECT_EQ(r.lastCommandSource(2), "-");
}

// An inquiry its camera leaves unanswered past the answer limit is marked
// so: in its meaning, under "Errors only" and in the files. One answered in
// time, or replaced in time by the next, is not.
TEST(TrafficRecord, InquiriesLeftUnansweredAreTrouble) {
    const Bytes power{0x81, 0x09, 0x04, 0x00, 0xFF}, lens{0x82, 0x09, 0x7E, 0x7E, 0x00, 0xFF};
    const Bytes answer{0x90, 0x50, 0x02, 0xFF};
    const struct {
        const char* what;
        std::function<void(TrafficRecord&)> traffic;
        bool unanswered;  // the first row
    } rows[] = {
        {"answered in time", [&](TrafficRecord& r) { r.received(answer, 1.9); r.settle(5); }, false},
        {"silence, then the window looks", [&](TrafficRecord& r) { r.settle(2.01); }, true},
        {"silence, looked at too early", [&](TrafficRecord& r) { r.settle(1.99); }, false},
        {"an answer after the limit", [&](TrafficRecord& r) { r.received(answer, 2.2); }, true},
        {"another camera's traffic past the limit", [&](TrafficRecord& r) { r.sent(lens, 2.5); }, true},
        {"the ring moved on: nothing to mark",
         [&](TrafficRecord& r) {
             for (int i = 0; i < 4; ++i) r.sent(lens, 1.1);
             r.settle(9);
         },
         false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        TrafficRecord r(0, 4);
        r.sent(power, 1.0);
        row.traffic(r);
        const TrafficRow& first = r.at(0);
        const bool isPower = first.packet() == power;
        EXPECT_EQ(isPower && first.unanswered, row.unanswered);
        if (!isPower) continue;
        EXPECT_EQ((TrafficFilter{0, true}.passes(first)), row.unanswered);
        EXPECT_EQ(trafficMeaning(first), std::string("Camera 1: inquiry, power") + (row.unanswered ? "; no answer after 1 s" : ""));
        EXPECT_EQ(trafficExport(r, {0}, TrafficFormat::Csv).find("no answer after 1 s") != std::string::npos, row.unanswered);
    }
}

TEST(TrafficRecord, FilesAreWrittenWholeOrNotAtAll) {
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "orbus_traffic_test";
    std::filesystem::create_directories(dir);
    const std::string path = (dir / "t.csv").string();
    EXPECT_EQ(writeFileWhole(path, "old"), "");
    EXPECT_EQ(writeFileWhole(path, "new text"), "");
    EXPECT_EQ(readFile(path), "new text");
    EXPECT_FALSE(std::filesystem::exists(path + ".part"));
    // A folder that is not there: the reason, and the old file untouched.
    EXPECT_THAT(writeFileWhole((dir / "missing" / "t.csv").string(), "x"), HasSubstr("No such file"));
    // A file where the folder should be.
    EXPECT_NE(writeFileWhole(path + "/x.csv", "x"), "");
    EXPECT_EQ(readFile(path), "new text");
    std::filesystem::remove_all(dir);
}

// The whole panel: what goes over the port is recorded while the window is
// closed; the window lists it, follows new packets, filters, copies and
// saves, and says why a save failed.
TEST(TrafficRecord, TheTrafficWindowOnAPanel) {
    orbus::testing::Rig rig({"ORX-Kappa", "ORX-Kappa"});
    rig.openQuietly();
    FrmMain& m = rig.main();
    Program& p = *rig.program;
    rig.chain.camera(0).state().aeMode = 0x03;  // manual exposure: the iris is the operator's
    m.IrisOpen.click();
    rig.run(1);
    ASSERT_GE(p.traffic.size(), 3u);
    m.ViewTraffic.click();
    FrmTraffic& t = p.frmTraffic();
    ASSERT_TRUE(t.visible());
    EXPECT_EQ(t.Packets.rowCount(), static_cast<int>(p.traffic.size()));
    const int last = t.Packets.rowCount() - 1;
    EXPECT_EQ(t.Packets.cell(last, 3), "received");
    EXPECT_EQ(t.Packets.cell(last, 5), "Camera 1: completion, socket 1");

    // Camera 2 refuses a command: the window follows, the filters pick it.
    rig.chain.mutate = [](const sim::Bytes& packet, std::vector<sim::Bytes>& replies) {
        if (packet[0] == 0x82 && packet[1] == 0x01) replies = {{0xA0, 0x60, 0x03, 0xFF}};
    };
    m.DirectText.type("8201040B02FF\r");
    rig.run(1);
    rig.chain.mutate = nullptr;
    const int before = t.Packets.rowCount();
    t.Packets.setSelectedRows({0, before - 1});
    rig.run(1);
    EXPECT_EQ(t.Packets.rowCount(), static_cast<int>(p.traffic.size()));
    EXPECT_EQ(t.Packets.selectedRows(), (std::vector<int>{0, before - 1}));
    const struct {
        int camera;
        bool errors;
        std::string firstMeaning;
        int rows;  // -1: not counted
    } filters[] = {
        {2, false, "Camera 2: Iris Open (iris one step open)", 2},
        {2, true, "Camera 2: command buffer full", 1},
        {0, true, "Camera 2: command buffer full", 1},
        {7, false, "", 0},
    };
    for (const auto& f : filters) {
        t.CboCamera.choose(f.camera);
        if (t.ChkErrors.checked() != f.errors) t.ChkErrors.click();
        EXPECT_EQ(t.Packets.rowCount(), f.rows) << f.camera << f.errors;
        EXPECT_EQ(t.Packets.cell(0, 5), f.firstMeaning) << f.camera << f.errors;
    }
    t.CboCamera.choose(2);
    EXPECT_EQ(t.LblCount.caption(), "2 of " + std::to_string(p.traffic.size()) + " packets shown");

    // Copy: the selected rows, or every row shown.
    t.CmdCopy.click();
    EXPECT_THAT(rig.windows.clipboard, HasSubstr("\tsent\t82 01 04 0B 02 FF\tCamera 2: Iris Open"));
    EXPECT_THAT(rig.windows.clipboard, HasSubstr("\treceived\tA0 60 03 FF\t"));
    t.Packets.setSelectedRows({1});
    t.CmdCopy.click();
    EXPECT_THAT(rig.windows.clipboard, ::testing::Not(HasSubstr("\tsent\t")));

    // Save: the rows shown, as CSV by the name; a failure says why.
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "orbus_traffic_window";
    std::filesystem::create_directories(dir);
    rig.windows.saveAnswer = (dir / "t.csv").string();
    t.CmdSave.click();
    EXPECT_THAT(readFile(rig.windows.saveAnswer), HasSubstr(",sent,82 01 04 0B 02 FF,Camera 2: Iris Open"));
    const std::size_t shown = rig.windows.messages.size();
    rig.windows.saveAnswer = (dir / "none" / "t.txt").string();
    t.CmdSave.click();
    ASSERT_EQ(rig.windows.messages.size(), shown + 1);
    EXPECT_THAT(rig.windows.messages.back().text, HasSubstr("could not be saved to " + rig.windows.saveAnswer));
    rig.windows.saveAnswer.clear();  // cancelled: nothing happens
    t.CmdSave.click();
    EXPECT_EQ(rig.windows.messages.size(), shown + 1);
    std::filesystem::remove_all(dir);

    // A full ring: the oldest rows leave the window, the selection moves
    // up with its rows.
    t.CboCamera.choose(0);
    for (std::size_t i = p.traffic.size(); i < TrafficRecord::kCapacity; ++i)
        p.traffic.sent({0x83, 0x01, 0x04, 0x0B, 0x02, 0xFF}, 2);
    t.follow();
    ASSERT_EQ(t.Packets.rowCount(), static_cast<int>(TrafficRecord::kCapacity));
    t.Packets.setSelectedRows({3, 20});
    for (int i = 0; i < 10; ++i) p.traffic.sent({0x84, 0x01, 0x04, 0x0B, 0x02, 0xFF}, 3);
    t.follow();
    EXPECT_EQ(t.Packets.rowCount(), static_cast<int>(TrafficRecord::kCapacity));
    EXPECT_EQ(t.Packets.selectedRows(), std::vector<int>{10});
    EXPECT_EQ(t.Packets.cell(t.Packets.rowCount() - 1, 2), "4");
    EXPECT_EQ(t.Packets.cell(0, 4), trafficHex(p.traffic.at(0)));

    t.CmdClose.click();
    EXPECT_FALSE(t.visible());
}
