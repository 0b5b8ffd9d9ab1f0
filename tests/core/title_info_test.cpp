// The title editors (typed and picked), the title display switch, and the
// version and camera information dialogs with the service memory reads.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "dialogs/about.h"
#include "dialogs/title.h"
#include "dialogs/title_chars.h"
#include "app/testing/rig.h"

using namespace orbus;
using orbus::testing::Rig;

namespace {

struct Titles : ::testing::Test {
    explicit Titles(const std::vector<std::string>& models = {"ORX-Beta"}) : rig(models) {}
    Rig rig;
    FrmMain& m = rig.main();
    FrmTitle_K& k = rig.program->frmTitleK();
    FrmTitle_M& t = rig.program->frmTitleM();
    void SetUp() override { ASSERT_TRUE(rig.startUp()); }
    std::vector<std::string> commands(std::size_t mark) const { return rig.packetsSince(mark, "01"); }
    bool running() const { return m.autoCaption() && m.Timer1.enabled() && m.AutoRefreshed.enabled(); }
    // Opens the mouse title dialog from the menu and runs the actions in it.
    void withTitle(std::function<void()> actions) {
        rig.windows.script(std::move(actions));
        m.TitleSet.click();
    }
    std::vector<int> row() { return std::vector<int>(t.row().begin(), t.row().begin() + 20); }
    static KeyEvent typed(int ch, Key key = Key::Other) {
        KeyEvent e;
        e.key = key;
        e.ch = ch;
        return e;
    }
};

struct Info : Titles {
    Info() : Titles({"KBM-R05", "ORX-Beta", "ORX-Kappa", "ORX-Gamma"}) {}
};

}  // namespace

TEST(TitleChars, KeysCodesAndTheKeyList) {
    EXPECT_EQ(FrmTitle_K::Conv("a\\#"), (std::vector<int>{0x28, 0x43, 0x00, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                                          0, 0, 0, 0}));
    EXPECT_EQ(FrmTitle_K::Conv("Zz9 0-")[0], 0x19);
    EXPECT_EQ(FrmTitle_K::Conv("Zz9 0-")[1], 0x42);
    EXPECT_EQ(FrmTitle_K::Conv("Zz9 0-")[2], 0x26);
    EXPECT_EQ(FrmTitle_K::Conv("Zz9 0-")[3], 0x1B);
    EXPECT_EQ(FrmTitle_K::Conv("Zz9 0-")[4], 0x27);
    EXPECT_EQ(FrmTitle_K::Conv("Zz9 0-")[5], 0x4F);
    EXPECT_EQ(title::keyList(),
              "[A]=[A]  [B]=[B]  [C]=[C]  [D]=[D]  [E]=[E]  [F]=[F]  [G]=[G]  [H]=[H]\r\n"
              "[I]=[I]  [J]=[J]  [K]=[K]  [L]=[L]  [M]=[M]  [N]=[N]  [O]=[O]  [P]=[P]\r\n"
              "[Q]=[Q]  [R]=[R]  [S]=[S]  [T]=[T]  [U]=[U]  [V]=[V]  [W]=[W]  [X]=[X]\r\n"
              "[Y]=[Y]  [Z]=[Z]  [\xC3\x98]=[@]  [1]=[1]  [2]=[2]  [3]=[3]  [4]=[4]  [5]=[5]\r\n"
              "[6]=[6]  [7]=[7]  [8]=[8]  [9]=[9]  [0]=[0]  [!]=[!]  [\"]=[\"]  [$]=[$]\r\n"
              "[&]=[&]  [']=[']  [-]=[-]  [/]=[/]  [,]=[,]  [.]=[.]  [Y=]=[\\] [:]=[:]\r\n"
              "[?]=[?]  [ ]=[ ]  [\xC3\x80]=[a]  [\xC3\x88]=[b]  [\xC3\x8C]=[c]  [\xC3\x92]=[d]  [\xC3\x99]=[e]  "
              "[\xC3\x81]=[f]\r\n"
              "[\xC3\x89]=[g]  [\xC3\x8D]=[h]  [\xC3\x93]=[i]  [\xC3\x9A]=[j]  [\xC3\x82]=[k]  [\xC3\x8A]=[l]  "
              "[\xC3\x94]=[m]  [\xC3\x86]=[n]\r\n"
              "[OE]=[o] [\xC3\x83]=[p]  [\xC3\x95]=[q]  [\xC3\x91]=[r]  [\xC3\x87]=[s]  [\xC3\x9F]=[t]  "
              "[\xC3\x84]=[u]  [\xC3\x8F]=[v]\r\n"
              "[\xC3\x96]=[w]  [\xC3\x9C]=[x]  [\xC3\x85]=[y]  [F=]=[z] [\xC2\xBF]=[(]  [\xC2\xA1]=[)]  [DM]=[<] "
              "[\xC2\xA3]=[>]\r\n");
}

