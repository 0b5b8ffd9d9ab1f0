// The camera link: writes packets, paces commands by the cameras' sockets,
// waits for replies without holding the window, classifies what comes back
// and owns the refresh state. Every exchange with a camera goes through it.
#pragma once

#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "link/async.h"
#include "link/command_end.h"
#include "link/command_sink.h"
#include "link/line.h"
#include "link/link_state.h"
#include "link/link_window.h"
#include "link/pacer.h"
#include "link/refresh_state.h"
#include "link/reply.h"
#include "link/send_mode.h"
#include "platform/model_code.h"
#include "platform/serial_port.h"

namespace orbus {

class ChainHealth;
struct Platform;

namespace link {

class CameraLink {
public:
    // `refreshTimer` runs the periodic status read, `watchdog` resumes the
    // refresh after a command whose completion never came.
    CameraLink(LinkWindow& window, LinkState& state, ChainHealth& chain, Platform& platform, Timer& refreshTimer,
               Timer& watchdog);
    ~CameraLink();
    CameraLink(const CameraLink&) = delete;
    CameraLink& operator=(const CameraLink&) = delete;

    // ---- sending -----------------------------------------------------------------
    // Writes one packet; "OK" when written, "NG" when refused.
    std::string SD(const Bytes& byteString, int disp);
    // Builds a packet from small integers and sends it with SD. A value
    // outside 0..255 refuses the packet: nothing is sent, SendOK is cleared
    // and "ERR" is returned.
    std::string SendValues(const std::vector<int>& values, int disp);
    // Sends a command to the driven camera: header byte, body, terminator.
    std::string Command(const std::vector<int>& body);
    // A main-window command, paced by the camera's command sockets: out now
    // when a socket is free and nothing waits, else it waits its turn (a
    // slider's value replacing the older value of its `key` still waiting;
    // a stop going first). "OK" when sent or waiting, else as SendValues.
    // `source`: the controller that sent it (nothing: the panel's own).
    std::string SendPaced(const std::vector<int>& values, const std::string& key, CommandPacer::Kind kind,
                          std::optional<Source> source = std::nullopt);
    // A packet the panel built may go out (well formed); otherwise the
    // operator is told which control built it.
    bool outgoingAllowed(const Bytes& packet);
    // The port did not take a logged packet: the operator is told, once.
    void notWritten();
    // Sends the hexadecimal digits typed into the console as they are.
    std::string sendTyped(const std::string& digits);
    // The bytes of typed hexadecimal digits, two to a byte; a digit that is
    // none counts as 0 and an odd last digit is left out.
    static Bytes typedBytes(const std::string& digits);

    // ---- controllers' packets ----------------------------------------------------
    // Every packet a controller hands to the command interface goes out
    // through here: checked (the console's typed bytes excepted), sent as
    // its pacing says, its source kept with it while the port takes it,
    // and onCommand told what became of it.
    SendOutcome put(const link::Command& command);
    std::function<void(const link::Command&, SendOutcome)> onCommand;
    // The controller whose packet the port is taking at this moment, for
    // those who record what passes the port; nothing while it takes the
    // panel's own (a status read, the address set, start-up).
    std::optional<Source> writer() const { return writer_; }
    // The remote client whose packet the port is taking ("" for any other).
    const std::string& writerClient() const { return writerClient_; }

