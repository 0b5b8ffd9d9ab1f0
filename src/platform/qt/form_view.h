// The Qt view of the forms: one top-level window per form, one widget (or
// menu action) per control, bound by name. Property changes of a control
// update its widget; the operator's input on a widget raises the control's
// events. The forms never see Qt.
#pragma once

#include <cmath>
#include <QObject>
#include <QPointer>
#include <QFont>
#include <QPointF>
#include <QWidget>
#include <map>
#include <memory>
#include <vector>

#include "platform/control.h"
#include "platform/form.h"
#include "platform/qt/images.h"

class QMenu;

namespace orbus::qt {

// Twips of the window design per screen pixel.
constexpr double kTwipsPerPixel = 9.0;
inline int px(double twips) { return static_cast<int>(std::lround(twips / kTwipsPerPixel)); }
inline double twips(int pixels) { return pixels * kTwipsPerPixel; }

class ViewSet;

class FormView : public QObject {
    Q_OBJECT
public:
    explicit FormView(Form& form, ViewSet* set = nullptr);
    ~FormView() override;

    Form& form() const { return form_; }
    QWidget* window() const { return window_; }
    // The widget or action standing for a control (nullptr for timers).
    QObject* objectFor(const Control* c) const;
    QWidget* widgetFor(const Control* c) const;

    // Called by the window on the operator's actions.
    void closeRequested();
    void geometryChangedByUser();
    void stateChangedByUser();

    // For the bindings of the controls. While the view applies the form's
    // changes, the widgets' signals are no operator's doing.
    bool applying() const { return applying_; }
    // Changes widgets as the form's own doing: no control hears of it.
    template <class Change>
    void quietly(Change&& change) {
        const bool was = applying_;
        applying_ = true;
        change();
        applying_ = was;
    }
    // A typed key has been through the box's key filter and is going in.
    bool typing() const { return typing_; }
    void setTyping(bool on) { typing_ = on; }
    void syncTabOrder();
    // Pixels of a length in the form's twips, at the form's zoom.
    int zpx(double twips) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build();
    void buildMenus();
    void applyControl(Control& c, Prop p);
    void applyAll(Control& c);
    void applyForm(FormProp p);
    void placeControl(Control& c);
    QWidget* parentFor(Control& c);
    QSize decorations() const;
    // The control a widget belongs to (itself or the nearest parent that is one).
    const Control* controlOf(QWidget* w) const;
    // Offers a key event to the form; true when the form used it.
    bool formKey(QObject* watched, QEvent* event);
    // The widget belongs to this window (and not to a window held in it).
    bool owns(const QWidget* w) const;
    // Held inside the host form's window, or a window of its own again.
    void followHost();
    void holdGuest(FormView* guest);
    void releaseGuest(FormView* guest);
    // Places held windows under this window's own controls and sizes the
    // scrolled area to hold them all.
    void arrangeGuests();
    // Right and bottom edge (twips) of the window's own visible controls.
    QPointF contentExtent() const;
    // The scrolled area's size for this window's own visible controls.
    void measureCanvas();
    // Draws the window at the form's zoom: places, sizes and text.
    void applyZoom();
    // A dialog larger than the screen is drawn smaller until it fits.
    void fitScreen();

    Form& form_;
    ViewSet* set_ = nullptr;
    QWidget* window_ = nullptr;
    QWidget* canvas_ = nullptr;
    // The size of the scrolled area with this window's own controls alone.
    QSize canvasOwn_;
    QFont baseFont_;
    FormView* host_ = nullptr;
    Qt::WindowFlags ownFlags_;
    std::vector<FormView*> guests_;
    std::map<const Control*, QObject*> objects_;
    std::map<QObject*, Control*> byObject_;
    std::map<const MenuItem*, QMenu*> menus_;
    bool applying_ = false;
    bool typing_ = false;
    bool shownOnce_ = false;
    mutable QSize lastDecorations_{0, 0};
};

// Views of all forms of the program.
class ViewSet {
public:
    explicit ViewSet(const std::vector<Form*>& forms);
    ~ViewSet();
    FormView* viewOf(const Form& f) const;
    QWidget* windowOf(const Form& f) const;
    QWidget* mainWindow() const;
    const std::vector<std::unique_ptr<FormView>>& views() const { return views_; }

private:
    std::vector<std::unique_ptr<FormView>> views_;
};

}  // namespace orbus::qt
