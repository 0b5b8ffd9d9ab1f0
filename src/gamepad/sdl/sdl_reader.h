// The machine's game controllers, read through SDL's game-controller API
// and handed to the stick drive as plain events. Events are allowed while
// the panel has not the keyboard. poll() never blocks: the window's thread
// calls it at most every kPollSeconds.
#pragma once

#include <map>
#include <string>

namespace orbus::gamepad {

class StickDrive;

class SdlReader {
public:
    static constexpr double kPollSeconds = 0.010;

    // Starts SDL's controller subsystem; controllers plugged in already are
    // reported by the first poll().
    explicit SdlReader(StickDrive& drive);
    ~SdlReader();
    SdlReader(const SdlReader&) = delete;
    SdlReader& operator=(const SdlReader&) = delete;

    // SDL's controller subsystem runs (otherwise error() says why).
    bool ready() const { return ready_; }
    const std::string& error() const { return error_; }

    // Hands every controller event queued since the last call to the drive,
    // then ticks it.
    void poll();

    // A stick's raw reading (-32768 to 32767) as -1 to 1; a trigger's (0 to
    // 32767) as 0 to 1.
    static double stickValue(int raw);
    static double triggerValue(int raw);

private:
    void opened(int deviceIndex);
    void closed(int instance);

    StickDrive& drive_;
    bool ready_ = false;
    std::string error_;
    std::map<int, void*> open_;  // instance id -> SDL_GameController*
};

}  // namespace orbus::gamepad
