// Receive path and the direct-command console of the main window.
#include "app/frm_main.h"
#include "app/program.h"
#include "link/packet.h"
#include "platform/digit_input.h"
#include "platform/platform.h"
#include "platform/text.h"

namespace orbus {

void FrmMain::MSComm1_OnComm(int event) {
    switch (event) {
    case ComEvReceive: {
        // The line routes them: to the exchange waiting for an answer, to
        // the completion check, or to the receive path below. From the
        // event queue, not inside the port's notification: a message box
        // opened meanwhile (a network change) must not keep the port from
        // notifying the next bytes.
        std::weak_ptr<bool> alive = alive_;
        platform_.poster.post(0, [this, alive] {
            if (auto a = alive.lock(); a && *a) line_.received(platform_.port.input());
        });
        break;
    }
    case ComEventGone:
        portGone();
        break;
    default:
        // Transmit done, modem-line changes and line errors need nothing.
        break;
    }
}

void FrmMain::EchoReceived(const Bytes& bytes, bool classify) {
    if (bytes.empty()) return;
    std::string log = RecvText.text();
    for (auto b : bytes) {
        if (state_.EchoSent) {
            log += hex2(b);
            log += ' ';
        }
        if (b == 0xFF) {
            trimLog(log);
            RecvText.setText(log);
            // What an answer answered is known only now, as it arrives.
            if (state_.EchoSent) prog_.chain.replyLogged(log);
            // The check reads the reply back from the log: a reply that was
            // not logged (echo off) would have it judge an old line again.
            if (classify && state_.EchoSent) CheckFinishCommand();
            log = RecvText.text();
            if (state_.EchoSent) log += "\r\n";
        }
    }
    trimLog(log);
    RecvText.setText(std::move(log));
    RecvText.moveCaretToEnd();
}

void FrmMain::DirectText_KeyPress(int& keyAscii) {
    if (keyAscii == 13) {
        if (DirectText.text().size() % 2 == 0) {
            SendDirect();
            DirectText.setText("");
        }
        keyAscii = 0;
        return;
    }
    hexKeyFilter(keyAscii);
}

// Text that arrives by pasting is filtered like typed keys, so a pasted
// "81 01 04 ..." becomes 810104... and never puts wrong bytes on the wire.
void FrmMain::DirectText_Change() { keepHexDigits(DirectText); }

std::string FrmMain::SendDirect() {
    // Auto refresh pauses until the typed packet completes; the watchdog
    // resumes it if the camera never does.
    const std::string t = DirectText.text();
    refresh_.commandSent(t.size() >= 2 ? hexDigit(t[0]) * 16 + hexDigit(t[1]) - 0x80 : 0);
    state_.EchoSent = true;
    Bytes bytes;
    for (std::size_t i = 0; i + 1 < t.size(); i += 2) {
        int hi = hexDigit(t[i]);
        int lo = hexDigit(t[i + 1]);
        bytes.push_back(static_cast<std::uint8_t>((hi < 0 ? 0 : hi) * 16 + (lo < 0 ? 0 : lo)));
    }
    // The console sends whatever was typed, but the history tells the truth
    // about what the port took.
    const bool written = bytes.empty() || platform_.port.output(bytes);
    appendLog(SendText, sentLine(bytes, written));
    if (!written) {
        notWritten();
        return "NG";
    }
    notWrittenTold_ = false;
    if (!bytes.empty()) commandWentOut(bytes[0] >= 0x80 ? bytes[0] - 0x80 : 0);
    return "OK";
}

void FrmMain::cmdClearTxt_Click() {
    SendText.setText("");
    RecvText.setText("");
    LineMeaning.setText("");
}

}  // namespace orbus
