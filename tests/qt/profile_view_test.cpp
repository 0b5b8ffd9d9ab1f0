// The profile window as the operator sees it on screen: an apply cancelled
// half-way shows the camera read back at once, from the table's first row,
// with the settings that still differ standing out.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFont>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>

#include "app/testing/rig.h"
#include "dialogs/profile_window.h"
#include "platform/qt/form_view.h"

using namespace orbus;
using orbus::testing::Rig;

TEST(ProfileView, ACancelledApplyShowsTheCameraReadBackFromTheFirstRow) {
    Rig rig({"ORX-Kappa"});
    ASSERT_TRUE(rig.startUp());
    qt::ViewSet views(rig.program->forms());
    FrmProfile& w = rig.program->frmProfile();
    QTemporaryDir dir;
    const std::string file = dir.filePath("kappa.json").toStdString();

    // The camera set by hand is saved, then put back to its defaults: the
    // apply has many settings to send.
    sim::CameraState& camera = rig.chain.byAddress(1)->state();
    const sim::CameraState defaults = camera;
    camera.aeMode = 0x03;
    camera.iris = 5;
    camera.shutter = 9;
    camera.gain = 4;
    camera.wbMode = 5;
    camera.rGain = 200;
    camera.bGain = 60;
    camera.aperture = 9;
    camera.lrReverse = true;
    rig.windows.saveAnswer = file;
    rig.windows.script([&] {
        w.CmdSave.click();
        w.CmdClose.click();
    });
    rig.main().ProfileSave.click();
    camera = defaults;

    int rows = 0, marked = 0, firstShown = -1, scrolled = -1;
    bool markedFirst = false;
    std::string summary;
    rig.chain.timed = true;
    rig.windows.openAnswer = file;
    rig.windows.script([&] {
        w.OptThis.click();
        rig.driveToEnd(false);
        const std::size_t start = rig.mark();
        w.CmdApply.click();
        for (int i = 0; i < 60000 && rig.packetsSince(start, "01").size() < 3; ++i) rig.run(0.0005);
        w.CmdCancel.click();
        for (int i = 0; i < 30000 && w.applying(); ++i) rig.run(0.001);
        rig.run(2);
        rig.settle();
        QApplication::processEvents();

        auto* table = qobject_cast<QTableView*>(views.viewOf(w)->widgetFor(&w.Settings));
        ASSERT_NE(table, nullptr);
        const QAbstractItemModel* m = table->model();
        rows = m->rowCount();
        for (int r = 0; r < rows; ++r) {
            const bool stands = m->index(r, 0).data(Qt::BackgroundRole).isValid() &&
                                m->index(r, 0).data(Qt::FontRole).value<QFont>().bold();
            marked += stands;
            if (r == 0) markedFirst = stands;
        }
        firstShown = table->rowAt(0);
        scrolled = table->verticalScrollBar()->value();
        summary = w.LblSummary.caption();
        rig.driveToEnd(true);
        w.CmdClose.click();
    });
    rig.main().ProfileApply.click();

    EXPECT_NE(summary.find("cancelled after 3 of "), std::string::npos) << summary;
    // Read back: the table is full again, and what the cancel left undone differs.
    EXPECT_GT(rows, 10);
    EXPECT_GT(marked, 0);
    EXPECT_LT(marked, rows);
    // The differing rows come first, and the view starts at the first of them.
    EXPECT_TRUE(markedFirst);
    EXPECT_EQ(firstShown, 0);
    EXPECT_EQ(scrolled, 0);
}