TEST_F(Titles, TypedTitleSendsItsThreePackets) {
    std::vector<std::string> sent;
    rig.windows.script([&] {
        EXPECT_EQ(k.Text3.text(), title::keyList());
        const auto mark = rig.mark();
        k.Text1.setText("HELLO");
        k.OK.click();
        EXPECT_TRUE(k.visible());  // the dialog stays open
        EXPECT_EQ(k.Text1.text(), "HELLO" + std::string(20, ' '));
        k.HPos.setText("20");  // beyond the typed dialog's 19
        k.OK.click();
        k.Clear.click();
        EXPECT_EQ(k.Text1.text(), "");
        sent = commands(mark);
        k.Cancel.click();
    });
    m.AutoRefreshed.click();
    k.open();
    EXPECT_EQ(sent, (std::vector<std::string>{
                        "81 01 04 73 00 00 00 00 00 00 00 00 00 00 00 FF",
                        "81 01 04 73 01 07 04 0B 0B 0E 1B 1B 1B 1B 1B FF",
                        "81 01 04 73 02 1B 1B 1B 1B 1B 1B 1B 1B 1B 1B FF",
                        "81 01 04 74 00 FF",
                    }));
    EXPECT_EQ(rig.windows.messages.size(), 1u);
    EXPECT_TRUE(running());
}

TEST_F(Titles, PickedTitleInsertsDeletesAndMovesTheCursor) {
    withTitle([&] {
        EXPECT_EQ(t.left(), m.left() + 100);
        EXPECT_EQ(t.TitleCursor, 0);
        EXPECT_TRUE(t.Char[0].inverted());
        // A new row has never been cleared: twenty 00 codes.
        EXPECT_EQ(row(), std::vector<int>(20, 0x00));
        t.Clear.click();
        EXPECT_EQ(row(), std::vector<int>(20, 0x1B));
        t.Picture1_MouseDown(30, 60);  // row 2, column 1: the digit 4
        EXPECT_EQ(row()[0], 0x21);
        EXPECT_EQ(t.TitleCursor, 1);
        EXPECT_EQ(t.Char[0].squareCol(), 1);
        EXPECT_EQ(t.Char[0].squareRow(), 2);
        EXPECT_TRUE(t.Char[1].inverted());
        t.Picture1_MouseDown(400, 10);  // the picture's last line: no square
        t.Picture1_MouseDown(10, 125);
        EXPECT_EQ(t.TitleCursor, 1);
        // Keys typed in a cell: letters, an unknown key ignored, editing keys.
        KeyEvent k = typed('a');
        k.focus = &t.Char[1];
        EXPECT_TRUE(t.keyDown(k));
        k.ch = '#';
        EXPECT_TRUE(t.keyDown(k));
        EXPECT_EQ(t.TitleCursor, 2);
        EXPECT_EQ(row()[1], 0x28);
        k = typed(0, Key::Left);
        k.focus = &t.Char[2];
        t.keyDown(k);
        EXPECT_EQ(t.TitleCursor, 1);
        k.key = Key::Delete;
        t.keyDown(k);  // deletes the À
        EXPECT_EQ(row()[1], 0x1B);
        EXPECT_EQ(row()[19], 0x1B);
        // Keys elsewhere (a position box) are not the title's.
        k = typed('B');
        k.focus = &t.VerPos;
        EXPECT_FALSE(t.keyDown(k));
        // BS at 0 does nothing; at 1 deletes position 0.
        t.Char_Click(0);
        t.BS_Click();
        EXPECT_EQ(row()[0], 0x21);
        t.Right_Click();
        t.BS_Click();
        EXPECT_EQ(row()[0], 0x1B);
        EXPECT_EQ(t.TitleCursor, 0);
        // Inserting at 19 replaces it and stays there.
        t.Char_Click(19);
        t.InsertChar(0x00);
        t.InsertChar(0x01);
        EXPECT_EQ(row()[19], 0x01);
        EXPECT_EQ(t.TitleCursor, 19);
        for (int i = 0; i < 25; ++i) t.Right_Click();
        EXPECT_EQ(t.TitleCursor, 19);
        // The pointer outlines the square under it, and nothing when it leaves.
        t.Picture1_MouseMove(60, 30);
        EXPECT_EQ(t.Picture1.outlineCol(), 2);
        EXPECT_EQ(t.Picture1.outlineRow(), 1);
        t.Picture1.mouseLeave();
        EXPECT_EQ(t.Picture1.outlineCol(), -1);
        t.HoliPos.setText("23");  // the mouse dialog goes to 23
        const auto mark = rig.mark();
        t.OK.click();
        auto sent = commands(mark);
        ASSERT_EQ(sent.size(), 3u);
        EXPECT_EQ(sent[0], "81 01 04 73 00 00 17 00 00 00 00 00 00 00 00 FF");
        EXPECT_EQ(sent[2], "81 01 04 73 02 1B 1B 1B 1B 1B 1B 1B 1B 1B 01 FF");
        t.VerPos.setText("11");
        t.OK.click();
        EXPECT_EQ(commands(mark).size(), 3u);
        EXPECT_EQ(rig.windows.messages.size(), 1u);
        t.Cancel.click();
    });
    // The row stays for the run: a second camera has its own.
    EXPECT_EQ(rig.program->titles.rows[1][19], 0x01);
    EXPECT_EQ(rig.program->titles.rows[2][19], 0x00);
}

