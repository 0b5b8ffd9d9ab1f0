// The answer lines of the reply log, each tied to the inquiry it answered.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/serial_port.h"

namespace orbus {

// What an inquiry answer answered: the inquiry that was outstanding for its
// camera when the answer arrived; empty when none was.
struct AnswerOrigin {
    Bytes inquiry;
};

// The answer lines of the reply log, each tied to what it answered as it was
// written. A line is found by counting answer lines from the end of the log,
// so the log may lose its start to the length limit, or be emptied, without
// upsetting the pairs; an entry whose bytes differ from its line pairs
// nothing.
class AnswerLedger {
public:
    // An answer line was written to the end of the reply log; `origin`
    // empty: what it answered is not known.
    void add(Bytes answer, std::optional<AnswerOrigin> origin);
    // What the answer on the line of `replyLog` at `pos` answered; nothing
    // when the line holds no answer or nothing was recorded for it.
    std::optional<AnswerOrigin> originAt(std::string_view replyLog, std::size_t pos) const;

    // More answer lines than a full log can hold.
    static constexpr std::size_t kEntries = 80;

private:
    struct Entry {
        Bytes answer;
        std::optional<AnswerOrigin> origin;
    };
    std::vector<Entry> entries_;  // oldest first
};

}  // namespace orbus
