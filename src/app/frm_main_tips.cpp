// The main window's keys and tool tips: shortcuts for the frequent actions,
// and on every control that sends a packet a tip naming what it does and
// the packets it sends, read from the command table.
#include <set>
#include <string>
#include <utility>

#include "app/frm_main.h"
#include "panel/tips.h"

namespace orbus {

namespace {

// The words a tip starts with: the hand-written tip, else the control's
// spoken name ("Iris Open" for a "+"), else its caption.
std::string wordsFor(const Control& c) {
    if (!c.toolTip().empty()) return c.toolTip();
    if (!c.accessibleName().empty()) return c.accessibleName();
    if (const auto* cap = dynamic_cast<const Captioned*>(&c); cap && !cap->caption().empty()) {
        std::string out;
        const std::string& s = cap->caption();
        for (std::size_t i = 0; i < s.size(); ++i) {
            if (s[i] == '\r') continue;
            if (s[i] == '\n') out += ' ';
            else if (s[i] == '&' && i + 1 < s.size() && s[i + 1] == '&') out += s[i++];
            else if (s[i] != '&') out += s[i];
        }
        return out;
    }
    return c.name();
}

}  // namespace

void FrmMain::buildKeysAndTips() {
    // Keys: the refresh, the driven camera and the views. None is a key the
    // window's boxes or the pan-tilt key drive use.
    const std::pair<Control*, const char*> keys[] = {
        {&RefreshOnce, "F5"},
        {&AutoRefreshed, "Ctrl+R"},
        {&ViewTraffic, "Ctrl+T"},
        {&ViewChainStatus, "Ctrl+Shift+C"},
        {&ViewRemote, "Ctrl+Shift+R"},
        {&ViewGamepad, "Ctrl+Shift+G"},
    };
    for (const auto& [c, k] : keys) c->setShortcut(k);
    CameraSel.forEach([](int i, MenuItem& m) { m.setShortcut("Ctrl+" + std::to_string(i)); });

    // Tips from the command table, once per control element.
    std::set<Control*> done;
    for (const panel::CommandRow& row : panel::commandTable()) {
        for (Control* c : row.target.elements(*this)) {
            if (!done.insert(c).second) continue;
            c->setToolTip(panel::commandTip(row.control, c->index(), wordsFor(*c)));
        }
    }
    // A control with a key names it in its tip.
    for (Control* c : controls()) {
        if (!c->shortcut().empty()) c->setToolTip(panel::withShortcut(wordsFor(*c), c->shortcut()));
    }
}

}  // namespace orbus
