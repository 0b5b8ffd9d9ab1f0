// What the status read and the identification need of the link: one
// inquiry out and its answer back, and the state of the read they serve.
#pragma once

#include "link/async.h"
#include "platform/serial_port.h"

namespace orbus::status {

struct StatusLink {
    virtual ~StatusLink() = default;
    // The driven camera's header byte (0x80 + its address).
    virtual int header() const = 0;
    // Sends one inquiry quietly and waits for an answer of `length` bytes
    // (the stand-in array when none came in time).
    virtual link::Async<Bytes> ask(Bytes packet, int length) = 0;
    // A status read is under way.
    virtual bool reading() const = 0;
    // A command to this camera overtook the read: answers are of no use.
    virtual bool overtaken() const = 0;
    // Another camera was chosen: the read ends at once.
    virtual bool abandoned() const = 0;
    // An inquiry gave up after its attempts; `code` names it.
    virtual void gaveUp(long code) = 0;
};

}  // namespace orbus::status
