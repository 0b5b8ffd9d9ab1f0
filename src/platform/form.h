// A window of the panel: its controls in tab order, its caption, placement
// (twips) and visibility. The view layer mirrors a form into a top-level
// window; behaviour lives in the form's member functions (event handlers).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/control.h"

namespace orbus {

enum class WindowState { Normal, Minimized, Maximized };

enum class FormProp { Caption, Visible, Geometry, State, Icon, Raise, ToBack, Redraw, Host, Zoom };

// Keys a window can handle itself, beyond typing into a text box: the
// cursor keys, the navigation keys and digits; the numeric keypad's keys
// come as these with `keypad` set (Num Lock off gives the navigation keys,
// 5 gives Clear; Num Lock on gives the digits).
enum class Key { Other, Left, Up, Right, Down, Home, End, PageUp, PageDown, Clear, Digit, Backspace, Delete };

struct KeyEvent {
    Key key = Key::Other;
    int digit = -1;                  // Key::Digit: 0 to 9
    bool keypad = false;             // from the numeric keypad
    bool autoRepeat = false;         // repeated by the keyboard while the key is held
    int nativeKey = 0;               // the physical key (the system's scan code), 0 when unknown;
                                     // the same for a press and its release whatever the modifiers
    int ch = 0;                      // the character typed (Latin-1), 0 for none
    const Control* focus = nullptr;  // control with the keyboard focus; nullptr: the window itself
};

class Form {
public:
    using Observer = std::function<void(Form&, FormProp)>;

    Form(std::string name, std::string caption);
    virtual ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    const std::string& name() const { return name_; }
    const std::string& caption() const { return caption_; }
    void setCaption(std::string c);

    // Icon key drawn by the view ("orx-kappa", "orx-gamma", ...).
    const std::string& icon() const { return icon_; }
    void setIcon(std::string key);

    bool visible() const { return visible_; }
    void show();
    void hide();

    // Placement in twips, as the settings store keeps it.
    double left() const { return left_; }
    double top() const { return top_; }
    double width() const { return width_; }
    double height() const { return height_; }
    void move(double left, double top);
    void resize(double width, double height);
    void setHeight(double height) { resize(width_, height); }
    // The view reports where the operator put the window (no notification back).
    void placedByUser(double left, double top, double width, double height);

    WindowState windowState() const { return state_; }
    void setWindowState(WindowState s);
    void stateChangedByUser(WindowState s) { state_ = s; }

    // A window held inside another one: the host shows it within its own
    // area, under the host's own controls, instead of as a window of its
    // own. nullptr: a window of its own (placed by left and top).
    Form* host() const { return host_; }
    void holdIn(Form* host);
    // Where a held window sits in its host's area (twips of the host).
    double heldLeft() const { return heldLeft_; }
    double heldTop() const { return heldTop_; }
    void holdIn(Form* host, double left, double top);

    // How large the design's twips are drawn: 1 is full size; less brings a
    // window that would not fit into view, its text with it. The window's
    // place on the screen stays in full-size twips.
    double zoom() const { return zoom_; }
    void setZoom(double z);

    // Fixed-size dialogs versus resizable windows.
    bool resizable() const { return resizable_; }
    void setResizable(bool r) { resizable_ = r; }

    // Raise above other windows without taking the focus, or send to the back.
    void raiseWithoutFocus();
    void sendToBack();
    // Asks the view to repaint now (progress windows during blocking work).
    void redraw();

    const std::vector<Control*>& controls() const { return controls_; }
    Control* find(const std::string& objectName) const;
    std::vector<MenuItem*> topMenus() const;

    // Keys pressed and released while the window is active. A handler that
    // returns true has used the key; otherwise it goes on to the control
    // with the focus.
    std::function<bool(const KeyEvent&)> onKeyDown, onKeyUp;
    bool keyDown(const KeyEvent& e);
    bool keyUp(const KeyEvent& e);
    // The window stopped being the active one (another window took the keyboard).
    std::function<void()> onDeactivate;
    void deactivated();
    // The window is being hidden (closed, unloaded or hidden by code).
    std::function<void()> onHide;

    // Unloading the window: by code, or by the operator's title-bar button.
    // Runs the form's Form_Unload handler; without one the window just hides.
    std::function<void()> onUnload;
    void unload();

    void setObserver(Observer o) { observer_ = std::move(o); }

    // Registration hook used by Control's constructor.
    void registerControl(Control* c);
    void unregisterControl(Control* c);

    // Moves c to the end of the tab order, followed by what it contains
    // (frames within frames included): row by row from the top, left to right
    // within a row. Elements of control arrays are registered when they are
    // added, after the window's other controls; this puts them back with
    // their frame. A container always precedes its contents.
    void appendToTabOrder(Control& c);
    // The same for each control in turn, in one pass over the form (for
    // controls none of which holds another, as a window's groups).
    void appendToTabOrder(const std::vector<Control*>& controls);

protected:
    void changed(FormProp p);
    // Runs a window event handler; nothing thrown by it leaves.
    void safely(const std::function<void()>& handler) const;

private:
    std::string name_;
    std::string caption_;
    std::string icon_;
    bool visible_ = false;
    bool resizable_ = false;
    double left_ = 0, top_ = 0, width_ = 6000, height_ = 4000;
    WindowState state_ = WindowState::Normal;
    Form* host_ = nullptr;
    double heldLeft_ = -1, heldTop_ = -1;  // -1: under the host's lowest control
    double zoom_ = 1.0;
    std::vector<Control*> controls_;
    Observer observer_;
};

}  // namespace orbus
