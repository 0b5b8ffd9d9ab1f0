#include "dialogs/dialog_link.h"

#include "app/frm_main.h"
#include "app/program.h"
#include "link/packet.h"
#include "platform/digit_input.h"
#include "platform/text.h"
#include "status/inquiry.h"

namespace orbus::dialogs {

std::string DialogSD(Program& prog, const Bytes& packet, int mode, const DialogEcho& echo) {
    SerialPort& port = prog.platform.port;
    FrmMain& m = prog.frmMain();
    if (!m.outgoingAllowed(packet)) return "NG";
    if (echo.setsLink && (mode == FrmMain::kCommand || mode == FrmMain::kPolled)) {
        port.setRThreshold(mode == FrmMain::kCommand ? 1 : 0);
        prog.link.EchoSent = true;
    }
    const bool written = port.output(packet);
    if (echo.log && prog.link.EchoSent) {
        std::string text = echo.log->text() + sentLine(packet, written);
        trimLog(text);
        echo.log->setText(std::move(text));
        echo.log->moveCaretToEnd();
    }
    return written ? "OK" : "NG";
}

std::optional<Bytes> inquire(Program& prog, const std::vector<int>& body, int length, const DialogEcho& echo) {
    const auto packet = packetFor(prog, body);
    if (!packet) return std::nullopt;
    FrmMain& m = prog.frmMain();
    DialogSD(prog, *packet, FrmMain::kPolled, echo);
    const Bytes reply = m.WaitAnswer(length);
    // Only bytes that came in are shown, not a time-out's stand-in.
    if (!m.lastWaitTimedOut()) m.EchoReceived(reply, false);
    if (prog.platform.port.rThreshold() <= 0) prog.platform.port.setRThreshold(1);
    if (!acceptedReply(reply, length)) return std::nullopt;
    return Bytes(reply.begin(), reply.begin() + length);
}

std::optional<Bytes> packetFor(Program& prog, const std::vector<int>& body) {
    std::vector<int> values{prog.link.header()};
    values.insert(values.end(), body.begin(), body.end());
    values.push_back(0xFF);
    Bytes bytes;
    if (!ToByteArray(values, bytes)) return std::nullopt;
    return bytes;
}

std::optional<std::vector<int>> hexDigits(const TextBox& box, int count) {
    const std::string digits = hexDigitsOnly(box.text());
    if (static_cast<int>(digits.size()) != count || box.text().size() != digits.size()) return std::nullopt;
    std::vector<int> out;
    for (char c : digits) out.push_back(hexDigit(c));
    return out;
}

bool appendHexField(Program& prog, std::vector<int>& body, const TextBox& box, int count, const std::string& name) {
    const auto digits = hexDigits(box, count);
    if (!digits) {
        warn(prog, "\"" + name + "\" must hold " + std::to_string(count) + " hexadecimal digit" +
                       (count == 1 ? "" : "s") + ".");
        return false;
    }
    body.insert(body.end(), digits->begin(), digits->end());
    return true;
}

void warn(Program& prog, const std::string& text) {
    prog.platform.windows.message({MsgIcon::Exclamation, "Warning", text, MsgButtons::Ok, true});
}

void giveTimersBack(Program& prog, bool button, bool interval2000) {
    FrmMain& m = prog.frmMain();
    prog.link.RefreshHeld = false;
    if (button) m.AutoRefreshed.setEnabled(true);
    if (m.autoCaption()) {
        if (interval2000) m.Timer1.setInterval(2000);
        m.Timer1.setEnabled(true);
    } else if (prog.link.RefreshRestart) {
        // The read owed after a command that completed behind the dialog.
        m.Timer1.setEnabled(true);
    }
    m.Timer2.setEnabled(true);
}

void placeBesideMain(Program& prog, Form& dialog, double right, double down) {
    const FrmMain& m = prog.frmMain();
    dialog.move(m.left() + right, m.top() + down);
}

}  // namespace orbus::dialogs
