// Mouse clicks on option buttons and check boxes: a click anywhere in an
// option button's rectangle reaches the form, caption or none.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionButton>
#include <QWidget>
#include <functional>
#include <memory>

#include "platform/control.h"
#include "platform/form.h"
#include "platform/qt/form_view.h"

using namespace orbus;

namespace {

void mouseClick(QWidget* w, QPoint at) {
    const QPointF local(at), global(w->mapToGlobal(at));
    QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &release);
}

// The round indicator (or the box) as the style draws it.
QRect indicator(QWidget* w, QStyle::SubElement element) {
    QStyleOptionButton option;
    option.initFrom(w);
    return w->style()->subElementRect(element, &option, w);
}

}  // namespace

TEST(OptionClick, AClickInTheRectangleReachesTheForm) {
    const struct {
        const char* what;
        bool option;          // an option button, else a check box
        const char* caption;  // empty: none, as the Memory and Preset dots
        int width, height;
        bool besideIndicator;  // the click lands right of the indicator, not on it
    } rows[] = {
        {"caption-less option, beside the dot", true, "", 33, 17, true},
        {"caption-less option, on the dot", true, "", 33, 17, false},
        {"captioned option, on its caption", true, "&Manual", 120, 17, true},
        {"captioned option, on the dot", true, "&Manual", 120, 17, false},
        {"check box, on its caption", false, "Ho&ld", 120, 17, true},
        {"check box, on the box", false, "Ho&ld", 120, 17, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        Form form("Bare", "Bare");
        int clicks = 0;
        std::unique_ptr<Control> control;
        if (row.option) {
            auto o = std::make_unique<OptionButton>(form, "Dot", row.caption);
            o->onClick = [&] { ++clicks; };
            control = std::move(o);
        } else {
            auto c = std::make_unique<CheckBox>(form, "Hold", row.caption);
            c->onClick = [&] { ++clicks; };
            control = std::move(c);
        }
        qt::FormView view(form);
        QWidget* w = view.widgetFor(control.get());
        ASSERT_NE(w, nullptr);
        w->resize(row.width, row.height);
        const QRect dot =
            indicator(w, row.option ? QStyle::SE_RadioButtonIndicator : QStyle::SE_CheckBoxIndicator);
        const QPoint at = row.besideIndicator ? QPoint(dot.right() + 9, row.height / 2) : dot.center();
        ASSERT_TRUE(w->rect().contains(at));
        ASSERT_EQ(dot.contains(at), !row.besideIndicator);
        mouseClick(w, at);
        EXPECT_EQ(clicks, 1);
    }
}
