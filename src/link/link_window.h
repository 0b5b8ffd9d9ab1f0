// What the camera link needs from the window it serves: the two traffic
// logs, the refresh buttons, the preset option buttons and the status
// read's hook. The main window implements it.
#pragma once

#include "platform/control.h"

namespace orbus::link {

struct LinkWindow {
    virtual ~LinkWindow() = default;
    // The Command History (sent packets) and the response log (received
    // bytes, read back to classify the last reply).
    virtual TextBox& commandHistory() = 0;
    virtual TextBox& responseLog() = 0;
    // The serial port the operator chose ("Com n" in messages).
    virtual int portNumber() const = 0;
    // Shows the refresh owner's state on the Auto/Stop and "Refresh Once"
    // buttons.
    virtual void drawRefresh() = 0;
    // A command went to a camera (0 when unknown).
    virtual void commandWentOut(int camera) = 0;
    // A memory-preset operation ended: its lit option button goes dark; or
    // every preset option button does (one whose completion never came).
    virtual void clearPresetHighlight(int op, int no) = 0;
    virtual void clearPresetHighlights() = 0;
    // Something the link's state is shown from changed: a packet went out
    // or came in, the port went away or came back.
    virtual void linkChanged() {}
};

}  // namespace orbus::link
