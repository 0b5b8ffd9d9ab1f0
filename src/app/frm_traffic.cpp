#include "app/frm_traffic.h"

#include <algorithm>
#include <filesystem>

#include "app/program.h"
#include "dialogs/dialog_link.h"

namespace orbus {

namespace {

// The window's geometry, in twips: its first size (it fits a 1280 x 720
// screen with room for the frame), the margins and the row of controls.
constexpr double kWidth = 12000;
constexpr double kHeight = 5400;
constexpr double kMinWidth = 6600;
constexpr double kMinHeight = 2400;
constexpr int kMargin = 120;
constexpr int kBarHeight = 330;
constexpr int kButtonWidth = 1100;

const std::vector<Table::Column> kColumns = {
    {"Time (ms)", 1000}, {"Clock", 1300},   {"Camera", 700},   {"Direction", 900},
    {"Bytes", 2500},     {"Meaning", 3500}, {"Source", 2300},
};

}  // namespace

FrmTraffic::FrmTraffic(Program& program)
    : Form("FrmTraffic", "Traffic"), Packets(*this, "Packets", kColumns), prog_(program) {
    setResizable(true);
    resize(kWidth, kHeight);
    CboCamera.addItem("All cameras");
    for (int c = 1; c <= 7; ++c) CboCamera.addItem("Camera " + std::to_string(c));
    CboCamera.setListIndex(0);
    CboCamera.setAccessibleName("Camera");
    Packets.setAccessibleName("Packets");
    Packets.followsNewRows = true;
    CmdCopy.setToolTip("Copies the selected rows, or every row shown when none is selected");
    CmdSave.setToolTip("Saves the rows shown as a text or CSV file");
    Packets.cellText = [this](int row, int column) { return cellText(row, column); };
    for (Control* c : std::initializer_list<Control*>{&LblCamera, &CboCamera, &ChkErrors, &LblCount, &Packets,
                                                      &CmdCopy, &CmdSave, &CmdClose})
        appendToTabOrder(*c);
    arrange();
    CboCamera.onClick = [this] { CboCamera_Click(); };
    ChkErrors.onClick = [this] { ChkErrors_Click(); };
    CmdCopy.onClick = [this] { CmdCopy_Click(); };
    CmdSave.onClick = [this] { CmdSave_Click(); };
    CmdClose.onClick = [this] { CmdClose_Click(); };
    Timer1.onTick = [this] { Timer1_Timer(); };
    onUnload = [this] { Form_Unload(); };
    onHide = [this] { Timer1.setEnabled(false); };
}

void FrmTraffic::arrange() {
    const double w = std::max(width(), kMinWidth);
    const double h = std::max(height(), kMinHeight);
    arrangedWidth_ = width();
    arrangedHeight_ = height();
    const int inner = static_cast<int>(w) - 2 * kMargin - 120;
    LblCamera.placeIn(nullptr, kMargin, kMargin + 40, 800, kBarHeight - 40);
    CboCamera.placeIn(nullptr, kMargin + 820, kMargin, 1600, kBarHeight);
    ChkErrors.placeIn(nullptr, kMargin + 2600, kMargin, 1500, kBarHeight);
    LblCount.placeIn(nullptr, kMargin + 4200, kMargin + 40, std::max(inner - 4200, 600), kBarHeight - 40);
    const int tableTop = kMargin + kBarHeight + kMargin;
    const int buttonsTop = static_cast<int>(h) - 380 - kBarHeight - kMargin;
    Packets.placeIn(nullptr, kMargin, tableTop, inner, std::max(buttonsTop - kMargin - tableTop, 600));
    const int right = kMargin + inner;
    CmdClose.placeIn(nullptr, right - kButtonWidth, buttonsTop, kButtonWidth, kBarHeight + 30);
    CmdSave.placeIn(nullptr, right - 2 * kButtonWidth - kMargin, buttonsTop, kButtonWidth, kBarHeight + 30);
    CmdCopy.placeIn(nullptr, right - 3 * kButtonWidth - 2 * kMargin, buttonsTop, kButtonWidth, kBarHeight + 30);
}

void FrmTraffic::open() {
    if (!visible()) dialogs::placeBesideMain(prog_.context(), *this, 600, 600);
    prog_.loaded(*this);
    showAll();
    show();
    Timer1.setEnabled(true);
}

// Runs only while the window is shown: hiding it stops the timer.
void FrmTraffic::Timer1_Timer() {
    if (width() != arrangedWidth_ || height() != arrangedHeight_) arrange();
    follow();
}

TrafficFilter FrmTraffic::filter() const {
    return {CboCamera.listIndex() > 0 ? CboCamera.listIndex() : 0, ChkErrors.checked()};
}

void FrmTraffic::showAll() {
    const TrafficRecord& r = prog_.traffic;
    const std::uint64_t oldest = r.recorded() - r.size();
    shown_.clear();
    for (const std::size_t i : r.select(filter())) shown_.push_back(oldest + i);
    seen_ = r.recorded();
    Packets.resetRows(static_cast<int>(shown_.size()));
    showCount();
}

void FrmTraffic::follow() {
    // Inquiries whose answer limit ran out are marked, and the rows shown
    // chosen again where one was: it may now pass "Errors only".
    prog_.traffic.settle(prog_.platform.clock.now());
    const TrafficRecord& r = prog_.traffic;
    if (r.marked() != markedSeen_) {
        markedSeen_ = r.marked();
        showAll();
        return;
    }
    if (r.recorded() == seen_) return;
    const std::uint64_t oldest = r.recorded() - r.size();
    int dropped = 0;
    while (!shown_.empty() && shown_.front() < oldest) {
        shown_.pop_front();
        ++dropped;
    }
    Packets.dropFrontRows(dropped);
    const TrafficFilter f = filter();
    int added = 0;
    for (std::uint64_t n = std::max(seen_, oldest); n < r.recorded(); ++n) {
        if (!f.passes(r.at(static_cast<std::size_t>(n - oldest)))) continue;
        shown_.push_back(n);
        ++added;
    }
    seen_ = r.recorded();
    Packets.appendRows(added);
    showCount();
}

void FrmTraffic::showCount() {
    const std::size_t all = prog_.traffic.size();
    LblCount.setCaption(std::to_string(shown_.size()) + " of " + std::to_string(all) +
                        (all == 1 ? " packet shown" : " packets shown"));
}

std::string FrmTraffic::cellText(int row, int column) const {
    const TrafficRecord& r = prog_.traffic;
    if (row < 0 || static_cast<std::size_t>(row) >= shown_.size()) return {};
    const std::uint64_t oldest = r.recorded() - r.size();
    const std::uint64_t n = shown_[static_cast<std::size_t>(row)];
    // Gone from the record since the last follow: the row goes at the next.
    if (n < oldest || n >= r.recorded()) return {};
    const TrafficRow& p = r.at(static_cast<std::size_t>(n - oldest));
    switch (column) {
    case 0: return trafficTime(p);
    case 1: return trafficClock(r, p);
    case 2: return trafficCamera(p);
    case 3: return trafficDirection(p);
    case 4: return trafficHex(p);
    case 5: return trafficMeaning(p);
    case 6: return trafficSource(p);
    default: return {};
    }
}

std::vector<std::size_t> FrmTraffic::chosenRows() const {
    const TrafficRecord& r = prog_.traffic;
    const std::uint64_t oldest = r.recorded() - r.size();
    std::vector<std::size_t> out;
    auto take = [&](std::uint64_t n) {
        if (n >= oldest && n < r.recorded()) out.push_back(static_cast<std::size_t>(n - oldest));
    };
    if (Packets.selectedRows().empty()) {
        for (const std::uint64_t n : shown_) take(n);
    } else {
        for (const int row : Packets.selectedRows()) {
            if (static_cast<std::size_t>(row) < shown_.size()) take(shown_[static_cast<std::size_t>(row)]);
        }
    }
    return out;
}

void FrmTraffic::CboCamera_Click() { showAll(); }

void FrmTraffic::ChkErrors_Click() { showAll(); }

void FrmTraffic::CmdCopy_Click() {
    follow();
    prog_.platform.windows.setClipboardText(trafficExport(prog_.traffic, chosenRows(), TrafficFormat::Text));
}

void FrmTraffic::CmdSave_Click() {
    follow();
    const std::string path =
        prog_.platform.windows.saveFileName("Save Traffic", "traffic.csv", "CSV (*.csv);;Text (*.txt)");
    if (path.empty()) return;
    const std::string ext = std::filesystem::path(path).extension().string();
    const bool csv = ext == ".csv" || ext == ".CSV";
    std::vector<std::size_t> rows;
    const TrafficRecord& r = prog_.traffic;
    const std::uint64_t oldest = r.recorded() - r.size();
    for (const std::uint64_t n : shown_) rows.push_back(static_cast<std::size_t>(n - oldest));
    const std::string reason =
        writeFileWhole(path, trafficExport(r, rows, csv ? TrafficFormat::Csv : TrafficFormat::Text));
    if (reason.empty()) return;
    prog_.platform.windows.message({MsgIcon::Exclamation, "Warning",
                                    "The traffic could not be saved to " + path + ".\r\n" + reason, MsgButtons::Ok,
                                    false});
}

void FrmTraffic::CmdClose_Click() { unload(); }

void FrmTraffic::Form_Unload() {
    hide();
    prog_.unloaded(*this);
}

}  // namespace orbus
