// What the auxiliary windows share: their own send routine to the main
// window's port, reading hexadecimal boxes strictly, telling the operator
// which box is wrong, and their placement beside the main window.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "dialogs/packets.h"
#include "link/async.h"
#include "platform/serial_port.h"

namespace orbus {

class Form;
class TextBox;

namespace dialogs {

class Context;

// How a dialog's send routine treats the link and its log.
struct DialogEcho {
    TextBox* log = nullptr;  // the dialog's own log box, or none
    bool setsLink = true;    // modes 1 and 2 set the receive threshold and the echo switch
};

// The dialogs' send routine: writes one packet through the command
// interface, plainly (link::Pacing::Plain: not in the Command History), and
// never waits; replies arrive through the main window's receive path.
// Mode 1 sets the receive threshold to 1, mode 2 to 0, both set the echo
// switch (unless the dialog leaves the link alone). With the echo switch
// on, the packet is appended to the dialog's log, which keeps its last 1000
// characters, caret at the end. "OK" when written, "NG" when the port
// refused it or no camera can take it (the operator is told then).
std::string DialogSD(Context& ctx, const Bytes& packet, int mode, const DialogEcho& echo);

// Asks the driven camera (the one driven now, also when the answer comes
// later) with the dialog's send routine in mode 2, on its turn of the line,
// and waits without holding the window for an answer of `length` bytes
// (co_await it). What came in is shown in the response window without being
// classified (the dialog reads it here). The answer when it has its full
// length, the high bit in byte 0, 0x50 in byte 1 and FF at its end.
link::Async<std::optional<Bytes>> inquire(Context& ctx, Packet inquiry, int length, const DialogEcho& echo);

// Builds <header> <body> FF for the camera whose header is given; nothing
// when a value does not fit in a byte.
std::optional<Bytes> packetFor(int header, const std::vector<int>& body);
// The packet of a row of the dialogs' table for the driven camera, with
// `values` in its computed bytes; nothing when a value does not fit in a byte.
std::optional<Bytes> packetFor(Context& ctx, Packet packet, const std::vector<int>& values = {});

// A flag a routine keeps raised while it runs (a dialog reading the camera
// before it opens, a sequence of packets with pauses between them): lowered
// when the routine ends or is destroyed. The routine holds a Raised; the
// flag's storage is shared, so lowering it is safe also after the window
// that owns the flag has gone (the routines end with the main window, after
// the dialogs).
class RunFlag {
public:
    class Raised {
    public:
        explicit Raised(std::shared_ptr<bool> flag) : flag_(std::move(flag)) { *flag_ = true; }
        Raised(Raised&&) noexcept = default;
        Raised& operator=(Raised&&) = delete;
        ~Raised() {
            if (flag_) *flag_ = false;
        }

    private:
        std::shared_ptr<bool> flag_;
    };
    bool up() const { return *flag_; }
    Raised raise() const { return Raised(flag_); }

private:
    std::shared_ptr<bool> flag_ = std::make_shared<bool>(false);
};

// The hexadecimal digits of a box that must hold exactly `count` of them,
// one value 0..15 each; nothing when it holds fewer.
std::optional<std::vector<int>> hexDigits(const TextBox& box, int count);

// Appends the digits of a box that must hold exactly `count` hexadecimal
// digits to a packet body; otherwise tells the operator which box is wrong
// (by `name`) and returns false.
bool appendHexField(Context& ctx, std::vector<int>& body, const TextBox& box, int count, const std::string& name);

// One "Warning" message box naming what is wrong with the operator's input.
void warn(Context& ctx, const std::string& text);

// A modal dialog holds the refresh while it is open (and, with lockButton,
// the Auto/Stop button; with upkeep, the pan-tilt window's Timer2 too)...
void holdRefresh(Context& ctx, bool lockButton, bool upkeep);
// ...and gives it back on closing: the refresh runs again as the operator
// left it, the pan-tilt upkeep with it.
void giveTimersBack(Context& ctx);

// Places a dialog at an offset (twips) from the main window's top-left corner.
void placeBesideMain(Context& ctx, Form& dialog, double right, double down);

// Shows a dialog modally once `loaded` has read what it shows; when that
// read fails, or the program is ending by then, `giveUp` undoes what the
// opening began instead.
link::Async<void> showOnceLoaded(Context& ctx, Form& dialog, link::Async<bool> loaded, std::function<void()> giveUp);

}  // namespace dialogs
}  // namespace orbus
