// Where the main window's groups go on a given screen: the columns of
// frames (closed up around what the camera's layout hides), the log column
// at their right, the docked pan-tilt window and the zoom that brings all of
// it into view. Plain geometry in twips of the window design, no window code.
#pragma once

#include <vector>

namespace orbus::arrangement {

// One group that moves as a whole: a frame, or loose controls that belong
// together. `column` is its column in the window as designed (0 = left).
struct Block {
    int column = 0;
    double width = 0, height = 0;
};

// The docked pan-tilt window, when it is open and docked.
struct Guest {
    double width = 0, height = 0;
};

struct Input {
    std::vector<Block> blocks;  // visible groups, column by column, top to bottom
    bool hasGuest = false;
    Guest guest;
    // Right edge of the status row across the top: a guest beside it may
    // start above the columns.
    double statusRowRight = 0;
    // The screen's free area in twips at the design's scale; 0: unknown (the
    // design's arrangement at full size).
    double screenWidth = 0, screenHeight = 0;
};

// How the docked pan-tilt window sits.
enum class GuestPlace {
    None,        // no docked window
    Below,       // a window of its own under the main window (the design's place)
    Held,        // held inside the main window, at `guestLeft`, `guestTop`
};

struct Result {
    double zoom = 1.0;  // screen size of the design's twips: 1 is full size
    struct Spot {
        double left = 0, top = 0;
    };
    std::vector<Spot> blocks;  // per input block
    double logLeft = 0, logTop = 0, logWidth = 0, logHeight = 0;
    GuestPlace guestPlace = GuestPlace::None;
    double guestLeft = 0, guestTop = 0;
    // The window below, its title bar and frame included (Below only): the
    // screen holds it under the main window's outer size.
    double guestOuterWidth = 0, guestOuterHeight = 0;
    double statusLineTop = 0;
    double clientWidth = 0, clientHeight = 0;  // the window's area under its menu bar
    double outerWidth = 0, outerHeight = 0;    // the window as placed: frame, title and menu bar included
};

// Fixed measures of the window (twips of the design).
inline constexpr double kTop = 720;          // the status row above the columns
inline constexpr double kMargin = 120;       // left edge and the gap before the log column
inline constexpr double kColumnWidth = 2960;
inline constexpr double kColumnPitch = 3020;
inline constexpr double kFrameGap = 120;     // between groups of a column
inline constexpr double kLogWidth = 2535;
inline constexpr double kLogMinHeight = 3200;
inline constexpr double kStatusLine = 330;   // the status line along the bottom
inline constexpr double kBottomMargin = 60;
// The window's decorations: the title bar and frame keep their size at any
// zoom, the menu bar follows the zoom.
inline constexpr double kTitleBar = 360, kFrameBorder = 60;
inline constexpr double kMenuBar = 300;
inline constexpr double kMinZoom = 0.5;

Result arrange(const Input& in);

// The zoom at which a window of the given outer size fits the screen (1 when
// it fits as it is, or the screen is unknown).
double fitZoom(double width, double height, double screenWidth, double screenHeight);

// A rectangle on the screen, in twips.
struct Box {
    double left = 0, top = 0, width = 0, height = 0;
    double right() const { return left + width; }
    double bottom() const { return top + height; }
};

// Where the released pan-tilt window opens (its outer top-left corner): where
// it covers the fewest of the main window's controls. Beside the main window
// where the screen has room (right, then left), else below or above it,
// else over the log column (right-aligned with it, its top at the logs'
// top), always whole on the screen. `main` and `guest` are outer
// sizes, `logs` the log column on the screen; an empty `screen` is unknown:
// right beside the main window.
Result::Spot releasedPlace(const Box& main, double guestWidth, double guestHeight, const Box& logs, const Box& screen);

}  // namespace orbus::arrangement
