// The line meaning and the chain's health on whatever the logs and the line
// may hold: camera garbage, cut lines, text that is not traffic.
// Meanings are read as the running panel gives them, its windows naming the
// controls. Properties: a meaning is one line of text (UTF-8: the camera's
// title characters come as the camera shows them; no control characters),
// names no window by its code name, and is never empty for a line that
// holds traffic; a caret anywhere in a log is answered, and only an
// answer line is tied to an inquiry; the health's counters (a garbled answer
// taken back included) only grow and its packet buffers stay bounded.
#include "link/chain_health.h"
#include "status/identify.h"
#include "app/meaning.h"
#include "fuzz_support.h"
#include "link/packet.h"
#include "app/testing/rig.h"

using namespace orbus;

namespace {
// The panel whose windows lend the controls their captions, made once.
const orbus::testing::Rig& captionedPanel() {
    static const orbus::testing::Rig rig({"ORX-Kappa"});
    return rig;
}

// The length of the UTF-8 sequence a byte starts, 0 for a byte that starts none.
int sequenceLength(unsigned char c) {
    if (c < 0x80) return 1;
    if (c >= 0xC2 && c <= 0xDF) return 2;
    if (c >= 0xE0 && c <= 0xEF) return 3;
    if (c >= 0xF0 && c <= 0xF4) return 4;
    return 0;
}

void printable(const std::string& s) {
    // What broke a property is shown before the property's name.
    const auto check = [&s](bool holds, const char* property) {
        if (!holds) std::fprintf(stderr, "meaning: %s\n", s.c_str());
        fuzz::check(holds, property);
    };
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        const int n = sequenceLength(c);
        check(n > 0 && i + static_cast<std::size_t>(n) <= s.size(), "a meaning is UTF-8 text");
        for (int k = 1; k < n; ++k)
            check((static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]) & 0xC0) == 0x80, "a meaning is UTF-8 text");
        check(n > 1 || (c >= 0x20 && c != 0x7F), "a meaning is one line with no control characters");
        i += static_cast<std::size_t>(n);
    }
    for (const Form* f : captionedPanel().program->forms()) {
        if (f) check(s.find(f->name() + ".") == std::string::npos, "a meaning names no window by its code name");
    }
    check(s.find("Form_Load") == std::string::npos, "a meaning names no window by its code name");
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    (void)captionedPanel();
    fuzz::Input in(data, size);
    const std::uint8_t how = in.byte();
    const Bytes raw = in.piece(64);
    // The bytes as a log line and as packets.
    const std::string line = trafficBytes(raw);
    const std::string m = lineMeaning(line, (how & 1) ? LineSide::Sent : LineSide::Received);
    printable(m);
    fuzz::check(raw.empty() == m.empty(), "a line of traffic has a meaning, an empty one none");
    printable(packetMeaning(raw, LineSide::Sent));
    const AnswerOrigin asked{in.piece(16)};
    printable(packetMeaning(raw, LineSide::Received, &asked));

    // Any text as the reply log, its answer lines recorded as they were
    // written, with the caret anywhere.
    const Bytes a = in.piece(200), b = in.piece(200);
    const std::string replies(a.begin(), a.end()), commands(b.begin(), b.end());
    AnswerLedger ledger;
    for (std::size_t end = replies.find('\n'); end != std::string::npos; end = replies.find('\n', end + 1)) {
        const auto bytes = trafficLineBytes(lineAt(replies, end));
        if (bytes && isInquiryAnswer(*bytes)) ledger.add(*bytes, (end & 1) ? std::nullopt : std::optional(asked));
    }
    const std::size_t pos = replies.empty() ? 0 : in.byte() % (replies.size() + 2);
    const auto origin = ledger.originAt(replies, pos);
    if (origin) {
        const auto line = trafficLineBytes(lineAt(replies, pos));
        fuzz::check(line && isInquiryAnswer(*line), "only an answer line has an origin");
    }
    printable(lineMeaning(lineAt(replies, pos), LineSide::Received, origin ? &*origin : nullptr));
    printable(lineMeaning(lineAt(commands, pos), LineSide::Sent));

    // The same bytes through the chain's health, in pieces.
    ChainHealth h{{&versionModelName, &answerLength}};
    double t = 0;
    long before = 0;
    while (!in.empty()) {
        const std::uint8_t step = in.byte();
        const Bytes piece = in.piece(40);
        t += (step >> 2) * 0.05;
        if (step & 1) h.sent(piece, t);
        else h.received(piece, t);
        if (step & 2) h.settle(t);
        if ((step & 0x83) == 0x80) h.garbledAnswer(piece.empty() ? 0 : piece[0] % 9, t);
        if (!(step & 1)) {
            const std::string log = trafficBytes(piece);
            h.replyLogged(piece);
            const auto origin = h.answerOrigin(log, log.size());
            printable(lineMeaning(log, LineSide::Received, origin ? &*origin : nullptr));
        }
        long total = h.garbled();
        for (int c = 1; c <= ChainHealth::kCameras; ++c) {
            const CameraHealth& ch = h.camera(c);
            total += ch.commands + ch.inquiries + ch.acknowledges + ch.completions + ch.answers + ch.timeouts +
                     ch.errorCount();
            fuzz::check(ch.lastLatency < 0 || ch.lastLatency <= t, "a latency is never longer than the run");
            (void)h.state(c, t);
        }
        fuzz::check(total >= before, "the counters only grow");
        before = total;
        fuzz::check(h.found() >= -1 && h.found() <= 254, "the cameras found come from one byte");
    }
    return 0;
}
