// The camera link's receive path, console, watchdog, port loss, chain
// numbering and alarm check.
#include "link/camera_link.h"

#include "link/chain_health.h"
#include "link/packet.h"
#include "platform/digit_input.h"
#include "platform/platform.h"
#include "platform/text.h"

namespace orbus::link {

void CameraLink::portReceived() {
    // The line routes them: to the exchange waiting for an answer, to the
    // completion check, or to the receive path. From the event queue, not
    // inside the port's notification: a message box opened meanwhile (a
    // network change) must not keep the port from notifying the next bytes.
    std::weak_ptr<bool> alive = alive_;
    platform_.poster.post(0, [this, alive] {
        if (auto a = alive.lock(); a && *a) {
            line_.received(platform_.port.input());
            if (*a) window_.linkChanged();
        }
    });
}

void CameraLink::EchoReceived(const Bytes& bytes, bool classify) {
    if (bytes.empty()) return;
    TextBox& recv = window_.responseLog();
    for (auto b : bytes) {
        if (state_.EchoSent) {
            receivedLog_ += hex2(b);
            receivedLog_ += ' ';
            logLineByte(b);
        }
        // Replies are framed here, from the bytes, whatever the log shows
        // (echo off, or emptied by the operator in the middle of a reply).
        std::optional<Reply> reply;
        if (classify) {
            if (frame_.size() >= kLongestFrame) frame_.erase(frame_.begin());
            frame_.push_back(b);
            if (b == 0xFF) reply = decodeReply(std::exchange(frame_, {}));
        }
        if (b == 0xFF) {
            trimLog(receivedLog_);
            recv.setText(receivedLog_);
            // What an answer answered is known only now, as it arrives.
            if (state_.EchoSent) chain_.replyLogged(logLine_);
            // The check may log a reply of its own.
            if (reply) CheckFinishCommand(*reply);
            if (state_.EchoSent) {
                receivedLog_ += "\r\n";
                logLine_.clear();
            }
        }
    }
    trimLog(receivedLog_);
    recv.setText(receivedLog_);
    recv.moveCaretToEnd();
}

void CameraLink::logLineByte(std::uint8_t b) {
    // The log keeps its last kLogLimit characters: a line longer than that
    // shows only its last bytes (each "HH ", the cut falling on a space).
    static_assert(kLogLimit % 3 == 1);
    if (logLine_.size() == kLogLimit / 3) logLine_.erase(logLine_.begin());
    logLine_.push_back(b);
}

Bytes CameraLink::typedBytes(const std::string& t) {
    Bytes bytes;
    for (std::size_t i = 0; i + 1 < t.size(); i += 2) {
        int hi = hexDigit(t[i]);
        int lo = hexDigit(t[i + 1]);
        bytes.push_back(static_cast<std::uint8_t>((hi < 0 ? 0 : hi) * 16 + (lo < 0 ? 0 : lo)));
    }
    return bytes;
}

std::string CameraLink::sendTyped(const std::string& t) {
    const link::Command typed{typedBytes(t), Source::Console, CommandPacer::Kind::Other, "", Pacing::AsTyped};
    return put(typed) == SendOutcome::Sent ? "OK" : "NG";
}

bool CameraLink::sendAsTyped(const Bytes& bytes, Source source) {
    // Auto refresh pauses until the typed packet completes; the watchdog
    // resumes it if the camera never does.
    refresh_.commandSent();
    control_.echoOn();
    // The console sends whatever was typed, but the history tells the truth
    // about what the port took.
    const bool written = bytes.empty() || output(bytes, source);
    appendLog(window_.commandHistory(), sentLine(bytes, written));
    window_.linkChanged();
    if (!written) {
        notWritten();
        return false;
    }
    notWrittenTold_ = false;
    if (!bytes.empty()) window_.commandWentOut(bytes[0] >= 0x80 ? bytes[0] - 0x80 : 0);
    if (InFlight::takesSocket(bytes)) {
        // It takes a socket like any command: counted and matched with the
        // rest. Typed once, it goes once: a refusal does not send it again.
        const int camera = bytes[0] - 0x80;
        pacer_.sent(camera, CommandPacer::Item{bytes, "", CommandPacer::Kind::Other, false, source},
                    platform_.clock.now());
        watchOverdue(camera, {CommandPacer::kAckLimit, CommandPacer::kCompletionLimit});
    }
    return true;
}

void CameraLink::watchdog() {
    // Only a command that went out before the watchdog started counting has
    // gone its whole span without a completion; one sent since may still be
    // running, and its socket is the camera's until it ends. (A coarse timer
    // may tick a little early.)
    const double sentBy = platform_.clock.now() - 0.9 * refresh_.watchdogSpan();
    // A preset whose completion never came ends here, whatever the refresh
    // does: left pending, it would hold back every status read and every
    // later preset for good.
    if (state_.PresetBusy) {
        control_.presetEnds();
        window_.clearPresetHighlights();
    }
    // The command's completion never came: resume auto refresh.
    control_.whiteBalanceEnds();
    refresh_.watchdog();
    // Commands whose completion never came free their sockets too, and
    // are counted for their camera.
    for (int camera = 1; camera <= 7; ++camera) {
        if (const int n = pacer_.forgetInFlight(camera, sentBy)) chain_.noCompletion(camera, n);
        sendWaiting(camera);
    }
    deliverNotices();
}

bool CameraLink::closeLostPort() {
    if (!platform_.port.isOpen() && portLost_) return false;
    portLost_ = true;
    platform_.port.close();
    return true;
}

void CameraLink::dropLostPort() {
    // Reads would only fail from now on: switch the auto refresh off here so
    // the operator gets this one message, not a refresh error as well.
    refresh_.switchOff();
    refresh_.watchdog();
    // What waited for a socket is dropped with the line.
    pacer_.clear();
    deliverNotices();
    // An exchange waiting for an answer ends now, and so does one awaiting
    // a command's end.
    line_.portGone();
    endWaitsPortGone();
    window_.linkChanged();
    // Why the port went, as the port tells it (a network port's reason).
    const std::string why = platform_.port.lastError();
    platform_.windows.message({MsgIcon::Exclamation, "Warning",
                               "The serial port is gone (Com " + std::to_string(window_.portNumber()) + ").\r\n" +
                                   (why.empty() ? std::string() : why + ".\r\n") +
                                   "Reconnect it, then choose Camera > I/F Clear(broadcast) to open it again.",
                               MsgButtons::Ok, true});
}

void CameraLink::portBack() {
    portLost_ = false;
    notWrittenTold_ = false;
    platform_.port.setRThreshold(1);
    window_.linkChanged();
}

Async<std::optional<int>> CameraLink::addressSetExchange() {
    Line::Hold hold = co_await line_.take();
    if (SD(addressSetBroadcast(), kPolled) != "OK") co_return std::nullopt;
    const Bytes reply = co_await WaitReply(4);
    EchoReceived(reply);
    hold.release();
    if (reply.size() >= 4 && reply[0] == 0x88 && reply[1] == 0x30 && reply[3] == 0xFF) co_return reply[2] - 1;
    co_return std::nullopt;
}

}  // namespace orbus::link
