// Message boxes and the window system's event handling as the forms need them.
#pragma once

#include <functional>
#include <string>

namespace orbus {

class Form;

enum class MsgIcon { None, Critical, Question, Exclamation, Information };
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MsgAnswer { Ok, Cancel, Yes, No };

struct Message {
    MsgIcon icon = MsgIcon::None;
    std::string title;
    std::string text;
    MsgButtons buttons = MsgButtons::Ok;
    bool foreground = false;
};

// The part of the screen that windows may use (the task bars left out), in
// twips of the window design.
struct ScreenArea {
    double left = 0, top = 0, width = 0, height = 0;
    double right() const { return left + width; }
    double bottom() const { return top + height; }
};

class WindowSystem {
public:
    virtual ~WindowSystem() = default;

    // Where the main window can be placed.
    virtual ScreenArea screenArea() const = 0;

    // Shows a message box and waits for the operator's answer.
    virtual MsgAnswer message(const Message& m) = 0;

    // Shows a form modally: the other windows take no input until it is
    // hidden. Callers do nothing after it; whether it returns at once (the
    // desktop) or once the form is hidden (scripted tests) is the window
    // system's.
    virtual void runModal(Form& form) = 0;

    // Keeps handling events (operator input, timers, serial events) until
    // the condition holds or the program ends; false when the program ended.
    virtual bool waitUntil(const std::function<bool()>& condition) = 0;
    // Like waitUntil, for a dialog that reads the camera as it opens: the
    // window keeps handling events, and a scripted operator (tests) does
    // not act meanwhile.
    virtual bool eventsUntil(const std::function<bool()>& condition) { return waitUntil(condition); }

    // Puts text on the clipboard.
    virtual void setClipboardText(const std::string& text) { (void)text; }
    // Asks the operator where to save a file, offering `suggested`; `filter`
    // lists the kinds ("Text (*.txt);;CSV (*.csv)"). Empty: cancelled.
    virtual std::string saveFileName(const std::string& title, const std::string& suggested,
                                     const std::string& filter) {
        (void)title, (void)suggested, (void)filter;
        return {};
    }

    // Asks the operator which existing file to open; `filter` as for
    // saveFileName. Empty: cancelled.
    virtual std::string openFileName(const std::string& title, const std::string& filter) {
        (void)title, (void)filter;
        return {};
    }

    // Ends the program; waits in progress return.
    virtual void endProgram() = 0;
    virtual bool ending() const = 0;
};

}  // namespace orbus
