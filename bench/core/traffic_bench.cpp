// The cost of reading the line: the meaning of one log line (asked on every
// caret move and tool tip), and the chain's health kept for every packet
// that passes the port (paid whether "Chain Status" is open or not).
#include <benchmark/benchmark.h>

#include "link/chain_health.h"
#include "status/identify.h"
#include "app/meaning.h"

using namespace orbus;

namespace {

void BM_MeaningOfACommandLine(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(lineMeaning("81 01 04 47 01 02 03 04 FF ", LineSide::Sent));
}
BENCHMARK(BM_MeaningOfACommandLine);

void BM_MeaningOfAnAnswerInAFullLog(benchmark::State& state) {
    // A reply log at its 1000-character limit, each answer recorded with
    // the power inquiry it answered; the first line is asked, so every
    // later line is counted.
    AnswerLedger ledger;
    std::string replies;
    while (replies.size() < 1000) {
        replies += "90 50 02 FF \r\n90 41 FF \r\n90 51 FF \r\n";
        ledger.add({0x90, 0x50, 0x02, 0xFF}, AnswerOrigin{{0x81, 0x09, 0x04, 0x00, 0xFF}});
    }
    for (auto _ : state) {
        const auto origin = ledger.originAt(replies, 0);
        benchmark::DoNotOptimize(lineMeaning(lineAt(replies, 0), LineSide::Received, origin ? &*origin : nullptr));
    }
}
BENCHMARK(BM_MeaningOfAnAnswerInAFullLog);

void BM_HealthPerCommandAndReplies(benchmark::State& state) {
    ChainHealth h{{&versionModelName, &answerLength}};
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
