// Sending packets, waiting for replies and classifying them: the procedures
// of the main window every exchange with a camera goes through.
#include <algorithm>

#include "app/frm_main.h"
#include "app/program.h"
#include "link/classify.h"
#include "link/packet.h"
#include "platform/platform.h"
#include "platform/text.h"

namespace orbus {

bool FrmMain::autoCaption() const { return equalsNoCase(AutoRefreshed.caption(), "Auto"); }

void FrmMain::appendLog(TextBox& box, const std::string& text) {
    std::string t = box.text() + text;
    trimLog(t);
    box.setText(std::move(t));
    box.moveCaretToEnd();
}

namespace {

// The control whose handler built a packet, as the operator knows it.
std::string builtBy() {
    const Control* c = Control::firing();
    if (!c) return "the panel";
    std::string name = c->accessibleName();
    if (const auto* k = dynamic_cast<const Captioned*>(c); name.empty() && k) name = k->caption();
    if (name.empty()) name = c->objectName();
    return "\"" + name + "\" in \"" + c->form().caption() + "\"";
}

}  // namespace

bool FrmMain::outgoingAllowed(const Bytes& packet) {
    if (wellFormedPacket(packet)) return true;
    P.windows.message({MsgIcon::Exclamation, "Warning",
                       "This packet was not sent: no camera can take it.\r\n" + packetText(packet) +
                           "\r\nIt was built by " + builtBy() + ".",
                       MsgButtons::Ok, true});
    return false;
}

void FrmMain::notWritten() {
    // Told once until a packet goes out again; a lost port has told already.
    if (notWrittenTold_ || portLost_) {
        notWrittenTold_ = true;
        return;
    }
    notWrittenTold_ = true;
    P.windows.message({MsgIcon::Exclamation, "Warning",
                       "The serial port (Com " + std::to_string(prog_.port.CommPortNo) +
                           ") did not take the packet: nothing was sent.\r\n" + P.port.lastError(),
                       MsgButtons::Ok, true});
}

std::string FrmMain::SD(const Bytes& byteString, int disp) {
    if (!outgoingAllowed(byteString)) {
        L.SendOK = false;
        return "NG";
    }
    const bool command = disp == kCommand || disp == kPolled || disp == kStop;
    if (command) {
        if (disp == kStop ? waitReplyBusy_ : !RefreshNotGoCheck()) {
            L.SendOK = false;
            return "NG";
        }
        L.EchoSent = true;
        P.port.setRThreshold(disp == kPolled ? 0 : 1);
    } else {
        L.EchoSent = false;
        P.port.setRThreshold(0);
    }
    // The port may refuse the write (closed or gone): then the history says
    // so instead of showing the packet as sent.
    const bool written = P.port.output(byteString);
    if (L.EchoSent) appendLog(SendText, sentLine(byteString, written));
    L.SendOK = written;
    if (!written) {
        if (L.EchoSent) notWritten();
        return "NG";
    }
    if (command && autoCaption()) {
        // Pause auto refresh until the command completes; the watchdog
        // resumes it when the completion never comes.
        Timer3.setEnabled(true);
        Timer1.setEnabled(false);
        AutoRefreshed.setEnabled(false);
    }
    notWrittenTold_ = false;
    return "OK";
}

std::string FrmMain::SendValues(const std::vector<int>& values, int disp) {
    Bytes bytes;
    if (!ToByteArray(values, bytes)) {
        L.SendOK = false;
        return "ERR";
    }
    return SD(bytes, disp);
}

std::string FrmMain::Command(const std::vector<int>& body) {
    std::vector<int> values;
    values.reserve(body.size() + 2);
    values.push_back(L.header());
    values.insert(values.end(), body.begin(), body.end());
    values.push_back(0xFF);
    return SendValues(values, kCommand);
}

namespace {
// A reply that never passes the callers' checks: element i holds i.
Bytes indexFilled(int count) {
    Bytes b;
    for (int i = 0; i < count; ++i) b.push_back(static_cast<std::uint8_t>(i));
    return b;
}
}  // namespace

Bytes FrmMain::WaitReply(int receiveByte, bool answer) {
    if (receiveByte < 0) receiveByte = 0;
    if (waitReplyBusy_) return indexFilled(receiveByte + 1);
    waitReplyBusy_ = true;
    bool timedOut = false;
    Bytes result;
    for (;;) {
        if (P.port.inBufferCount() > 0) {
            Bytes in = P.port.input();
            result.insert(result.end(), in.begin(), in.end());
            // A command's acknowledge or completion that came before the
            // answer belongs to the command: it ends the command's pause,
            // and the wait goes on for the answer.
            while (const std::size_t n = answer ? leadingCommandReply(result) : 0) {
                commandReply(Bytes(result.begin(), result.begin() + static_cast<std::ptrdiff_t>(n)));
                result.erase(result.begin(), result.begin() + static_cast<std::ptrdiff_t>(n));
            }
        }
        if (static_cast<int>(result.size()) >= receiveByte) break;
        // A closed or lost port cannot deliver: no point waiting for it.
        if (!P.port.isOpen()) {
            timedOut = true;
            break;
        }
        if (WaitCheck(1.0)) {
            timedOut = true;
            break;
        }
        // Block in the port's own wait for the rest of the second.
        double remaining = stopwatchStart_ + 1.0 - P.clock.now();
        if (remaining > 0) P.port.waitForInput(remaining);
    }
    // Right behind the answer, a command's reply that came with it is the
    // command's too (a stop sent between two inquiries completes there).
    const std::size_t answerEnd = std::min(static_cast<std::size_t>(receiveByte), result.size());
    while (answer && !timedOut) {
        const Bytes tail(result.begin() + static_cast<std::ptrdiff_t>(answerEnd), result.end());
        const std::size_t n = leadingCommandReply(tail);
        if (n == 0) break;
        commandReply(Bytes(tail.begin(), tail.begin() + static_cast<std::ptrdiff_t>(n)));
        result.resize(answerEnd);
        result.insert(result.end(), tail.begin() + static_cast<std::ptrdiff_t>(n), tail.end());
    }
    P.port.setRThreshold(1);
    if (timedOut) result = indexFilled(receiveByte);
    waitTimedOut_ = timedOut;
    WaitCheck(0);
    waitReplyBusy_ = false;
    return result;
}

void FrmMain::commandReply(const Bytes& reply) {
    appendLog(RecvText, trafficLine(reply));
    CheckFinishCommand();
}

bool FrmMain::WaitCheck(double waitTime) {
    if (waitTime <= 0) {
        stopwatchArmed_ = false;
        return true;
    }
    if (!stopwatchArmed_) {
        stopwatchArmed_ = true;
        stopwatchStart_ = P.clock.now();
        return false;
    }
    // A microsecond of tolerance: a wait that slept until exactly the end
    // time must see it as run out despite rounding.
    if (P.clock.now() - stopwatchStart_ >= waitTime - 1e-6) {
        stopwatchArmed_ = false;
        return true;
    }
    return false;
}

void FrmMain::pauseOneSecond(const std::function<void()>& each) {
    for (;;) {
        if (each) each();
        if (WaitCheck(1.0)) return;
        P.clock.sleepUntil(stopwatchStart_ + 1.0);
    }
}

bool FrmMain::RefreshNotGoCheck() const { return !L.StatusReading; }

void FrmMain::resumeRefresh() {
    if (L.RefreshHeld) return;
    if (autoCaption() && !Timer1.enabled() && !AutoRefreshed.enabled()) {
        Timer1.setInterval(2000);
        Timer1.setEnabled(true);
        AutoRefreshed.setEnabled(true);
    } else if (L.RefreshRestart) {
        Timer1.setEnabled(true);
    }
}

void FrmMain::CheckFinishCommand() {
    ++finishChecks_;
    const ReplyClass c = classifyReply(lastReplyText(RecvText.text()));
    if (c.finished()) {
        if (L.PresetBusy) {
            const bool ends = !c.inquiryAnswer && (!c.completion || L.PresetAcked);
            if (ends) {
                clearPresetHighlight(L.PresetOp, L.PresetNo);
                L.PresetBusy = false;
                L.RefreshSkipCount = L.ModelCode == 260 ? 1 : 2;
                if (!L.WBWait) resumeRefresh();
            } else if (autoCaption()) {
                Timer1.setEnabled(false);
                AutoRefreshed.setEnabled(false);
            }
        } else {
            if (L.WBWait) L.WBWait = false;
            resumeRefresh();
        }
    } else if (c.acknowledge) {
        if (autoCaption()) {
            Timer3.setEnabled(true);
            Timer1.setEnabled(false);
            AutoRefreshed.setEnabled(false);
        }
        L.PresetAcked = L.PresetBusy;
    } else if (c.networkChange) {
        P.windows.message({MsgIcon::Exclamation, "Warning",
                           "Network Change was received.\r\n"
                           "Please implement IF_Clear (broadcast), AddressSet command.",
                           MsgButtons::Ok, true});
    }
}

}  // namespace orbus
