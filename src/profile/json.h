// A small JSON reader and writer for the panel's own files. The reader is
// strict: one value and nothing after it, no name given twice in an object,
// text in UTF-8, nesting no deeper than a limit; a problem is named with
// the line it is on. Numbers keep the text they were written with, so a
// reader can tell 10 from 10.0 and name a value as it was found.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orbus::json {

struct Member;

struct Value {
    enum class Type { Null, Bool, Number, String, Array, Object };

    Type type = Type::Null;
    bool boolean = false;        // Bool
    std::string text;            // String: the text (UTF-8); Number: as written
    std::vector<Value> items;    // Array
    std::vector<Member> members; // Object, in the order written
    int line = 0;                // where the value begins (read values only)

    static Value makeBool(bool b);
    static Value makeInteger(long long n);
    static Value makeText(std::string_view s);
    static Value makeArray();
    static Value makeObject();

    // The member of that name, or nothing (Object only).
    const Value* find(std::string_view name) const;
    // Appends a member (Object only; the caller keeps names unique).
    Value& add(std::string name, Value value);

    // The number when it is written as a whole number (no fraction, no
    // exponent) that fits; nothing otherwise.
    std::optional<long long> integer() const;
};

struct Member {
    std::string name;
    Value value;
};

// The value as a reader would name it in a message: numbers and literals
// as written, a text in quotes (long ones cut short), "a list", "an object".
std::string describe(const Value& value);

struct Parsed {
    std::optional<Value> value;
    std::string error;  // "line 4: a value was expected"
};
Parsed parse(std::string_view text, int maxDepth = 32);

// A text in quotes with what must be escaped escaped; bytes that are not
// UTF-8 become U+FFFD, so what is written can always be read back.
std::string quote(std::string_view text);
// The value as a document: objects and lists one member per line, indented
// by two blanks a level, empty ones as {} and []; no newline at the end.
std::string write(const Value& value);

}  // namespace orbus::json
