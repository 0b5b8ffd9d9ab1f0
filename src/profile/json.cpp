#include "profile/json.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <iterator>
#include <unordered_set>
#include <vector>

namespace orbus::json {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The length of the well-formed UTF-8 character at `i` (no overlong forms,
// no surrogates, nothing past U+10FFFF); 0 when there is none.
std::size_t utf8Length(std::string_view s, std::size_t i) {
    const auto at = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char c = at(i);
    if (c < 0x80) return 1;
    std::size_t n = 0;
    unsigned lo = 0x80, hi = 0xBF;  // the range of the second byte
    if (c >= 0xC2 && c <= 0xDF) n = 2;
    else if (c == 0xE0) n = 3, lo = 0xA0;
    else if (c >= 0xE1 && c <= 0xEC) n = 3;
    else if (c == 0xED) n = 3, hi = 0x9F;
    else if (c >= 0xEE && c <= 0xEF) n = 3;
    else if (c == 0xF0) n = 4, lo = 0x90;
    else if (c >= 0xF1 && c <= 0xF3) n = 4;
    else if (c == 0xF4) n = 4, hi = 0x8F;
    else return 0;
    if (i + n > s.size()) return 0;
    if (at(i + 1) < lo || at(i + 1) > hi) return 0;
    for (std::size_t k = 2; k < n; ++k)
        if (at(i + k) < 0x80 || at(i + k) > 0xBF) return 0;
    return n;
}

// The text with each byte that is not part of a UTF-8 character replaced
// by U+FFFD, one for one.
std::string validUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t n = utf8Length(text, i);
        if (n == 0) {
            out += "\xEF\xBF\xBD";
            ++i;
        } else {
            out.append(text.substr(i, n));
            i += n;
        }
    }
    return out;
}

// The value with its texts and names made UTF-8.
Json withValidTexts(const Json& value) {
    if (value.is_string()) return validUtf8(value.get_ref<const std::string&>());
    if (value.is_array()) {
        Json out = Json::array();
        for (const Json& item : value) out.push_back(withValidTexts(item));
        return out;
    }
    if (value.is_object()) {
        Json out = Json::object();
        for (const auto& [name, item] : value.items()) out[validUtf8(name)] = withValidTexts(item);
        return out;
    }
    return value;
}

// The library writes DEL as it is; the panel has always escaped it, and a
// DEL byte in a written document can only stand inside a text.
std::string escapeDel(std::string s) {
    if (s.find('\x7F') == std::string::npos) return s;
    std::string out;
    out.reserve(s.size() + 8);
    for (const char c : s) {
        if (c == '\x7F') out += "\\u007f";
        else out += c;
    }
    return out;
}

std::string dumped(const Json& value, int indent) {
    return escapeDel(withValidTexts(value).dump(indent, ' ', false, Json::error_handler_t::replace));
}

}  // namespace

// Builds the document from the library's reading events and puts each
// problem in the panel's words with its line. Where the reader stands is
// known from the characters it has taken from the text so far.
struct Reading {
    using NumberInteger = Json::number_integer_t;
    using NumberUnsigned = Json::number_unsigned_t;
    using NumberFloat = Json::number_float_t;

    // Walks the text for the library, noting how far it has read and
    // whether it has looked past the end.
    struct Cursor {
        using iterator_category = std::forward_iterator_tag;
        using value_type = char;
        using difference_type = std::ptrdiff_t;
        using pointer = const char*;
        using reference = const char&;

        const char* at = nullptr;
        Reading* reading = nullptr;

        reference operator*() const { return *at; }
        Cursor& operator++() {
            ++at;
            ++reading->taken;
            return *this;
        }
        Cursor operator++(int) {
            Cursor was = *this;
            ++*this;
            return was;
        }
        bool operator==(const Cursor& other) const {
            if (at == other.at) reading->sawEnd = true;
            return at == other.at;
        }
        bool operator!=(const Cursor& other) const { return !(*this == other); }
    };

    Reading(std::string_view text, int maxDepth) : text(text), maxDepth(maxDepth) {}

    std::string_view text;
    int maxDepth;
    std::size_t taken = 0;  // characters the library has read
    bool sawEnd = false;    // it has looked past the last one

    Document document;
    std::vector<Json*> open;  // the lists and objects being read, innermost last
    std::vector<std::unordered_set<std::string>> names;  // per open one: the names given (lists: none)
    Json* slot = nullptr;     // where an object's next member goes
    bool done = false;        // the one value of the document is complete
    std::vector<std::string> numberTexts;  // every number as written, in order

