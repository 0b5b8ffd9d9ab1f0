#include "link/answer_ledger.h"

#include "link/packet.h"

namespace orbus {

// The shortest answer line is "90 50 02 FF \r\n".
static_assert(AnswerLedger::kEntries > kLogLimit / 14);

void AnswerLedger::add(Bytes answer, std::optional<AnswerOrigin> origin) {
    if (entries_.size() == kEntries) entries_.erase(entries_.begin());
    entries_.push_back({std::move(answer), std::move(origin)});
}

std::optional<AnswerOrigin> AnswerLedger::originAt(std::string_view replyLog, std::size_t pos) const {
    const std::string_view line = lineAt(replyLog, pos);
    const auto answer = trafficLineBytes(line);
    if (!answer || !isInquiryAnswer(*answer)) return std::nullopt;
    // Answer lines after this one, to the end of the log.
    std::size_t later = 0;
    std::size_t begin = static_cast<std::size_t>(line.data() - replyLog.data()) + line.size();
    while ((begin = replyLog.find('\n', begin)) != std::string_view::npos) {
        ++begin;
        const auto bytes = trafficLineBytes(lineAt(replyLog, begin));
        if (bytes && isInquiryAnswer(*bytes)) ++later;
    }
    if (later >= entries_.size()) return std::nullopt;
    const Entry& e = entries_[entries_.size() - 1 - later];
    if (e.answer != *answer) return std::nullopt;
    return e.origin;
}

}  // namespace orbus
