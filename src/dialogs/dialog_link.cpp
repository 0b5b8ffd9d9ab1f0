#include "dialogs/dialog_link.h"

#include "dialogs/context.h"
#include "dialogs/host.h"
#include "link/send_mode.h"
#include "link/packet.h"
#include "platform/digit_input.h"
#include "platform/text.h"
#include "status/inquiry.h"

namespace orbus::dialogs {

std::string DialogSD(Context& ctx, const Bytes& packet, int mode, const DialogEcho& echo) {
    Host& host = ctx.dialogHost();
    // Written and nothing more: the dialog logs it itself. A packet no
    // camera takes is refused, and the operator told which control built it.
    const link::SendOutcome sent =
        host.commands().send({packet, link::Source::Dialog, link::CommandPacer::Kind::Other, "", link::Pacing::Plain});
    if (sent == link::SendOutcome::Malformed) return "NG";
    if (echo.setsLink && (mode == link::kCommand || mode == link::kPolled)) ctx.linkControl().echoOn();
    const bool written = sent == link::SendOutcome::Sent;
    // A dialog's command overtakes a status read of its camera as the
    // panel's own do.
    if (written && mode == link::kCommand && !packet.empty()) host.commandWentOut(packet[0] - 0x80);
    if (echo.log && ctx.link().EchoSent) {
        std::string text = echo.log->text() + sentLine(packet, written);
        trimLog(text);
        echo.log->setText(std::move(text));
        echo.log->moveCaretToEnd();
    }
    return written ? "OK" : "NG";
}

namespace {

link::Async<std::optional<Bytes>> inquireWith(Context& ctx, std::optional<Bytes> packet, int length, DialogEcho echo) {
    if (!packet) co_return std::nullopt;
    Host& host = ctx.dialogHost();
    link::Line::Hold hold = co_await host.line().take();
    // The dialog's own send (its log), on the exchange's turn of the line.
    DialogSD(ctx, *packet, link::kPolled, echo);
    const Bytes reply = co_await host.waitAnswer(length);
    // Only bytes that came in are shown, not a time-out's stand-in; a line
    // another wait held gave nothing to show.
    if (!host.lastWaitTimedOut() && !host.lastWaitBusy()) host.showReceived(reply);
    if (!acceptedReply(reply, length)) co_return std::nullopt;
    co_return Bytes(reply.begin(), reply.begin() + length);
}

}  // namespace

link::Async<std::optional<Bytes>> inquire(Context& ctx, Packet inquiry, int length, const DialogEcho& echo) {
    return inquireWith(ctx, packetFor(ctx, inquiry), length, echo);
}

std::optional<Bytes> packetFor(Context& ctx, Packet packet, const std::vector<int>& values) {
    return packetBytes(ctx.link().header(), packet, values);
}

std::optional<Bytes> packetFor(int header, const std::vector<int>& body) {
    std::vector<int> values{header};
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

bool appendHexField(Context& ctx, std::vector<int>& body, const TextBox& box, int count, const std::string& name) {
    const auto digits = hexDigits(box, count);
    if (!digits) {
        warn(ctx, "\"" + name + "\" must hold " + std::to_string(count) + " hexadecimal digit" +
                      (count == 1 ? "" : "s") + ".");
        return false;
    }
    body.insert(body.end(), digits->begin(), digits->end());
    return true;
}

void warn(Context& ctx, const std::string& text) {
    ctx.platform().windows.message({MsgIcon::Exclamation, "Warning", text, MsgButtons::Ok, true});
}

void holdRefresh(Context& ctx, bool lockButton, bool upkeep) {
    Host& host = ctx.dialogHost();
    host.holdRefresh(lockButton);
    if (upkeep) host.setPanTiltUpkeep(false);
}

void giveTimersBack(Context& ctx) {
    Host& host = ctx.dialogHost();
    host.giveRefreshBack();
    host.setPanTiltUpkeep(true);
}

link::Async<void> showOnceLoaded(Context& ctx, Form& dialog, link::Async<bool> loaded, std::function<void()> giveUp) {
    const bool read = co_await std::move(loaded);
    if (!read || ctx.platform().windows.ending()) {
        giveUp();
        co_return;
    }
    ctx.loaded(dialog);
    ctx.platform().windows.runModal(dialog);
}

void placeBesideMain(Context& ctx, Form& dialog, double right, double down) {
    const Host& host = ctx.dialogHost();
    dialog.move(host.mainLeft() + right, host.mainTop() + down);
}

}  // namespace orbus::dialogs