    // A name given twice: refused once its value is read, as a problem
    // inside that value comes first.
    std::size_t twiceDepth = 0;
    int twiceLine = 0;
    std::string twiceName;

    std::string error;

    int lineBefore(std::size_t n) const {
        n = std::min(n, text.size());
        return 1 + static_cast<int>(std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(n), '\n'));
    }
    bool fail(int line, const std::string& what) {
        if (error.empty()) error = "line " + std::to_string(line) + ": " + what;
        return false;
    }

    // Where a value read now belongs.
    Json& place() {
        if (open.empty()) return *document.root_;
        if (open.back()->is_array()) {
            open.back()->push_back(nullptr);
            return open.back()->back();
        }
        return *slot;
    }
    bool finished() {
        if (open.empty()) done = true;
        if (!twiceName.empty() && open.size() == twiceDepth) return fail(twiceLine, quote(twiceName) + " is given twice");
        return true;
    }
    bool scalar(Json value) {
        place() = std::move(value);
        return finished();
    }
    bool begin(Json value) {
        // The bracket was the last character read.
        if (static_cast<int>(open.size()) >= maxDepth)
            return fail(lineBefore(taken - 1),
                        "the values are nested more than " + std::to_string(maxDepth) + " levels deep");
        Json& at = place();
        at = std::move(value);
        open.push_back(&at);
        names.emplace_back();
        return true;
    }
    bool end() {
        open.pop_back();
        names.pop_back();
        return finished();
    }

    // A whole number read: the library has read one character past it,
    // unless it ends the text.
    bool wholeNumber(Json value) {
        const std::size_t endAt = sawEnd ? taken : taken - 1;
        if (!sawEnd && endAt < text.size() && isDigit(text[endAt])) return fail(lineBefore(endAt), "a number begins with 0");
        std::size_t from = endAt;
        while (from > 0 && (isDigit(text[from - 1]) || text[from - 1] == '-')) --from;
        numberTexts.emplace_back(text.substr(from, endAt - from));
        return scalar(std::move(value));
    }

    bool null() { return scalar(nullptr); }
    bool boolean(bool b) { return scalar(b); }
    bool number_integer(NumberInteger n) { return wholeNumber(n); }
    bool number_unsigned(NumberUnsigned n) { return wholeNumber(n); }
    bool number_float(NumberFloat n, const std::string& written) {
        numberTexts.push_back(written);
        return scalar(n);
    }
    bool string(std::string& s) { return scalar(std::move(s)); }
    bool binary(Json::binary_t&) { return fail(lineBefore(taken), "a value was expected"); }  // not in JSON text
    bool start_object(std::size_t) { return begin(Json::object()); }
    bool start_array(std::size_t) { return begin(Json::array()); }
    bool end_object() { return end(); }
    bool end_array() { return end(); }
    bool key(std::string& name) {
        // The closing quote was the last character read; a name is on one line.
        if (!names.back().insert(name).second) {
            twiceDepth = open.size();
            twiceLine = lineBefore(taken);
            twiceName = name;
        }
        slot = &(*open.back())[name];
        return true;
    }

    bool parse_error(std::size_t position, const std::string&, const nlohmann::detail::exception& ex) {
        // At the end of the text the reader stands after its last line;
        // otherwise on the character it could not take.
        const bool atEnd = position > text.size();
        const int line = atEnd ? lineBefore(text.size()) : lineBefore(position == 0 ? 0 : position - 1);
        const std::string what = ex.what();
        if (what.find("number overflow") != std::string::npos) return fail(line, "a number is too large to be read");

        // "... syntax error while parsing CONTEXT - DETAIL": the library's
        // own words come before any text of the document's.
        const std::size_t c = what.find("while parsing ");
        const std::size_t dash = what.find(" - ", c);
        const std::string context =
            c == std::string::npos || dash == std::string::npos ? "value" : what.substr(c + 14, dash - c - 14);
        const std::string detail = dash == std::string::npos ? "" : what.substr(dash + 3);
        const auto says = [&](const char* words) { return detail.rfind(words, 0) == 0; };

        const bool inText = says("invalid string");
        const bool inNumber = says("invalid number");
        if (inText && (context == "object key" || (context == "value" && !done))) {
            if (says("invalid string: missing closing quote")) return fail(line, "a text in quotes is not closed");
            if (says("invalid string: control character U+000A"))
                return fail(line, "a text in quotes is not closed on its line");
            if (says("invalid string: control character")) return fail(line, "a control character inside quotes");
            if (says("invalid string: forbidden character after backslash")) {
                if (atEnd) return fail(line, "a text in quotes is not closed");
                const char e = text[position - 1];
                const unsigned char u = static_cast<unsigned char>(e);
                return fail(line, u >= 0x20 && u < 0x7F ? std::string("\\") + e + " is not an escape"
                                                        : std::string("a backslash escapes nothing"));
            }
            if (says("invalid string: '\\u' must be followed"))
                return fail(line, "\\u must be followed by four hexadecimal digits");
            if (says("invalid string: surrogate")) return fail(line, "a \\u escape holds half of a character");
            return fail(line, "a text in quotes is not UTF-8");
        }
        if (inNumber && context == "value" && !done) {
            if (says("invalid number; expected digit after '-'")) return fail(line, "a number was expected after \"-\"");
            if (says("invalid number; expected digit after '.'")) return fail(line, "a digit was expected after \".\"");
            return fail(line, "a digit was expected in the exponent");
        }
        if (context == "object key") return fail(line, "a name in quotes was expected");
        if (context == "object separator") return fail(line, "\":\" was expected after " + quote(lastName()));
        if (context == "object") return fail(line, "\",\" or \"}\" was expected");
        if (context == "array") return fail(line, "\",\" or \"]\" was expected");
        return fail(line, done ? "more follows the end of the document" : "a value was expected");
    }

    // The name just read: the last member of the innermost object.
    std::string lastName() const {
        if (open.empty() || !open.back()->is_object() || open.back()->empty()) return {};
        return std::prev(open.back()->end()).key();
    }

    // The written text of each number whose dump() would differ, by place.
    void noteNumbers(const Json& v, std::size_t& next) {
        if (v.is_number()) {
            if (next < numberTexts.size()) {
                if (numberTexts[next] != v.dump()) document.written_[&v] = numberTexts[next];
                ++next;
            }
        } else if (v.is_structured()) {
            for (const Json& item : v) noteNumbers(item, next);
        }
    }
};

