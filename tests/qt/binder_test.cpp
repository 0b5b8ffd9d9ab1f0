// The binder on a bare window: each kind of control gets its widget and its
// spoken name from what the control has, from a caption only where it has one.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFont>
#include <QScrollBar>
#include <QTableView>
#include <QWidget>
#include <functional>
#include <memory>

#include "platform/control.h"
#include "platform/form.h"
#include "platform/qt/form_view.h"
#include "platform/table.h"

using namespace orbus;

namespace {

struct Row {
    const char* what;
    // Makes the control, with the state its kind has on the panel's windows.
    std::function<std::unique_ptr<Control>(Form&, TextBox& box)> make;
    // The widget's spoken name while the control has no name of its own.
    const char* unnamed;
};

}  // namespace

TEST(Binder, WidgetsAreNamedFromACaptionOnlyWhereTheControlHasOne) {
    const Row rows[] = {
        {"button", [](Form& f, TextBox&) { return std::make_unique<Button>(f, "Go", "&Send"); }, "Send"},
        {"check box", [](Form& f, TextBox&) { return std::make_unique<CheckBox>(f, "Hold", "Ho&ld"); }, "Hold"},
        {"combo box with items",
         [](Form& f, TextBox&) {
             auto c = std::make_unique<ComboBox>(f, "Speed");
             for (const char* item : {"Slow", "Medium", "Fast"}) c->addItem(item);
             return c;
         },
         ""},
        {"spin arrows of a box",
         [](Form& f, TextBox& box) { return std::make_unique<UpDown>(f, "Arrows", &box, 0, 24); }, ""},
        {"slider", [](Form& f, TextBox&) { return std::make_unique<Slider>(f, "Zoom", -7, 7); }, ""},
        {"progress bar", [](Form& f, TextBox&) { return std::make_unique<ProgressBar>(f, "Busy", 0, 100); }, ""},
        {"text box with a caret handler",
         [](Form& f, TextBox&) {
             auto t = std::make_unique<TextBox>(f, "Log", "90 50 FF");
             t->onCaretMove = [] {};
             return t;
         },
         ""},
        {"picture with a click handler",
         [](Form& f, TextBox&) {
             auto p = std::make_unique<Picture>(f, "Grid");
             p->onClick = [] {};
             return p;
         },
         ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        Form form("Bare", "Bare");
        TextBox box(form, "Box");
        box.setAccessibleName("Pan Speed");
        const std::unique_ptr<Control> control = row.make(form, box);
        qt::FormView view(form);
        QWidget* widget = view.widgetFor(control.get());
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->accessibleName(), row.unnamed);
        control->setAccessibleName("Given Name");
        EXPECT_EQ(widget->accessibleName(), "Given Name");
    }
}

// Where a table's view stands as rows come: a list that follows new rows
// stays at its end only while the operator is there; any other table shows
// its first row, however its rows arrived.
TEST(Binder, TablesOpenAtTheirFirstRowAndOnlyALogFollowsItsEnd) {
    enum class Fill { Reset, Appends, AppendsAfterScrollUp };
    const struct {
        const char* what;
        bool follows;
        Fill fill;
        bool atEnd;  // the view stands at its last row afterwards
    } rows[] = {
        {"a comparison filled at once", false, Fill::Reset, false},
        {"a comparison filled row by row", false, Fill::Appends, false},
        {"a log from empty", true, Fill::Appends, true},
        {"a log filled at once", true, Fill::Reset, true},
        {"a log the operator scrolled up in", true, Fill::AppendsAfterScrollUp, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        Form form("Bare", "Bare");
        Table table(form, "Rows", {{"Setting", 2000}, {"Differs", 1000}});
        table.followsNewRows = row.follows;
        table.cellText = [](int r, int c) { return std::to_string(r) + ":" + std::to_string(c); };
        table.placeIn(nullptr, 0, 0, 4000, 1500);  // a few rows high
        qt::FormView view(form);
        auto* v = qobject_cast<QTableView*>(view.widgetFor(&table));
        ASSERT_NE(v, nullptr);
        v->resize(300, 120);
        v->show();
        QScrollBar* bar = v->verticalScrollBar();
        switch (row.fill) {
        case Fill::Reset: table.resetRows(40); break;
        case Fill::Appends:
            for (int i = 0; i < 40; ++i) table.appendRows(1);
            break;
        case Fill::AppendsAfterScrollUp:
            table.appendRows(30);
            QApplication::processEvents();
            bar->setValue(0);
            for (int i = 0; i < 10; ++i) table.appendRows(1);
            break;
        }
        QApplication::processEvents();
        ASSERT_GT(bar->maximum(), 0);
        EXPECT_EQ(bar->value() == bar->maximum(), row.atEnd) << bar->value() << " of " << bar->maximum();
        if (!row.atEnd && row.fill != Fill::AppendsAfterScrollUp) {
            EXPECT_EQ(bar->value(), 0);
        }
    }
}

// A marked row (a difference) stands out: colour and bold on every cell, and
// its first cell tells a screen reader what it is; other rows are plain.
TEST(Binder, MarkedRowsStandOutOnScreenAndToAssistiveTechnology) {
    Form form("Bare", "Bare");
    Table table(form, "Rows", {{"Setting", 2000}, {"Differs", 1000}});
    table.cellText = [](int r, int c) { return c == 0 ? "setting " + std::to_string(r) : std::string(r == 1 ? "yes" : "no"); };
    table.markWords = "differs";
    table.rowMarked = [](int r) { return r == 1; };
    qt::FormView view(form);
    auto* v = qobject_cast<QTableView*>(view.widgetFor(&table));
    ASSERT_NE(v, nullptr);
    table.resetRows(3);
    const QAbstractItemModel* m = v->model();
    for (int r = 0; r < 3; ++r) {
        SCOPED_TRACE(r);
        const bool marked = r == 1;
        for (int c = 0; c < 2; ++c) {
            EXPECT_EQ(m->index(r, c).data(Qt::BackgroundRole).isValid(), marked);
            EXPECT_EQ(m->index(r, c).data(Qt::FontRole).value<QFont>().bold(), marked);
        }
        const QString spoken = m->index(r, 0).data(Qt::AccessibleTextRole).toString();
        EXPECT_EQ(spoken, marked ? "setting 1, differs" : "") << spoken.toStdString();
        EXPECT_EQ(m->index(r, 0).data().toString(), QString::fromStdString("setting " + std::to_string(r)));
    }
}