TEST_F(Titles, SwappingKeepsThePlaceAndTheRefreshStopped) {
    m.AutoRefreshed.click();
    bool stoppedInK = false;
    double kLeft = 0;
    rig.windows.script([&] {
        t.move(1234, 2345);
        t.Keyboard.click();
    });
    rig.windows.script([&] {
        kLeft = k.left();
        stoppedInK = !m.Timer1.enabled() && !m.AutoRefreshed.enabled() && !t.visible();
        k.Mouse.click();
    });
    rig.windows.script([&] { t.Cancel.click(); });
    m.TitleSet.click();
    EXPECT_EQ(kLeft, 1234);
    EXPECT_TRUE(stoppedInK);
    EXPECT_EQ(rig.windows.modalShows, 3);
    EXPECT_TRUE(running());
    EXPECT_FALSE(rig.link().RefreshRestart);
}

TEST_F(Titles, TitleDisplaySwitchFollowsTheMainWindowsMark) {
    withTitle([&] {
        auto mark = rig.mark();
        EXPECT_FALSE(t.Check1.checked());
        t.Check1.click();  // ticked, mark off: on
        EXPECT_TRUE(m.TitleOnOff.checked());
        m.TitleOnOff.setChecked(false);
        t.Check1.click();  // cleared, mark off: nothing
        m.TitleOnOff.setChecked(true);
        t.Check1.setValue(0);
        t.Check1.click();  // ticked while marked: nothing
        t.Check1.click();  // cleared while marked: off
        EXPECT_FALSE(m.TitleOnOff.checked());
        EXPECT_EQ(commands(mark), (std::vector<std::string>{"81 01 04 74 02 FF", "81 01 04 74 03 FF"}));
        t.Cancel.click();
    });
    // The menu entry alone, and the read-back mark.
    m.TitleOnOff.click();
    EXPECT_TRUE(m.TitleOnOff.checked());
    rig.run(0.5);
    m.TitleOnOff.setChecked(false);
    m.RefreshOnce.click();
    EXPECT_TRUE(m.TitleOnOff.checked());
    // Opened with the mark on, the box is ticked.
    withTitle([&] {
        EXPECT_TRUE(t.Check1.checked());
        t.Cancel.click();
    });
}

