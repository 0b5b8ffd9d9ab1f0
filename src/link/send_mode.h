// How SD treats a packet: its modes, shared by every window that sends.
#pragma once

namespace orbus::link {

// A packet of the link itself (interface clear, address set, status read):
// not logged as a command.
constexpr int kQuiet = 0;
// An operator's command: logged, and it pauses the refresh until it completes.
constexpr int kCommand = 1;
// An inquiry the operator asked for: logged like a command.
constexpr int kPolled = 2;
// A command that ends a motion: like kCommand (commands go out at once, in
// the middle of a status read too).
constexpr int kStop = 3;

}  // namespace orbus::link