Document::Document() : root_(std::make_unique<Json>()) {}

std::string Document::describe(const Json& value) const {
    constexpr std::size_t kLongest = 32;
    // Cut at a character's start, so the quoted text stays UTF-8.
    const auto cut = [&](const std::string& s) {
        if (s.size() <= kLongest) return s;
        std::size_t n = kLongest;
        while (n > 0 && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80) --n;
        return s.substr(0, n) + "...";
    };
    if (value.is_string()) return quote(cut(value.get_ref<const std::string&>()));
    if (value.is_array()) return "a list";
    if (value.is_object()) return "an object";
    if (value.is_number()) {
        const auto it = written_.find(&value);
        return cut(it != written_.end() ? it->second : value.dump());
    }
    return value.dump();  // null, true, false
}

Parsed parse(std::string_view text, int maxDepth) {
    Parsed out;
    Reading r(text, maxDepth);
    const Reading::Cursor first{text.data(), &r}, last{text.data() + text.size(), &r};
    const bool read = Json::sax_parse(first, last, &r);
    // The library takes a NUL byte for the end of the text; it is not one.
    if (read && r.error.empty()) {
        if (const std::size_t nul = text.find('\0'); nul != std::string_view::npos)
            r.fail(r.lineBefore(nul), "more follows the end of the document");
    }
    if (!read || !r.error.empty()) {
        out.error = r.error.empty() ? "line " + std::to_string(r.lineBefore(r.taken)) + ": a value was expected" : r.error;
        return out;
    }
    std::size_t next = 0;
    r.noteNumbers(r.document.root(), next);
    out.document = std::move(r.document);
    return out;
}

std::optional<long long> integer(const Json& value) {
    if (value.is_number_unsigned()) {
        const auto n = value.get<std::uint64_t>();
        if (n > static_cast<std::uint64_t>(LLONG_MAX)) return std::nullopt;
        return static_cast<long long>(n);
    }
    if (value.is_number_integer()) return value.get<std::int64_t>();
    return std::nullopt;
}

std::string quote(std::string_view text) { return dumped(Json(std::string(text)), -1); }

std::string write(const Json& value) { return dumped(value, 2); }

}  // namespace orbus::json
