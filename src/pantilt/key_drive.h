// Hold-to-move from the keyboard: which physical keys are held, the camera
// the drive started on, and the stops still owed to a camera. A released key
// stops the head only when no press of the same key follows at once (a
// keyboard's repeat arrives as release and press), a stop the line cannot
// take is owed and tried again every kRetry seconds while the line can take
// it (never while the port is gone), and a drive always ends at the camera
// that moved, whichever camera is driven by then.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <vector>

namespace orbus::pantilt {

class KeyDrive {
public:
    struct Hooks {
        // Sends drive `index` of the operator's-speed compass (0: stop) to
        // `camera`; false when the line refused it.
        std::function<bool(int camera, int index)> send;
        // Runs fn after `seconds`, between other events.
        std::function<void(double seconds, std::function<void()> fn)> post;
        // The line can take a packet now (the port is open).
        std::function<bool()> lineUp;
        // Monotonic seconds.
        std::function<double()> now;
    };

    // A release followed this soon by a press of the same key is the
    // keyboard repeating, not the operator letting go.
    static constexpr double kRepeatGap = 0.03;
    // A refused stop is tried again this often.
    static constexpr double kRetry = 0.05;

    explicit KeyDrive(Hooks hooks);
    ~KeyDrive();
    KeyDrive(const KeyDrive&) = delete;
    KeyDrive& operator=(const KeyDrive&) = delete;

    // A drive key went down: `key` names the physical key, `index` the drive
    // it stands for, `camera` the driven camera. A press that follows a
    // release of the same key within kRepeatGap is the keyboard repeating a
    // key still held, even when the drive has ended meanwhile (another
    // camera chosen, the keyboard gone to a menu and back): it drives nothing.
    void press(int key, int index, int camera, bool autoRepeat);
    // A key went up (`driveKey`: one that stands for a drive): true when it
    // belonged to the key drive.
    bool release(int key, bool autoRepeat, bool driveKey);
    // The window lost the keyboard or was hidden: stop now, forget the keys.
    void end();
    // Another camera is driven from now on, or the line went away: the
    // camera that moved is stopped (as soon as the line takes it); keys still
    // held drive nothing more until they are let go.
    void detach();

    // A key drive moves a head.
    bool driving() const;
    // The camera a stop is still owed to, each.
    const std::set<int>& owedStops() const { return owed_; }

private:
    struct Held {
        int key;
        int index;
        bool live;         // still drives: not ended by a camera change, a lost
                           // port or a release that matched no held key
        long release = 0;  // a release waits for its confirmation (its number)
    };
    Held* find(int key);
    void confirmRelease(int key, long number);
    void stop(int camera);
    void retry();
    void later(double seconds, std::function<void()> fn);

    Hooks hooks_;
    std::vector<Held> held_;  // in the order they went down
    int camera_ = 0;          // the camera the live keys drive
    std::set<int> owed_;
    std::map<int, double> released_;  // when each drive key was last let go
    bool retrying_ = false;
    long releases_ = 0;
    std::shared_ptr<char> alive_ = std::make_shared<char>();
};

}  // namespace orbus::pantilt
