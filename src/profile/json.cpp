#include "profile/json.h"

#include <charconv>
#include <cstdint>
#include <unordered_set>

namespace orbus::json {

namespace {

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

void appendUtf8(std::string& out, std::uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// A problem found while reading, with the line it is on.
struct Failure {
    int line;
    std::string what;
};

class Reader {
public:
    Reader(std::string_view text, int maxDepth) : s_(text), maxDepth_(maxDepth) {}

    Value document() {
        if (s_.substr(0, 3) == "\xEF\xBB\xBF") pos_ = 3;  // a byte-order mark some editors write
        skipBlanks();
        Value v = value(0);
        skipBlanks();
        if (pos_ < s_.size()) fail("more follows the end of the document");
        return v;
    }

private:
    [[noreturn]] void fail(std::string what) { throw Failure{line_, std::move(what)}; }
    [[noreturn]] void failAt(int line, std::string what) { throw Failure{line, std::move(what)}; }

    bool atEnd() const { return pos_ >= s_.size(); }
    char peek() const { return atEnd() ? '\0' : s_[pos_]; }

    void skipBlanks() {
        while (!atEnd()) {
            const char c = s_[pos_];
            if (c == '\n') ++line_;
            else if (c != ' ' && c != '\t' && c != '\r') return;
            ++pos_;
        }
    }

    Value value(int depth) {
        if (atEnd()) fail("a value was expected");
        Value v;
        v.line = line_;
        const char c = s_[pos_];
        if (c == '{' || c == '[') {
            if (depth >= maxDepth_)
                fail("the values are nested more than " + std::to_string(maxDepth_) + " levels deep");
            if (c == '{') object(v, depth);
            else array(v, depth);
        } else if (c == '"') {
            v.type = Value::Type::String;
            v.text = string();
        } else if (c == '-' || isDigit(c)) {
            v.type = Value::Type::Number;
            v.text = number();
        } else if (word("true")) {
            v.type = Value::Type::Bool;
            v.boolean = true;
        } else if (word("false")) {
            v.type = Value::Type::Bool;
        } else if (!word("null")) {
            fail("a value was expected");
        }
        return v;
    }

    bool word(std::string_view w) {
        if (s_.substr(pos_, w.size()) != w) return false;
        pos_ += w.size();
        return true;
    }

    void object(Value& v, int depth) {
        v.type = Value::Type::Object;
        ++pos_;
        skipBlanks();
        if (peek() == '}') {
            ++pos_;
            return;
        }
        std::unordered_set<std::string> names;
        for (;;) {
            skipBlanks();
            if (peek() != '"') fail("a name in quotes was expected");
            const int nameLine = line_;
            std::string name = string();
            skipBlanks();
            if (peek() != ':') fail("\":\" was expected after " + quote(name));
            ++pos_;
            skipBlanks();
            Value member = value(depth + 1);
            if (!names.insert(name).second) failAt(nameLine, quote(name) + " is given twice");
            v.members.push_back({std::move(name), std::move(member)});
            skipBlanks();
            if (peek() == ',') {
                ++pos_;
                continue;
            }
            if (peek() == '}') {
                ++pos_;
                return;
            }
            fail("\",\" or \"}\" was expected");
        }
    }

    void array(Value& v, int depth) {
        v.type = Value::Type::Array;
        ++pos_;
        skipBlanks();
        if (peek() == ']') {
            ++pos_;
            return;
        }
        for (;;) {
            skipBlanks();
            v.items.push_back(value(depth + 1));
            skipBlanks();
            if (peek() == ',') {
                ++pos_;
                continue;
            }
            if (peek() == ']') {
                ++pos_;
                return;
            }
            fail("\",\" or \"]\" was expected");
        }
    }

    std::uint32_t hex4() {
        std::uint32_t v = 0;
        for (int k = 0; k < 4; ++k) {
            const int d = atEnd() ? -1 : hexValue(s_[pos_]);
            if (d < 0) fail("\\u must be followed by four hexadecimal digits");
            v = v * 16 + static_cast<std::uint32_t>(d);
            ++pos_;
        }
        return v;
    }

    std::string string() {
        const int startLine = line_;
        ++pos_;  // the opening quote
        std::string out;
        for (;;) {
            if (atEnd()) failAt(startLine, "a text in quotes is not closed");
            const char c = s_[pos_];
            if (c == '"') {
                ++pos_;
                return out;
            }
            if (static_cast<unsigned char>(c) < 0x20)
                fail(c == '\n' ? "a text in quotes is not closed on its line" : "a control character inside quotes");
            if (c == '\\') {
                ++pos_;
                if (atEnd()) failAt(startLine, "a text in quotes is not closed");
                const char e = s_[pos_++];
                switch (e) {
                case '"': out += '"'; break;
                case '\\': out += '\\'; break;
                case '/': out += '/'; break;
                case 'b': out += '\b'; break;
                case 'f': out += '\f'; break;
                case 'n': out += '\n'; break;
                case 'r': out += '\r'; break;
                case 't': out += '\t'; break;
                case 'u': {
                    std::uint32_t cp = hex4();
                    if (cp >= 0xDC00 && cp <= 0xDFFF) fail("a \\u escape holds half of a character");
                    if (cp >= 0xD800 && cp <= 0xDBFF) {
                        if (s_.substr(pos_, 2) != "\\u") fail("a \\u escape holds half of a character");
                        pos_ += 2;
                        const std::uint32_t low = hex4();
                        if (low < 0xDC00 || low > 0xDFFF) fail("a \\u escape holds half of a character");
                        cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                    }
                    appendUtf8(out, cp);
                    break;
                }
                default: {
                    const unsigned char u = static_cast<unsigned char>(e);
                    fail(u >= 0x20 && u < 0x7F ? std::string("\\") + e + " is not an escape"
                                               : std::string("a backslash escapes nothing"));
                }
                }
                continue;
            }
            const std::size_t n = utf8Length(s_, pos_);
            if (n == 0) fail("a text in quotes is not UTF-8");
            out.append(s_.substr(pos_, n));
            pos_ += n;
        }
    }

    std::string number() {
        const std::size_t start = pos_;
        if (peek() == '-') ++pos_;
        if (!isDigit(peek())) fail("a number was expected after \"-\"");
        if (peek() == '0' && pos_ + 1 < s_.size() && isDigit(s_[pos_ + 1]))
            fail("a number begins with 0");
        while (isDigit(peek())) ++pos_;
        if (peek() == '.') {
            ++pos_;
            if (!isDigit(peek())) fail("a digit was expected after \".\"");
            while (isDigit(peek())) ++pos_;
        }
        if (peek() == 'e' || peek() == 'E') {
            ++pos_;
            if (peek() == '+' || peek() == '-') ++pos_;
            if (!isDigit(peek())) fail("a digit was expected in the exponent");
            while (isDigit(peek())) ++pos_;
        }
        return std::string(s_.substr(start, pos_ - start));
    }

    std::string_view s_;
    std::size_t pos_ = 0;
    int line_ = 1;
    int maxDepth_;
};

void writeTo(std::string& out, const Value& v, int indent) {
    const auto newline = [&](int level) {
        out += '\n';
        out.append(static_cast<std::size_t>(level) * 2, ' ');
    };
    switch (v.type) {
    case Value::Type::Null: out += "null"; break;
    case Value::Type::Bool: out += v.boolean ? "true" : "false"; break;
    case Value::Type::Number: out += v.text.empty() ? "0" : v.text; break;
    case Value::Type::String: out += quote(v.text); break;
    case Value::Type::Array:
        if (v.items.empty()) {
            out += "[]";
            break;
        }
        out += '[';
        for (std::size_t i = 0; i < v.items.size(); ++i) {
            if (i) out += ',';
            newline(indent + 1);
            writeTo(out, v.items[i], indent + 1);
        }
        newline(indent);
        out += ']';
        break;
    case Value::Type::Object:
        if (v.members.empty()) {
            out += "{}";
            break;
        }
        out += '{';
        for (std::size_t i = 0; i < v.members.size(); ++i) {
            if (i) out += ',';
            newline(indent + 1);
            out += quote(v.members[i].name);
            out += ": ";
            writeTo(out, v.members[i].value, indent + 1);
        }
        newline(indent);
        out += '}';
        break;
    }
}

}  // namespace

Value Value::makeBool(bool b) {
    Value v;
    v.type = Type::Bool;
    v.boolean = b;
    return v;
}

Value Value::makeInteger(long long n) {
    Value v;
    v.type = Type::Number;
    v.text = std::to_string(n);
    return v;
}

Value Value::makeText(std::string_view s) {
    Value v;
    v.type = Type::String;
    v.text = std::string(s);
    return v;
}

Value Value::makeArray() {
    Value v;
    v.type = Type::Array;
    return v;
}

Value Value::makeObject() {
    Value v;
    v.type = Type::Object;
    return v;
}

const Value* Value::find(std::string_view name) const {
    for (const Member& m : members)
        if (m.name == name) return &m.value;
    return nullptr;
}

Value& Value::add(std::string name, Value value) {
    members.push_back({std::move(name), std::move(value)});
    return members.back().value;
}

std::optional<long long> Value::integer() const {
    if (type != Type::Number || text.find_first_of(".eE") != std::string::npos) return std::nullopt;
    long long n = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, n);
    if (ec != std::errc() || ptr != end) return std::nullopt;
    return n;
}

std::string describe(const Value& value) {
    constexpr std::size_t kLongest = 32;
    // Cut at a character's start, so the quoted text stays UTF-8.
    const auto cut = [&](const std::string& s) {
        if (s.size() <= kLongest) return s;
        std::size_t n = kLongest;
        while (n > 0 && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80) --n;
        return s.substr(0, n) + "...";
    };
    switch (value.type) {
    case Value::Type::Null: return "null";
    case Value::Type::Bool: return value.boolean ? "true" : "false";
    case Value::Type::Number: return cut(value.text);
    case Value::Type::String: return quote(cut(value.text));
    case Value::Type::Array: return "a list";
    case Value::Type::Object: return "an object";
    }
    return {};
}

Parsed parse(std::string_view text, int maxDepth) {
    Parsed p;
    try {
        p.value = Reader(text, maxDepth).document();
    } catch (const Failure& f) {
        p.error = "line " + std::to_string(f.line) + ": " + f.what;
    }
    return p;
}

std::string quote(std::string_view text) {
    static const char* const kHex = "0123456789abcdef";
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\b': out += "\\b"; break;
        case '\f': out += "\\f"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20 || c == 0x7F) {
                out += "\\u00";
                out += kHex[c >> 4];
                out += kHex[c & 15];
            } else if (c >= 0x80) {
                const std::size_t n = utf8Length(text, i);
                if (n == 0) {
                    out += "\xEF\xBF\xBD";
                    ++i;
                } else {
                    out.append(text.substr(i, n));
                    i += n;
                }
                continue;
            } else {
                out += static_cast<char>(c);
            }
        }
        ++i;
    }
    out += '"';
    return out;
}

std::string write(const Value& value) {
    std::string out;
    writeTo(out, value, 0);
    return out;
}

}  // namespace orbus::json
