#include "app/window_arrangement.h"

#include <algorithm>
#include <limits>

namespace orbus::arrangement {

namespace {

struct Column {
    int design = 0;           // the design's column it started as
    std::vector<int> blocks;  // indexes into the input, top to bottom
    double height = 0;        // stacked height, gaps included
};

double stacked(const Input& in, const std::vector<int>& blocks) {
    double h = 0;
    for (std::size_t i = 0; i < blocks.size(); ++i) h += (i ? kFrameGap : 0) + in.blocks[blocks[i]].height;
    return h;
}

// The design's columns, closed up around hidden groups; where a column is
// taller than `limit`, its lowest groups move to the bottom of another
// column with room (to the right first), or to a new column at the right.
std::vector<Column> columns(const Input& in, double limit) {
    std::vector<Column> cols;
    for (int i = 0; i < static_cast<int>(in.blocks.size()); ++i) {
        const int c = in.blocks[i].column;
        if (cols.empty() || cols.back().design != c) cols.push_back({c, {}, 0});
        cols.back().blocks.push_back(i);
    }
    std::vector<int> overflow;
    for (Column& c : cols) {
        std::vector<int> moved;
        while (c.blocks.size() > 1 && stacked(in, c.blocks) > limit) {
            moved.insert(moved.begin(), c.blocks.back());
            c.blocks.pop_back();
        }
        overflow.insert(overflow.end(), moved.begin(), moved.end());
    }
    for (Column& c : cols) c.height = stacked(in, c.blocks);
    for (int b : overflow) {
        const double h = in.blocks[b].height;
        std::size_t origin = 0;
        while (origin + 1 < cols.size() && cols[origin].design < in.blocks[b].column) ++origin;
        std::vector<std::size_t> order;
        for (std::size_t i = origin + 1; i < cols.size(); ++i) order.push_back(i);
        for (std::size_t i = origin; i-- > 0;) order.push_back(i);
        bool placed = false;
        for (std::size_t i : order) {
            Column& c = cols[i];
            if (c.height + kFrameGap + h <= limit) {
                c.blocks.push_back(b);
                c.height += kFrameGap + h;
                placed = true;
                break;
            }
        }
        if (!placed) cols.push_back({in.blocks[b].column, {b}, h});
    }
    return cols;
}

enum class Shape { Beside, RightColumn, RightOfLogs };

// The window's arrangement at zoom z with the guest (if any) placed as `shape`
// says: filled in, and whether it fits the screen.
bool tryArrangement(const Input& in, double z, Shape shape, Result& r) {
    const bool screen = in.screenWidth > 0 && in.screenHeight > 0;
    const double inf = std::numeric_limits<double>::infinity();
    const double clientAvail =
        screen ? (in.screenHeight - kTitleBar - kFrameBorder) / z - kMenuBar : inf;
    const double limit = clientAvail - kTop - kBottomMargin - kStatusLine;
    if (limit <= 0) return false;
    const std::vector<Column> cols = columns(in, limit);

    r = Result{};
    r.zoom = z;
    r.blocks.resize(in.blocks.size());
    double colsBottom = kTop, colsRight = kMargin - (kColumnPitch - kColumnWidth);
    for (std::size_t i = 0; i < cols.size(); ++i) {
        const double x = kMargin + static_cast<double>(i) * kColumnPitch;
        double y = kTop;
        for (int b : cols[i].blocks) {
            r.blocks[b] = {x, y};
            y += in.blocks[b].height + kFrameGap;
        }
        colsBottom = std::max(colsBottom, kTop + cols[i].height);
        colsRight = x + kColumnWidth;
    }
    const double logLeft = colsRight + kMargin;
    double bodyBottom = std::max(colsBottom, kTop + kLogMinHeight);
    double right = logLeft + kLogWidth;
    r.logLeft = logLeft;
    r.logTop = kTop;
    r.logWidth = kLogWidth;
    if (in.hasGuest && shape == Shape::RightColumn) {
        // Beside the status row where it ends in time, else under it; the
        // log column under the guest.
        r.guestPlace = GuestPlace::Held;
        const bool besideRow = in.statusRowRight + kMargin <= logLeft + kColumnPitch / 2;
        r.guestLeft = besideRow ? std::max(logLeft, in.statusRowRight + kMargin) : logLeft;
        r.guestTop = besideRow ? kMargin / 2 : kTop;
        r.logLeft = r.guestLeft;
        r.logTop = r.guestTop + in.guest.height + kFrameGap;
        bodyBottom = std::max(bodyBottom, r.logTop + kLogMinHeight);
        r.logWidth = std::max(kLogWidth, in.guest.width);
        right = r.guestLeft + r.logWidth;
    } else if (in.hasGuest && shape == Shape::RightOfLogs) {
        r.guestPlace = GuestPlace::Held;
        r.guestLeft = logLeft + kLogWidth + kMargin;
        r.guestTop = kTop;
        bodyBottom = std::max(bodyBottom, kTop + in.guest.height);
        right = r.guestLeft + in.guest.width;
    } else if (in.hasGuest) {
        r.guestPlace = GuestPlace::Below;
    }
    r.logHeight = bodyBottom - r.logTop;
    r.statusLineTop = bodyBottom + kBottomMargin;
    r.clientWidth = right + kMargin;
    r.clientHeight = r.statusLineTop + kStatusLine;
    r.outerWidth = r.clientWidth * z + 2 * kFrameBorder;
    r.outerHeight = (r.clientHeight + kMenuBar) * z + kTitleBar + kFrameBorder;
    // A window of its own below: its title bar and frame come around it as
    // around the main window.
    if (r.guestPlace == GuestPlace::Below) {
        r.guestOuterWidth = in.guest.width * z + 2 * kFrameBorder;
        r.guestOuterHeight = in.guest.height * z + kTitleBar + kFrameBorder;
    }
    if (!screen) return true;
    return std::max(r.outerWidth, r.guestOuterWidth) <= in.screenWidth &&
           r.outerHeight + r.guestOuterHeight <= in.screenHeight;
}

}  // namespace

Result arrange(const Input& in) {
    Result r;
    const Shape shapes[] = {Shape::Beside, Shape::RightColumn, Shape::RightOfLogs};
    const int nShapes = in.hasGuest ? 3 : 1;
    for (double z = 1.0; z >= kMinZoom - 1e-9; z -= 0.025) {
        for (int s = 0; s < nShapes; ++s) {
            if (tryArrangement(in, z, shapes[s], r)) return r;
        }
    }
    // Nothing fits even at the smallest zoom: the most compact shape there.
    if (!tryArrangement(in, kMinZoom, in.hasGuest ? Shape::RightColumn : Shape::Beside, r)) {
        Input unknown = in;
        unknown.screenWidth = unknown.screenHeight = 0;
        tryArrangement(unknown, kMinZoom, in.hasGuest ? Shape::RightColumn : Shape::Beside, r);
    }
    return r;
}

Result::Spot releasedPlace(const Box& main, double guestWidth, double guestHeight, const Box& logs, const Box& screen) {
    if (screen.width <= 0 || screen.height <= 0) return {main.right(), main.top};
    // Kept whole on the screen where it is larger than the room left.
    const auto onScreen = [&](double left, double top) -> Result::Spot {
        return {std::clamp(left, screen.left, std::max(screen.left, screen.right() - guestWidth)),
                std::clamp(top, screen.top, std::max(screen.top, screen.bottom() - guestHeight))};
    };
    if (screen.right() - main.right() >= guestWidth) return onScreen(main.right(), main.top);
    if (main.left - screen.left >= guestWidth) return onScreen(main.left - guestWidth, main.top);
    if (screen.bottom() - main.bottom() >= guestHeight) return onScreen(main.left, main.bottom());
    if (main.top - screen.top >= guestHeight) return onScreen(main.left, main.top - guestHeight);
    return onScreen(std::max(main.left, logs.right() - guestWidth), logs.top);
}

double fitZoom(double width, double height, double screenWidth, double screenHeight) {
    if (screenWidth <= 0 || screenHeight <= 0 || width <= 0 || height <= 0) return 1.0;
    return std::min({1.0, screenWidth / width, screenHeight / height});
}

}  // namespace orbus::arrangement
