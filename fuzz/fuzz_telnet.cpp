// What a device server may send over a COM-PORT connection, cut anywhere:
// the Telnet reader of the network port. Properties: the camera's bytes and
// the answers do not depend on where the reads were cut; no more camera
// bytes come out than went in; every answer is a whole Telnet command (three
// bytes, or a COM-PORT request from IAC SB to IAC SE) and their total stays
// bounded; and camera bytes escaped by the panel's own rule read back as
// they were, whatever came before them.
#include "fuzz_support.h"
#include "platform/telnet_com_port.h"

using namespace orbus;

namespace {

struct Read {
    Bytes data, answer;
};

Read readInPieces(TelnetComPort& t, const Bytes& in, const Bytes& cuts) {
    Read r;
    std::size_t pos = 0, c = 0;
    while (pos < in.size()) {
        std::size_t n = cuts.empty() ? in.size() : 1 + cuts[c++ % cuts.size()] % 16;
        n = std::min(n, in.size() - pos);
        const Bytes d = t.receive(in.data() + pos, n, r.answer);
        r.data.insert(r.data.end(), d.begin(), d.end());
        pos += n;
    }
    return r;
}

bool wholeCommands(const Bytes& a) {
    std::size_t i = 0;
    while (i < a.size()) {
        if (a[i] != TelnetComPort::IAC || i + 1 >= a.size()) return false;
        const std::uint8_t verb = a[i + 1];
        if (verb >= TelnetComPort::WILL && verb <= TelnetComPort::DONT) {
            if (i + 2 >= a.size()) return false;
            i += 3;
            continue;
        }
        if (verb != TelnetComPort::SB) return false;
        // To the first IAC SE, a doubled IAC being a value byte.
        std::size_t j = i + 2;
        for (;;) {
            if (j + 1 >= a.size()) return false;
            if (a[j] == TelnetComPort::IAC && a[j + 1] == TelnetComPort::IAC) {
                j += 2;
            } else if (a[j] == TelnetComPort::IAC) {
                if (a[j + 1] != TelnetComPort::SE) return false;
                break;
            } else {
                ++j;
            }
        }
        i = j + 2;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input in(data, size);
    const Bytes cuts = in.piece(16);
    const Bytes camera = in.piece(64);
    const Bytes server = in.rest();

    LineSettings s;
    s.baud = 9600 + cuts.size();
    TelnetComPort whole, pieces;
    (void)whole.start(s);
    (void)pieces.start(s);
    const Read a = readInPieces(whole, server, {});
    const Read b = readInPieces(pieces, server, cuts);
    fuzz::check(a.data == b.data && a.answer == b.answer, "the reading does not depend on the cuts");
    fuzz::check(a.data.size() <= server.size(), "no more camera bytes than bytes read");
    fuzz::check(wholeCommands(a.answer), "every answer is a whole Telnet command");
    fuzz::check(a.answer.size() <= 64 * server.size() + 64, "the answers stay bounded");
    fuzz::check(whole.serverBaud() >= 0, "a speed the server gave is never negative");

    // Whatever came before, camera bytes after two ends of subnegotiation
    // (which end any half-read command or subnegotiation) read exactly.
    const Bytes end{TelnetComPort::IAC, TelnetComPort::SE, TelnetComPort::IAC, TelnetComPort::SE};
    Bytes tail = end;
    const Bytes escaped = TelnetComPort::escape(camera);
    tail.insert(tail.end(), escaped.begin(), escaped.end());
    const Read c = readInPieces(pieces, tail, cuts);
    fuzz::check(c.data.size() >= camera.size() &&
                    std::equal(camera.begin(), camera.end(), c.data.end() - static_cast<long>(camera.size())),
                "escaped camera bytes read back as they were");
    return 0;
}