    // ---- waiting -----------------------------------------------------------------
    // Waits up to a second for `receiveByte` bytes, without holding the
    // window (co_await it). Waiting for an inquiry's `answer`, a command's
    // acknowledge, completion or error that comes first or right behind is
    // handed to the completion check, and the wait goes on.
    Async<Bytes> WaitReply(int receiveByte, bool answer = false);
    // One exchange on its turn of the line: sends the packet (SD mode
    // `disp`) and waits for `receiveByte` bytes as WaitReply does.
    Async<Bytes> exchange(Bytes packet, int receiveByte, bool answer, int disp = kQuiet);
    // A controller's exchange: as above, its packet sent quietly through put().
    Async<Bytes> exchange(link::Command command, int receiveByte, bool answer);
    // Sends a command (header .. FF) to its camera now and waits, beside
    // the window, for its end: the completion, an error, or none within
    // the completion limit. A "buffer full" refusal is sent again after the
    // camera's next completion or a short pause, a few times at most.
    // Logged and paced like an operator's command. A packet that is no
    // command to one camera (an inquiry, a broadcast) is not sent. A port
    // that goes away ends the wait: NoReply while the camera may be
    // carrying the command out, NotSent while a refused one waits to be
    // tried again.
    Async<CommandEnd> commandToEnd(Bytes packet);
    // A controller's awaited command: as above, each send through put().
    Async<CommandEnd> commandToEnd(link::Command command);
    // Sends of one awaited command, the first included; the longest wait
    // before another after a refusal.
    static constexpr int kCommandTries = 3;
    static constexpr double kRefusedPause = 0.5;
    // A pause that does not hold the window.
    Async<void> pause(double seconds);
    // One-second pause; `each` runs before and after it.
    Async<void> pauseOneSecond(std::function<void()> each = {});
    // The last WaitReply ran out of time (its result is the stand-in array).
    bool lastWaitTimedOut() const { return waitTimedOut_; }
    // The last WaitReply found another wait under way: it waited for
    // nothing and its result is empty.
    bool lastWaitBusy() const { return waitBusy_; }
    // The stopwatch of busy waits: false until `waitTime` seconds have run
    // since the first call.
    bool WaitCheck(double waitTime);
    // Keeps handling events until the condition holds.
    void waitForEvents(const std::function<bool()>& condition);
    // Runs a routine to its end, handling events meanwhile (the window
    // stays live): for callers that need a result in place, such as tests.
    template <class T>
    T runToEnd(Async<T> routine) {
        // Shared: should the program end first, the routine outlives this call.
        auto out = std::make_shared<std::optional<T>>();
        tasks_.start([](Async<T> r, std::shared_ptr<std::optional<T>> o) -> Async<void> {
            *o = co_await std::move(r);
        }(std::move(routine), out));
        waitForEvents([&out] { return out->has_value(); });
        return *out ? std::move(**out) : T{};
    }
    void runToEnd(Async<void> routine);

    // ---- receiving and classifying ----------------------------------------------
    // Bytes are waiting at the port: handed to the line from the event queue.
    void portReceived();
    // Echoes received bytes into the response log (while the echo is on)
    // and classifies each completed reply (unless `classify` is false: bytes
    // a dialog shows, which are neither framed nor classified).
    void EchoReceived(const Bytes& bytes, bool classify = true);
    // A command's reply met while waiting for an inquiry's answer: logged
    // and classified as if it had come on its own.
    void commandReply(const Bytes& reply);
    // What one framed reply means for the commands in flight, the refresh
    // and a pending preset.
    // Empties both logs (the operator's "Clear Txt").
    void clearLogs();
    void CheckFinishCommand(const Reply& reply);
    // Replies classified so far (each 0xFF received through the receive path).
    long finishChecks() const { return finishChecks_; }

    // ---- refresh -------------------------------------------------------------------
    // Auto refresh is on ("Auto").
    bool autoCaption() const { return refresh_.autoOn(); }
    void resumeRefresh();
    // The watchdog ran out: a pending preset ends, the refresh resumes and
    // commands never completed free their sockets.
    void watchdog();

    // ---- the port and the chain -----------------------------------------
    // The port's device went away: false when that was known already.
    // Otherwise the port is closed and dropLostPort() is owed.
    bool closeLostPort();
    // Drops what rode on the lost port and tells the operator.
    void dropLostPort();
    // The port was opened again.
    void portBack();
    // The port went away and has not been opened again since.
    bool portLost() const { return portLost_; }
    // The address-set broadcast on its turn of the line: the number of
    // cameras the chain answered with, or nothing.
    Async<std::optional<int>> addressSetExchange();

    // ---- the link's state ----------------------------------------------------------
    // Read by the windows; changed only through the link's named events.
    const LinkState& state() const { return state_; }
    LinkControl& control() { return control_; }

