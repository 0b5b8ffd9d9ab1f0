// How a camera ended one command the panel awaited.
#pragma once

namespace orbus::link {

enum class CommandEnd {
    Completed,
    NotExecutable,  // the camera cannot carry it out now (y0 61 41 FF)
    SyntaxError,    // the camera does not know it (y0 60 02 FF)
    BufferFull,     // no free socket (y0 60 03 FF), still after the retries
    NoReply,        // no completion within the time limit
    NotSent,        // the port did not take it, or nothing can go out now
};

// "completed", "not executable now", "not known to the camera",
// "buffer full", "no completion", "not sent".
const char* commandEndText(CommandEnd end);

}  // namespace orbus::link
