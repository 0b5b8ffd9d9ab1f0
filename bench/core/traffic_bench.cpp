// The cost of reading the line: the meaning of one log line (asked on every
// caret move and tool tip), and the chain's health kept for every packet
// that passes the port (paid whether "Chain Status" is open or not).
#include <benchmark/benchmark.h>

#include "app/chain_health.h"
#include "app/meaning.h"

using namespace orbus;

namespace {

void BM_MeaningOfACommandLine(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(lineMeaning("81 01 04 47 01 02 03 04 FF ", LineSide::Sent));
}
BENCHMARK(BM_MeaningOfACommandLine);

void BM_MeaningOfAnAnswerInAFullLog(benchmark::State& state) {
    // Logs at their 1000-character limit.
    std::string commands, replies;
    while (commands.size() < 1000) commands += "81 09 04 00 FF \r\n81 01 04 0B 02 FF \r\n";
    while (replies.size() < 1000) replies += "90 50 02 FF \r\n90 41 FF \r\n90 51 FF \r\n";
    for (auto _ : state) {
        const auto inquiry = inquiryAnswered(replies, 0, commands);
        benchmark::DoNotOptimize(lineMeaning(lineAt(replies, 0), LineSide::Received, inquiry ? &*inquiry : nullptr));
    }
}
BENCHMARK(BM_MeaningOfAnAnswerInAFullLog);

void BM_HealthPerCommandAndReplies(benchmark::State& state) {
    ChainHealth h;
    double t = 0;
    const Bytes command{0x81, 0x01, 0x04, 0x0B, 0x02, 0xFF};
    const Bytes replies{0x90, 0x41, 0xFF, 0x90, 0x51, 0xFF};
    for (auto _ : state) {
        h.sent(command, t);
        h.received(replies, t + 0.01);
        t += 0.1;
    }
    benchmark::DoNotOptimize(h.camera(1).completions);
}
BENCHMARK(BM_HealthPerCommandAndReplies);

}  // namespace
