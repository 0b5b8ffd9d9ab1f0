// The simulator's packet handling (orbus-camsim serves it to any program):
// a chain of one to seven cameras fed any bytes, instant or timed (two
// command sockets, execution time, completions released as time passes).
// Properties: every reply it puts on the line is one well-formed packet: a
// header with the high bit set, one FF at its end and none before (a
// broadcast it does not know comes back round the chain as it was).
#include "chain.h"
#include "fuzz_support.h"

using namespace orbus;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input in(data, size);
    std::vector<std::string> models;
    const int n = 1 + in.byte() % 7;
    models.reserve(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) models.push_back(sim::cameraModels()[in.byte() % sim::cameraModels().size()].name);
    sim::Chain chain(models);
    chain.timed = in.byte() & 1;
    bool ok = true;
    chain.trace = [&ok](const char* dir, const sim::Bytes& b) {
        if (std::string(dir) != "->") return;
        bool whole = b.size() >= 2 && (b.front() & 0x80) && b.back() == 0xFF;
        for (std::size_t i = 0; i + 1 < b.size(); ++i) whole = whole && b[i] != 0xFF;
        ok = ok && whole;
    };
    double t = 0;
    while (!in.empty()) {
        const sim::Bytes piece = in.piece(64);
        chain.receive(piece, t, chain.baud);
        t += 0.05 + in.byte() * 0.01;
        chain.advance(t);
        fuzz::check(ok, "every reply is one well-formed packet");
    }
    // Whatever was held (a drive running to its end) comes out in the end.
    for (int i = 0; i < 64 && chain.nextDue() >= 0; ++i) chain.advance(chain.nextDue());
    fuzz::check(ok, "every reply is one well-formed packet");
    return 0;
}