    // ---- parts ---------------------------------------------------------------------
    Line& line() { return line_; }
    Tasks& tasks() { return tasks_; }
    Refresh& refresh() { return refresh_; }
    CommandPacer& pacer() { return pacer_; }
    // Nothing is under way on the line: no routine waits, none is queued.
    bool idle() const { return tasks_.running() == 0 && !line_.held(); }
    // Ends the routines still waiting; posted work is dropped.
    void close();
    // Where the link learns the driven camera's pan-tilt model (None when
    // unknown): the reads skipped after a memory preset depend on it.
    void drivenModelFrom(std::function<PanTiltModel()> model) { drivenModel_ = std::move(model); }

private:
    // put() for a packet that goes out now whatever its pacing when `now`
    // names its SD mode (an exchange's is quiet); an awaited command's
    // refusal is not sent again from the pacer's queue.
    SendOutcome put(const link::Command& command, std::optional<int> now, bool againWhenRefused);
    // The console's bytes as typed: true when the port took them.
    bool sendAsTyped(const Bytes& bytes, Source source);
    // Writes to the port with the writer known meanwhile.
    bool output(const Bytes& bytes, std::optional<Source> source, const std::string& client = {});
    std::optional<Source> writer_;
    std::string writerClient_;
    // A paced command, as SendPaced sends it.
    std::string sendPacedItem(CommandPacer::Item item);
    // A controller's inquiry with a listener, on its turn of the line: the
    // listener hears its answer or error, or NoAnswer.
    SendOutcome inquiryOnTurn(const link::Command& command);
    Async<void> inquiry(link::Command command, std::shared_ptr<std::optional<SendOutcome>> outcome);
    // Tells the commands' listeners what they are owed.
    void deliverNotices();
    // Owed to listeners of commands that waited and then did not go out.
    std::vector<ReplyNotice> unsent_;
    // Both kinds of each: a controller's (through put()), or the panel's own
    // (only the command's packet counts).
    Async<CommandEnd> awaitEnd(link::Command command, bool controllers);
    Async<Bytes> exchangeOnTurn(link::Command command, int receiveByte, bool answer, int disp, bool controllers);
    void appendLog(TextBox& box, const std::string& text);
    // The two logs' texts as the link wrote them; the boxes show them and
    // are never read back.
    std::string sentLog_, receivedLog_;
    // The bytes of the response log's open line, as it shows them: what an
    // answer line holds is learnt from these, never read back from the text.
    Bytes logLine_;
    void logLineByte(std::uint8_t b);
    // Sends what waits for the camera's free sockets.
    void sendWaiting(int camera);
    // Writes a Command History line for each command no acknowledge came for.
    void tellUnacknowledged();
    // A command of this camera may be overdue: told, given up, and what
    // waited for its socket sent.
    void commandOverdue(int camera);

    // Routines awaiting a command's end or a camera's free socket
    // (command_end.cpp).
    struct EndWait;
    // A reply of `camera` classified: the routine awaiting what it ended
    // goes on, and so do those waiting for the camera's free socket.
    void noteCommandEnd(int camera, const InFlight::Outcome& outcome);
    // The overdue checks of a command, or of a refusal, of this camera.
    void watchOverdue(int camera, std::initializer_list<double> limits);
    // The port went away: every routine awaiting a camera goes on.
    void endWaitsPortGone();
    // The routines are let go without going on (the link closes).
    void dropEndWaits();

    LinkWindow& window_;
    const LinkState& state_;
    LinkControl control_;
    ChainHealth& chain_;
    Platform& platform_;
    std::function<PanTiltModel()> drivenModel_;
    bool waitReplyBusy_ = false;
    bool waitTimedOut_ = false;
    bool waitBusy_ = false;
    long finishChecks_ = 0;
    // The reply being received, framed from the bytes (never from the log).
    Bytes frame_;
    // Longer runs without a terminator are garbage: their start is dropped.
    static constexpr std::size_t kLongestFrame = 512;
    bool portLost_ = false;
    bool notWrittenTold_ = false;  // the operator knows the port takes nothing
    bool stopwatchArmed_ = false;
    double stopwatchStart_ = 0;
    Line line_;
    Refresh refresh_;
    CommandPacer pacer_;
    // The pacing of the command SD is writing (a paced one's key and kind).
    std::optional<CommandPacer::Item> pacing_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    std::vector<EndWait*> endWaits_;
    long nextEndId_ = 1;
    // The awaited command SD is writing (InFlight::kUnawaited: none).
    long sendingEndId_ = InFlight::kUnawaited;
    // Last: its routines are destroyed before the line they wait on.
    Tasks tasks_;
};

}  // namespace link
}  // namespace orbus
