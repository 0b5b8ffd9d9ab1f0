// Sending packets, waiting for replies and classifying them: every exchange
// with a camera goes through here.
#include "link/camera_link.h"

#include <algorithm>

#include "link/chain_health.h"
#include "link/link_commands.h"
#include "link/packet.h"
#include "platform/form.h"
#include "platform/platform.h"
#include "platform/text.h"

namespace orbus::link {

CameraLink::CameraLink(LinkWindow& window, LinkState& state, ChainHealth& chain, Platform& platform,
                       Timer& refreshTimer, Timer& watchdog)
    : window_(window),
      state_(state),
      control_(state),
      chain_(chain),
      platform_(platform),
      line_(platform.poster),
      refresh_(control_, refreshTimer, watchdog, [&window] { window.drawRefresh(); }) {
    // Replies go by their kind: a command's to the completion check, the
    // rest to the exchange that holds the line, or the receive path.
    line_.onCommandReply = [this](const Bytes& reply) { commandReply(reply); };
    line_.onUnclaimed = [this](const Bytes& bytes) { EchoReceived(bytes); };
}

CameraLink::~CameraLink() { close(); }

void CameraLink::close() {
    tasks_.destroyAll();
    dropEndWaits();
    *alive_ = false;
}

void CameraLink::appendLog(TextBox& box, const std::string& text) {
    // The link keeps what it wrote; the box only shows it.
    std::string& t = &box == &window_.commandHistory() ? sentLog_ : receivedLog_;
    t += text;
    // Whole lines only: the response log's open line starts afresh.
    if (&t == &receivedLog_) logLine_.clear();
    trimLog(t);
    box.setText(t);
    box.moveCaretToEnd();
}

void CameraLink::clearLogs() {
    sentLog_.clear();
    receivedLog_.clear();
    logLine_.clear();
    window_.commandHistory().setText("");
    window_.responseLog().setText("");
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

bool CameraLink::outgoingAllowed(const Bytes& packet) {
    if (wellFormedPacket(packet)) return true;
    platform_.windows.message({MsgIcon::Exclamation, "Warning",
                               "This packet was not sent: no camera can take it.\r\n" + packetText(packet) +
                                   "\r\nIt was built by " + builtBy() + ".",
                               MsgButtons::Ok, true});
    return false;
}

void CameraLink::notWritten() {
    // Told once until a packet goes out again; a lost port has told already.
    if (notWrittenTold_ || portLost_) {
        notWrittenTold_ = true;
        return;
    }
    notWrittenTold_ = true;
    platform_.windows.message({MsgIcon::Exclamation, "Warning",
                               "The serial port (Com " + std::to_string(window_.portNumber()) +
                                   ") did not take the packet: nothing was sent.\r\n" + platform_.port.lastError(),
                               MsgButtons::Ok, true});
}

std::string CameraLink::SD(const Bytes& byteString, int disp) {
    if (!outgoingAllowed(byteString)) {
        control_.sent(false);
        return "NG";
    }
    const bool command = disp == kCommand || disp == kPolled || disp == kStop;
    if (command) {
        // A command goes out now, in the middle of a status read too: its
        // replies are told from the read's answers by their kind.
        control_.echoOn();
    } else {
        control_.echoOff();
    }
    // The port may refuse the write (closed or gone): then the history says
    // so instead of showing the packet as sent.
    const bool written = pacing_ ? output(byteString, pacing_->source, pacing_->client)
                                 : output(byteString, std::nullopt);
    if (command) appendLog(window_.commandHistory(), sentLine(byteString, written));
    control_.sent(written);
    window_.linkChanged();
    if (!written) {
        if (command) notWritten();
        return "NG";
    }
    if (command) {
        const int camera = byteString.empty() ? 0 : byteString[0] - 0x80;
        CommandPacer::Item item =
            pacing_ ? *pacing_
                    : CommandPacer::Item{byteString, "",
                                               disp == kStop ? CommandPacer::Kind::Stop
                                                             : CommandPacer::Kind::Other,
                                               true, std::nullopt};
        const bool remote = item.source == Source::Remote;
        pacer_.sent(camera, std::move(item), platform_.clock.now(), sendingEndId_);
        window_.commandWentOut(camera);
        // A camera that does not acknowledge within the limit is told in
        // the Command History (and counted in Chain Status); a command not
        // taken, or never completed, frees its place for what waits.
        watchOverdue(camera, {CommandPacer::kAckLimit, CommandPacer::kCompletionLimit});
        // The panel's own command pauses auto refresh until a completion
        // comes (the watchdog resumes it when none does), so the next read
        // mostly shows its result. A network client's does not: clients that
        // keep the cameras busy would otherwise stop the window's reads for
        // as long as they send.
        if (!remote) refresh_.commandSent();
    }
    notWrittenTold_ = false;
    return "OK";
}

bool CameraLink::output(const Bytes& bytes, std::optional<Source> source, const std::string& client) {
    writer_ = source;
    if (!client.empty()) writerClient_ = client;
    const bool written = platform_.port.output(bytes);
    writer_.reset();
    writerClient_.clear();
    return written;
}

void CameraLink::deliverNotices() {
    // A listener may send in turn: what that owes is told too.
    for (;;) {
        std::vector<ReplyNotice> n = pacer_.takeNotices();
        n.insert(n.begin(), std::make_move_iterator(unsent_.begin()), std::make_move_iterator(unsent_.end()));
        unsent_.clear();
        if (n.empty()) return;
        for (const ReplyNotice& notice : n) notice.to(notice.what);
    }
}

SendOutcome CameraLink::put(const link::Command& command) { return put(command, std::nullopt, true); }

SendOutcome CameraLink::put(const link::Command& command, std::optional<int> now, bool againWhenRefused) {
    const Bytes& packet = command.packet;
    const Pacing pacing = now ? Pacing::Direct : command.pacing;
    // A remote client's packet no camera takes is that client's business:
    // the operator is not shown a warning for it.
    const auto allowed = [&] {
        return command.source == Source::Remote ? wellFormedPacket(packet) : outgoingAllowed(packet);
    };
    SendOutcome outcome = SendOutcome::Malformed;
    switch (pacing) {
    case Pacing::AsTyped:
        outcome = sendAsTyped(packet, command.source) ? SendOutcome::Sent : SendOutcome::NotWritten;
        break;
    case Pacing::Plain:
        // The operator is told which control built a packet no camera takes.
        if (allowed())
            outcome = output(packet, command.source, command.client) ? SendOutcome::Sent : SendOutcome::NotWritten;
        break;
    case Pacing::BySockets:
        if (!allowed()) break;
        // A broadcast is the link's own business, and so is an inquiry
        // nobody listens to; the sender's observers hear of the refusal.
        if (LinkCommands::isCameraCommand(packet)) {
            const bool waits = pacer_.mustWait(commandCamera(packet));
            const std::string key = command.key.empty() ? CommandPacer::keyOf(packet) : command.key;
            if (sendPacedItem({packet, key, command.kind, true, command.source, command.client, command.onReply}) != "OK")
                outcome = SendOutcome::NotWritten;
            else outcome = waits ? SendOutcome::Waiting : SendOutcome::Sent;
        } else if (command.onReply && isCameraInquiry(packet)) {
            // Its observers hear of it as it goes out on its turn.
            return inquiryOnTurn(command);
        }
        break;
    case Pacing::Direct: {
        // SD refuses what no camera takes, and tells the operator.
        const bool wellFormed = wellFormedPacket(packet);
        const bool stop = command.kind == CommandPacer::Kind::Stop;
        const int mode = now.value_or(kCommand);
        const int disp = mode == kCommand && stop ? kStop : mode;
        pacing_ = CommandPacer::Item{packet, "", stop ? CommandPacer::Kind::Stop : CommandPacer::Kind::Other,
                                     againWhenRefused, command.source, command.client,
                                     now == kQuiet ? ReplyListener{} : command.onReply};
        const std::string r = SD(packet, disp);
        pacing_.reset();
        outcome = !wellFormed ? SendOutcome::Malformed : r == "OK" ? SendOutcome::Sent : SendOutcome::NotWritten;
        break;
    }
    }
    if (onCommand) onCommand(command, outcome);
    deliverNotices();
    return outcome;
}

std::string CameraLink::SendValues(const std::vector<int>& values, int disp) {
    Bytes bytes;
    if (!ToByteArray(values, bytes)) {
        control_.sent(false);
        return "ERR";
    }
    return SD(bytes, disp);
}

void CameraLink::watchOverdue(int camera, std::initializer_list<double> limits) {
    std::weak_ptr<bool> alive = alive_;
    for (const double limit : limits) {
        platform_.poster.post(limit + 0.01, [this, alive, camera] {
            if (auto a = alive.lock(); a && *a) commandOverdue(camera);
        });
    }
}

void CameraLink::commandOverdue(int camera) {
    tellUnacknowledged();
    const auto [unacknowledged, incomplete] = pacer_.forgetOverdue(camera, platform_.clock.now());
    if (incomplete > 0) chain_.noCompletion(camera, incomplete);
    // Also when nothing was overdue: a refusal's hold may have run out.
    sendWaiting(camera);
    deliverNotices();
}

void CameraLink::tellUnacknowledged() {
    chain_.settle(platform_.clock.now());
    for (const UnacknowledgedCommand& u : chain_.takeUnacknowledged()) {
        appendLog(window_.commandHistory(), trafficBytes(u.packet) + "(no acknowledge from camera " + std::to_string(u.address) +
                                " within 1 s)\r\n");
    }
}

std::string CameraLink::SendPaced(const std::vector<int>& values, const std::string& key, CommandPacer::Kind kind,
                                  std::optional<Source> source) {
    Bytes bytes;
    if (!ToByteArray(values, bytes)) {
        control_.sent(false);
        return "ERR";
    }
    return sendPacedItem({bytes, key, kind, true, source});
}

std::string CameraLink::sendPacedItem(CommandPacer::Item item) {
    const Bytes bytes = item.packet;
    const int camera = bytes.empty() ? 0 : bytes[0] - 0x80;
    if (platform_.port.isOpen() && pacer_.mustWait(camera)) {
        // Its turn comes with the camera's next completion.
        pacer_.wait(camera, std::move(item));
        control_.sent(true);
        return "OK";
    }
    pacing_ = std::move(item);
    std::string r = SD(bytes, kCommand);
    pacing_.reset();
    return r;
}

void CameraLink::sendWaiting(int camera) {
    if (!platform_.port.isOpen()) return;
    while (auto item = pacer_.next(camera)) {
        const int disp = item->kind == CommandPacer::Kind::Stop ? kStop : kCommand;
        pacing_ = *item;
        const Bytes packet = item->packet;
        const std::string r = SD(packet, disp);
        pacing_.reset();
        if (r != "OK") {
            // Its sender was told it waits: it hears that it never went out.
            noteReply(unsent_, *item, CommandReply::Kind::NoAnswer);
            break;
        }
    }
}

std::string CameraLink::Command(const std::vector<int>& body) {
    std::vector<int> values;
    values.reserve(body.size() + 2);
    values.push_back(state_.header());
    values.insert(values.end(), body.begin(), body.end());
    values.push_back(0xFF);
    return SendValues(values, kCommand);
}

namespace {
// A timed-out reply's stand-in, which never passes the callers' checks:
// element i holds i.
Bytes indexFilled(int count) {
    Bytes b;
    for (int i = 0; i < count; ++i) b.push_back(static_cast<std::uint8_t>(i));
    return b;
}
}  // namespace

Async<Bytes> CameraLink::WaitReply(int receiveByte, bool answer) {
    if (receiveByte < 0 && receiveByte != Line::kOnePacket) receiveByte = 0;
    // One exchange waits at a time: another finds the line busy and gets
    // nothing (no time ran out, and no bytes came for it).
    if (waitReplyBusy_ || line_.waiting()) {
        waitBusy_ = true;
        co_return Bytes{};
    }
    waitBusy_ = false;
    waitReplyBusy_ = true;
    Answer a;
    // A closed or lost port cannot deliver: no point waiting for it.
    if (!platform_.port.isOpen()) {
        a.timedOut = true;
    } else {
        a = co_await line_.reply(receiveByte, answer);
    }
    waitTimedOut_ = a.timedOut;
    waitReplyBusy_ = false;
    co_return a.timedOut ? indexFilled(receiveByte) : std::move(a.bytes);
}

void CameraLink::commandReply(const Bytes& reply) {
    appendLog(window_.responseLog(), trafficLine(reply));
    CheckFinishCommand(decodeReply(reply));
}

bool CameraLink::WaitCheck(double waitTime) {
    if (waitTime <= 0) {
        stopwatchArmed_ = false;
        return true;
    }
    if (!stopwatchArmed_) {
        stopwatchArmed_ = true;
        stopwatchStart_ = platform_.clock.now();
        return false;
    }
    // A microsecond of tolerance: a wait that slept until exactly the end
    // time must see it as run out despite rounding.
    if (platform_.clock.now() - stopwatchStart_ >= waitTime - 1e-6) {
        stopwatchArmed_ = false;
        return true;
    }
    return false;
}

void CameraLink::waitForEvents(const std::function<bool()>& condition) { platform_.windows.eventsUntil(condition); }

void CameraLink::runToEnd(Async<void> routine) {
    auto done = std::make_shared<bool>(false);
    tasks_.start([](Async<void> r, std::shared_ptr<bool> d) -> Async<void> {
        co_await std::move(r);
        *d = true;
    }(std::move(routine), done));
    waitForEvents([&done] { return *done; });
}

Async<Bytes> CameraLink::exchange(Bytes packet, int receiveByte, bool answer, int disp) {
    return exchangeOnTurn(link::Command{std::move(packet)}, receiveByte, answer, disp, false);
}

Async<Bytes> CameraLink::exchange(link::Command command, int receiveByte, bool answer) {
    return exchangeOnTurn(std::move(command), receiveByte, answer, kQuiet, true);
}

Async<Bytes> CameraLink::exchangeOnTurn(link::Command command, int receiveByte, bool answer, int disp,
                                        bool controllers) {
    Line::Hold hold = co_await line_.take();
    // Whatever became of the packet, the wait runs as it always did.
    if (controllers) put(command, disp, true);
    else SD(command.packet, disp);
    Bytes reply = co_await WaitReply(receiveByte, answer);
    // The line is the operator's again: what comes now is logged.
    control_.echoOn();
    co_return reply;
}

SendOutcome CameraLink::inquiryOnTurn(const link::Command& command) {
    auto outcome = std::make_shared<std::optional<SendOutcome>>();
    tasks_.start(inquiry(command, outcome));
    // Out now when the line was free; else it waits for its turn (and the
    // routine knows its sender was told so).
    if (!outcome->has_value()) *outcome = SendOutcome::Waiting;
    return **outcome;
}

Async<void> CameraLink::inquiry(link::Command command, std::shared_ptr<std::optional<SendOutcome>> outcome) {
    Line::Hold hold = co_await line_.take();
    const ReplyListener to = command.onReply;
    const SendOutcome sent = put(command, kQuiet, true);
    const bool toldAlready = outcome->has_value();
    *outcome = sent;
    if (sent != SendOutcome::Sent) {
        if (toldAlready) to({CommandReply::Kind::NoAnswer});
        co_return;
    }
    Bytes answer = co_await WaitReply(Line::kOnePacket, true);
    const bool none = waitTimedOut_ || answer.empty();
    control_.echoOn();
    hold.release();
    if (none) to({CommandReply::Kind::NoAnswer});
    else to({CommandReply::Kind::Reply, std::move(answer)});
}

Async<void> CameraLink::pause(double seconds) { co_await line_.pause(seconds); }

Async<void> CameraLink::pauseOneSecond(std::function<void()> each) {
    // The progress line is drawn before and after; the window stays live.
    if (each) each();
    co_await line_.pause(1.0);
    if (each) each();
}

void CameraLink::resumeRefresh() { refresh_.finished(); }

void CameraLink::CheckFinishCommand(const Reply& reply) {
    ++finishChecks_;
    const ReplyClass& c = reply.classes;
    const int camera = reply.camera;
    // The camera's sockets: a refusal ("buffer full") puts its command back
    // in line until the next completion (or a second without one); a
    // completion or another error frees one for what waits.
    const InFlight::Outcome outcome = pacer_.replied(camera, reply, platform_.clock.now());
    noteCommandEnd(camera, outcome);
    if (reply.bufferFull) watchOverdue(camera, {CommandPacer::kAckLimit});
    const std::optional<CommandPacer::Item>& taken = outcome.acknowledged;
    if (c.finished()) {
        if (state_.PresetBusy) {
            const bool ends = !c.inquiryAnswer && (!c.completion || state_.PresetAcked);
            if (ends) {
                window_.clearPresetHighlight(state_.PresetOp, state_.PresetNo);
                control_.presetEnds();
                const bool kappa = drivenModel_ && drivenModel_() == PanTiltModel::Kappa;
                control_.skipRefreshes(kappa ? 1 : 2);
                if (!state_.WBWait) resumeRefresh();
            } else {
                refresh_.stillPending();
            }
        } else {
            control_.whiteBalanceEnds();
            resumeRefresh();
        }
    } else if (c.acknowledge) {
        // A network client's command does not pause the refresh (see SD).
        if (!taken || taken->source != Source::Remote) refresh_.acknowledged();
        control_.acknowledgeArrived();
        // A drive keeps its socket until it is stopped: the status reads go
        // on meanwhile, so the positions follow the motion.
        if (taken && CommandPacer::startsDrive(taken->packet) && !state_.PresetBusy && !state_.WBWait) resumeRefresh();
    } else if (c.networkChange) {
        platform_.windows.message({MsgIcon::Exclamation, "Warning",
                                   "Network Change was received.\r\n"
                                   "Please implement IF_Clear (broadcast), AddressSet command.",
                                   MsgButtons::Ok, true});
    }
    if (outcome.unended > 0) chain_.noCompletion(camera, outcome.unended);
    if (c.completion || c.error || outcome.givenUp > 0 || outcome.unended > 0) sendWaiting(camera);
    deliverNotices();
}

}  // namespace orbus::link
