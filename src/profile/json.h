// JSON for the panel's own files, on top of nlohmann-json. Reading is
// strict: one value and nothing after it, no name given twice in an object,
// text in UTF-8, nesting no deeper than a limit; a problem is named in the
// panel's own words with the line it is on. Numbers keep the text they
// were written with, so a reader can tell 10 from 10.0 and name a value as
// it was found.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include <nlohmann/json.hpp>

namespace orbus::json {

// Objects keep their members in the order written.
using Json = nlohmann::ordered_json;

// A document read, with the text each number was written with.
class Document {
public:
    Document();
    const Json& root() const { return *root_; }

    // The value as a reader would name it in a message: numbers and
    // literals as written, a text in quotes (long ones cut short), "a
    // list", "an object". The value is this document's or one made apart.
    std::string describe(const Json& value) const;

private:
    friend struct Reading;
    std::unique_ptr<Json> root_;  // on the heap, so the values keep their place when moved
    std::unordered_map<const Json*, std::string> written_;  // numbers whose text is not dump()'s
};

struct Parsed {
    std::optional<Document> document;
    std::string error;  // "line 4: a value was expected"
};
Parsed parse(std::string_view text, int maxDepth = 32);

// The number when it is a whole number as written (no fraction, no
// exponent) that fits; nothing otherwise.
std::optional<long long> integer(const Json& value);

// A text in quotes with what must be escaped escaped; bytes that are not
// UTF-8 become U+FFFD, so what is written can always be read back.
std::string quote(std::string_view text);
// The value as a document: objects and lists one member per line, indented
// by two blanks a level, empty ones as {} and []; no newline at the end.
std::string write(const Json& value);

}  // namespace orbus::json
