// The traffic window on screen: a table with the role of one and a name,
// whose rows follow the record, keep the operator's selection as packets
// come and answer the filters.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QComboBox>
#include <QItemSelectionModel>
#include <QTableView>

#include "app/frm_main.h"
#include "app/frm_traffic.h"
#include "app/program.h"
#include "platform/qt/form_view.h"
#include "app/testing/rig.h"

using namespace orbus;
using orbus::qt::ViewSet;
using orbus::testing::Rig;

TEST(TrafficWindow, RowsFollowTheRecordAndTheFilters) {
    Rig rig({"ORX-Kappa", "ORX-Kappa"});
    ViewSet views(rig.program->forms());
    rig.openQuietly();
    FrmMain& m = rig.main();
    // Manual exposure: the iris is the operator's on both cameras.
    rig.chain.camera(0).state().aeMode = rig.chain.camera(1).state().aeMode = 0x03;
    m.IrisOpen.click();
    rig.run(1);
    m.ViewTraffic.click();
    FrmTraffic& t = rig.program->frmTraffic();
    qt::FormView* v = views.viewOf(t);
    auto* table = qobject_cast<QTableView*>(v->widgetFor(&t.Packets));
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->accessibleName(), "Packets");
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(table);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->role(), QAccessible::Table);
    EXPECT_EQ(v->widgetFor(&t.CboCamera)->accessibleName(), "Camera");
    QWidget* win = views.windowOf(t);
    EXPECT_LE(win->width(), 1280);
    EXPECT_LE(win->height(), 720 - 60);

    QAbstractItemModel* model = table->model();
    const int rows = model->rowCount();
    ASSERT_EQ(rows, static_cast<int>(rig.program->traffic.size()));
    EXPECT_EQ(model->headerData(1, Qt::Horizontal).toString(), "Clock");
    EXPECT_EQ(model->headerData(5, Qt::Horizontal).toString(), "Meaning");
    EXPECT_EQ(model->index(rows - 1, 5).data().toString(), "Camera 1: completion, socket 1");

    // The operator's selection stays while packets come.
    table->selectRow(1);
    EXPECT_EQ(t.Packets.selectedRows(), std::vector<int>{1});
    m.DirectText.type("8201040B02FF\r");
    rig.run(1);
    EXPECT_GT(model->rowCount(), rows);
    EXPECT_EQ(model->rowCount(), static_cast<int>(rig.program->traffic.size()));
    ASSERT_EQ(table->selectionModel()->selectedRows().size(), 1);
    EXPECT_EQ(table->selectionModel()->selectedRows().front().row(), 1);
    // The last column names who sent each packet.
    EXPECT_EQ(model->headerData(6, Qt::Horizontal).toString(), "Source");
    std::vector<std::string> sources;
    for (int r = rows; r < model->rowCount(); ++r) {
        if (model->index(r, 3).data().toString() == "sent")
            sources.push_back(model->index(r, 6).data().toString().toStdString());
    }
    EXPECT_EQ(sources, std::vector<std::string>{"console"});
    EXPECT_EQ(model->index(0, 6).data().toString(), "main window");

    // Camera 2 picked in the list: only its packets.
    auto* combo = qobject_cast<QComboBox*>(v->widgetFor(&t.CboCamera));
    combo->setCurrentIndex(2);
    emit combo->activated(2);
    ASSERT_GT(model->rowCount(), 0);
    for (int r = 0; r < model->rowCount(); ++r) EXPECT_EQ(model->index(r, 2).data().toString(), "2") << r;

    // A full ring: rows leave at the top, the selection moves up with its row.
    combo->setCurrentIndex(0);
    emit combo->activated(0);
    auto& traffic = rig.program->traffic;
    for (std::size_t i = traffic.size(); i < TrafficRecord::kCapacity; ++i)
        traffic.sent({0x83, 0x01, 0x04, 0x0B, 0x02, 0xFF}, 2);
    t.follow();
    table->selectRow(30);
    for (int i = 0; i < 10; ++i) traffic.sent({0x84, 0x01, 0x04, 0x0B, 0x02, 0xFF}, 3);
    t.follow();
    EXPECT_EQ(model->rowCount(), static_cast<int>(TrafficRecord::kCapacity));
    ASSERT_EQ(table->selectionModel()->selectedRows().size(), 1);
    EXPECT_EQ(table->selectionModel()->selectedRows().front().row(), 20);
    EXPECT_EQ(t.Packets.selectedRows(), std::vector<int>{20});
    EXPECT_EQ(model->index(model->rowCount() - 1, 2).data().toString(), "4");
}
