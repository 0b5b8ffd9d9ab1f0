// "Traffic": every packet sent and received, one row each, with when it
// passed, the camera, the direction, its bytes, what it means and, for a
// sent one, who sent it. Filters by
// camera and for error replies; copies rows to the clipboard and saves them
// as text or CSV. Modeless; it follows the record twice a second while it
// is shown and costs nothing while it is closed (the record goes on).
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "app/traffic_record.h"
#include "platform/control.h"
#include "platform/files.h"  // writeFileWhole, which the window saves with
#include "platform/form.h"
#include "platform/table.h"

namespace orbus {

class Program;

class FrmTraffic : public Form {
public:
    explicit FrmTraffic(Program& program);

    Label LblCamera{*this, "LblCamera", "Camera:"};
    ComboBox CboCamera{*this, "CboCamera"};  // "All cameras", "Camera 1" to "Camera 7"
    CheckBox ChkErrors{*this, "ChkErrors", "Errors only"};
    Label LblCount{*this, "LblCount", ""};
    Table Packets;
    Button CmdCopy{*this, "CmdCopy", "Copy"};
    Button CmdSave{*this, "CmdSave", "Save..."};
    Button CmdClose{*this, "CmdClose", "Close"};
    Timer Timer1{*this, "Timer1", 500, false};

    void open();
    void Timer1_Timer();
    void CboCamera_Click();
    void ChkErrors_Click();
    void CmdCopy_Click();
    void CmdSave_Click();
    void CmdClose_Click();
    void Form_Unload();

    // The record's rows the filters pass, anew; follow() adds what came
    // since and drops what left the record.
    void showAll();
    void follow();
    TrafficFilter filter() const;
    // The record's indexes of the selected rows, or of every row shown when
    // none is selected.
    std::vector<std::size_t> chosenRows() const;

private:
    // Places the controls for the window's size.
    void arrange();
    void showCount();
    std::string cellText(int row, int column) const;

    Program& prog_;
    // Rows shown, by their number in the record since the start.
    std::deque<std::uint64_t> shown_;
    std::uint64_t seen_ = 0;  // the record's count when last followed
    std::uint64_t markedSeen_ = 0;  // the record's unanswered marks when last followed
    double arrangedWidth_ = 0, arrangedHeight_ = 0;
};

}  // namespace orbus
