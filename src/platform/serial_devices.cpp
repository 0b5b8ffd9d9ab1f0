#include "platform/serial_devices.h"

#include "platform/net_address.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <string_view>

namespace orbus {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The digit run starting at `from`, without its leading zeros; `from` moves past it.
std::string_view digitRun(std::string_view s, std::size_t& from) {
    std::size_t end = from;
    while (end < s.size() && isDigit(s[end])) ++end;
    std::size_t first = from;
    while (first + 1 < end && s[first] == '0') ++first;
    from = end;
    return s.substr(first, end - first);
}

// <0, 0, >0 as a comes before, with or after b; numbers compare by value.
int naturalCompare(std::string_view a, std::string_view b) {
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (isDigit(a[i]) && isDigit(b[j])) {
            const std::string_view x = digitRun(a, i), y = digitRun(b, j);
            if (x.size() != y.size()) return x.size() < y.size() ? -1 : 1;
            if (const int c = x.compare(y); c != 0) return c;
            continue;
        }
        if (a[i] != b[j]) return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[j]) ? -1 : 1;
        ++i;
        ++j;
    }
    if (i == a.size()) return j == b.size() ? 0 : -1;
    return 1;
}

// "USB serial adapter, made by Maker, serial number A1": what is known of it.
std::string describe(const SerialDevice& d) {
    std::string s = d.description;
    auto add = [&s](const std::string& part) {
        if (part.empty()) return;
        if (!s.empty()) s += ", ";
        s += part;
    };
    if (!d.manufacturer.empty() && d.manufacturer != d.description) add("made by " + d.manufacturer);
    if (!d.serialNumber.empty()) add("serial number " + d.serialNumber);
    return s;
}

}  // namespace

std::string SerialDevices::chosenFor(int number) const {
    const std::string var = "ORBUS_COM" + std::to_string(number);
    const char* v = std::getenv(var.c_str());
    return v ? v : "";
}

bool SerialDevices::exists(const std::string& path) const {
    struct stat st {};
    return path.find('\0') == std::string::npos && ::stat(path.c_str(), &st) == 0;
}

bool devicePathBefore(const std::string& a, const std::string& b) {
    // Paths equal by value ("tty01", "tty1") still get a fixed order.
    const int c = naturalCompare(a, b);
    return c != 0 ? c < 0 : a < b;
}

std::vector<SerialDevice> devicesInComOrder(const SerialDevices& devices) {
    std::vector<SerialDevice> present = devices.list();
    std::sort(present.begin(), present.end(),
              [](const SerialDevice& a, const SerialDevice& b) { return devicePathBefore(a.path, b.path); });
    return present;
}

PortTarget portTarget(const SerialDevices& devices, int number) {
    const std::vector<SerialDevice> present = devicesInComOrder(devices);
    PortTarget t;
    t.path = devices.chosenFor(number);
    if (!t.path.empty()) {
        // A chosen device that is also listed shows its description too.
        bool listed = false;
        for (const SerialDevice& d : present) {
            if (d.path != t.path) continue;
            t.description = describe(d);
            listed = true;
        }
        t.present = listed || t.path.rfind("sim:", 0) == 0 || looksLikeNetAddress(t.path) || devices.exists(t.path);
        return t;
    }
    if (number >= 1 && static_cast<std::size_t>(number) <= present.size()) {
        const SerialDevice& d = present[static_cast<std::size_t>(number - 1)];
        t.path = d.path;
        t.description = describe(d);
    }
    return t;
}

std::string portTargetText(const PortTarget& t) {
    if (t.path.empty()) return "No serial device";
    if (!t.present) return t.path + "  (not present)";
    return t.description.empty() ? t.path : t.path + "  " + t.description;
}

}  // namespace orbus
