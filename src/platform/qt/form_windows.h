// The windows of the forms: a main window for a form with menus, a dialog
// for the others. The form decides what closing, moving and resizing do.
#pragma once

#include <QCloseEvent>
#include <QDialog>
#include <QMainWindow>

#include "platform/qt/form_view.h"

namespace orbus::qt {

template <class Base>
class FormWindow : public Base {
public:
    explicit FormWindow(FormView* v) : view_(v) {}

protected:
    void closeEvent(QCloseEvent* e) override {
        // The form decides: its unload handler hides or keeps the window.
        e->ignore();
        view_->closeRequested();
    }
    void moveEvent(QMoveEvent* e) override {
        Base::moveEvent(e);
        view_->geometryChangedByUser();
    }
    void resizeEvent(QResizeEvent* e) override {
        Base::resizeEvent(e);
        view_->geometryChangedByUser();
    }
    void changeEvent(QEvent* e) override {
        Base::changeEvent(e);
        if (e->type() == QEvent::WindowStateChange) view_->stateChangedByUser();
    }
    FormView* view_;
};

class MainWin : public FormWindow<QMainWindow> {
public:
    using FormWindow::FormWindow;
};

class DialogWin : public FormWindow<QDialog> {
public:
    using FormWindow::FormWindow;

protected:
    void reject() override { view_->closeRequested(); }
};

}  // namespace orbus::qt
