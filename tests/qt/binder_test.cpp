// The binder on a bare window: each kind of control gets its widget and its
// spoken name from what the control has, from a caption only where it has one.
#include <gtest/gtest.h>

#include <QWidget>
#include <functional>
#include <memory>

#include "platform/control.h"
#include "platform/form.h"
#include "platform/qt/form_view.h"

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