TEST_F(Titles, ClosingWithTheAlarmStartedLeavesAutoRefreshOff) {
    m.AutoRefreshed.click();
    rig.program->alarm.AlarmActive = true;
    withTitle([&] { t.Cancel.click(); });
    EXPECT_EQ(m.AutoRefreshed.caption(), "Stop");
    EXPECT_FALSE(m.Timer1.enabled());
    EXPECT_TRUE(m.RefreshOnce.enabled());
    EXPECT_TRUE(m.AutoRefreshed.enabled());
    EXPECT_TRUE(m.Timer2.enabled());
}

TEST(About, VersionText) {
    EXPECT_EQ(FrmAbout::versionText(1, 0, 0), "Version 1.0  Revision 0");
    EXPECT_EQ(FrmAbout::versionText(2, 13, 7), "Version 2.13  Revision 7");
    Rig rig;
    FrmAbout& a = rig.program->frmAbout();
    // Each line of the dialog in its own label; the trademark and company
    // lines stand apart, a blank line between them.
    const std::vector<std::pair<const Label*, std::string>> lines = {
        {&a.lblTitle, "ORBUS Panel"},
        {&a.lblVersion, FrmAbout::versionText(ORBUS_VERSION_MAJOR, ORBUS_VERSION_MINOR, ORBUS_VERSION_PATCH)},
        {&a.lblDescription, "Control panel for ORX pan-tilt and KBM block cameras on a serial line."},
        {&a.lblSyouhyou,
         "ORX, KBM and ORBUS are names of the camera series and their protocol.\r\n\r\nORBUS Panel project"},
        {&a.lblTyosakukenn, "Provided as is, without warranty of any kind."},
    };
    for (const auto& [label, text] : lines) EXPECT_EQ(label->caption(), text) << label->objectName();
}

// Each camera's own ROM version, also a block camera's and after the driven
// camera changed; the service memory of the three models that keep one.
TEST_F(Info, CameraInformationPerModel) {
    Frmmoreinfo& d = rig.program->frmMoreInfo();
    FrmAbout& a = rig.program->frmAbout();
    rig.chain.camera(2).state().romHi = 3;  // the Kappa
    rig.chain.camera(2).state().romLo = 0x21;
    rig.chain.camera(3).state().romLo = 0x0A;  // the Gamma
    m.AutoRefreshed.click();
    const std::vector<std::string> service = {"01 06 22 5C FF", "01 06 1A 03 00 FF", "01 06 1A 03 01 FF",
                                              "01 06 1A 02 03 FF", "01 06 22 12 FF"};
    struct Case {
        int camera;
        std::vector<int> steps;  // of `service`, after the version inquiry
        const char* rom;
        const char* date;
        const char* remodel;
    };
    const Case cases[] = {
        {1, {}, "2.10", "", ""},  // block camera: its version, no service memory
        {2, {0, 1, 2, 3, 4}, "1.05", "Date of Manufacture  :  2006.12. 7", "CamBlock Remodeling  :  3"},
        {3, {0, 1, 2, 4}, "3.21", "Date of Manufacture  :  2009. 6.30", ""},
        {4, {0, 1, 2, 4}, "1.0A", "Date of Manufacture  :  2005. 3.14", ""},
        {1, {}, "2.10", "", ""},  // back on the block camera
    };
    for (const Case& c : cases) {
        m.CameraSel[c.camera].click();
        rig.run(0.5);
        const std::string header = "8" + std::to_string(c.camera) + " ";
        std::vector<std::string> expected{header + "09 00 02 FF"};
        for (int i : c.steps) expected.push_back(header + service[static_cast<std::size_t>(i)]);
        const auto mark = rig.mark();
        rig.windows.script([&] { a.more.click(); });
        rig.windows.script([&] {
            EXPECT_FALSE(m.Timer1.enabled() || m.Timer2.enabled());
            EXPECT_TRUE(d.OKButton.enabled());
            d.OKButton.click();
        });
        rig.windows.script([&] { a.OK.click(); });
        m.version.click();
        EXPECT_EQ(rig.packetsSince(mark), expected) << c.camera;
        EXPECT_EQ(d.Frame1.caption(), "Camera " + std::to_string(c.camera));
        EXPECT_EQ(d.LblRomVer.caption(), std::string("ROM Version    :    ") + c.rom);
        EXPECT_EQ(d.LblDate.caption(), c.date);
        EXPECT_EQ(d.LblRemodel.caption(), c.remodel);
        EXPECT_FALSE(rig.chain.camera(c.camera - 1).state().debugMode);
        EXPECT_TRUE(running());
        EXPECT_TRUE(m.Timer2.enabled());
    }
    EXPECT_TRUE(rig.windows.messages.empty());
}

// A read that fails still takes the camera out of its debug mode. A camera
// that answers wrongly is given up after kAttempts tries, leaving the lines
// empty; one that does not answer at all ends at its first silence with one
// message and no window.
TEST_F(Info, FailedReadsLeaveDebugModeAndSilenceIsOneMessage) {
    Frmmoreinfo& d = rig.program->frmMoreInfo();
    m.CameraSel[2].click();  // the Beta
    rig.run(0.5);
    const sim::Bytes enter{0x01, 0x06, 0x22, 0x5C}, year{0x01, 0x06, 0x1A, 0x03, 0x00};
    struct Case {
        const char* what;
        sim::Bytes body;  // the packet whose answers fail
        sim::PacketFault fault;
        bool silentCamera;
        std::vector<std::pair<std::string, long>> sent;  // packet, times
        bool shown;
    };
    const long tries = Frmmoreinfo::kAttempts;
    const Case cases[] = {
        {"year answered wrongly", year, {0, 1000, 1, 0, 1}, false,
         {{"82 01 06 1A 03 00 FF", tries}, {"82 01 06 1A 03 01 FF", 0}, {"82 01 06 22 12 FF", 1}}, true},
        {"year unanswered", year, {1, 0, 1, 0, 1}, false,
         {{"82 01 06 1A 03 00 FF", 1}, {"82 01 06 1A 03 01 FF", 0}, {"82 01 06 22 12 FF", 1}}, false},
        {"debug mode unanswered", enter, {1, 0, 1, 0, 1}, false,
         {{"82 01 06 22 5C FF", 1}, {"82 01 06 1A 03 00 FF", 0}, {"82 01 06 22 12 FF", 1}}, false},
        {"camera silent", {}, {}, true,
         {{"82 09 00 02 FF", 1}, {"82 01 06 22 5C FF", 0}, {"82 01 06 22 12 FF", 0}}, false},
    };
    for (const Case& c : cases) {
        rig.chain.packetFaults.clear();
        if (!c.body.empty()) rig.chain.packetFaults[c.body] = c.fault;
        rig.chain.faults.silent = c.silentCamera;
        rig.windows.messages.clear();
        const int shows = rig.windows.modalShows;
        if (c.shown) rig.windows.script([&] { d.OKButton.click(); });
        const auto mark = rig.mark();
        const double start = rig.loop.now();
        d.open();
        const double took = rig.loop.now() - start;
        const auto sent = rig.packetsSince(mark);
        for (const auto& [packet, times] : c.sent)
            EXPECT_EQ(std::count(sent.begin(), sent.end(), packet), times) << c.what << ": " << packet;
        EXPECT_FALSE(rig.chain.camera(1).state().debugMode) << c.what;
        EXPECT_EQ(rig.port.inBufferCount(), 0) << c.what;
        EXPECT_TRUE(m.Timer2.enabled()) << c.what;
        if (c.shown) {
            EXPECT_EQ(rig.windows.modalShows, shows + 1) << c.what;
            EXPECT_TRUE(rig.windows.messages.empty()) << c.what;
            EXPECT_EQ(d.LblDate.caption(), "") << c.what;
            EXPECT_EQ(d.LblRemodel.caption(), "") << c.what;
        } else {
            EXPECT_EQ(rig.windows.modalShows, shows) << c.what;
            ASSERT_EQ(rig.windows.messages.size(), 1u) << c.what;
            EXPECT_EQ(rig.windows.messages[0].text, "Camera 2 gave no usable answer.\r\nIts information could not be read.");
            EXPECT_LT(took, 2.5) << c.what;
        }
    }
}
