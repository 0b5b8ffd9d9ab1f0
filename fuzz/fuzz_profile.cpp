// A camera profile file of any bytes: what an operator may open by mistake,
// a file cut short, edited by hand or written by a later panel.
// Properties: the reading ends with a profile or with a problem named, never
// both; the problem is one line without control characters; a profile read
// holds only settings the panel knows, each within what it takes, and is
// written back into a document that reads as the same profile; any JSON
// read is written into a document that reads back and writes the same.
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "profile/json.h"
#include "profile/profile_file.h"

using namespace orbus;
using namespace orbus::profile;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    const Parsed p = parseProfile(text);
    fuzz::check(p.profile.has_value() != !p.error.empty(), "a profile or a problem, never both");
    for (const char c : p.error)
        fuzz::check(static_cast<unsigned char>(c) >= 0x20 && c != 0x7F, "the problem is one line of text");
    if (p.profile) {
        for (const auto& [key, value] : p.profile->settings) {
            const SettingDef* s = findSetting(key);
            fuzz::check(s != nullptr, "only known settings are read");
            if (s->kind == profile::Kind::Choice) fuzz::check(choiceCode(*s, valueText(*s, value)) == value, "a named choice");
            else fuzz::check(value >= s->min && value <= s->max, "values within the setting's range");
        }
        const Parsed back = parseProfile(toJson(*p.profile));
        fuzz::check(back.profile.has_value(), "what is written reads back");
        fuzz::check(back.profile->settings == p.profile->settings && back.profile->model == p.profile->model
                        && back.profile->rom == p.profile->rom && back.profile->panelVersion == p.profile->panelVersion
                        && back.profile->saved == p.profile->saved,
                    "what is written reads back as the same profile");
    }

    const json::Parsed j = json::parse(text);
    fuzz::check(j.document.has_value() != !j.error.empty(), "a value or a problem, never both");
    if (j.document) {
        const std::string once = json::write(j.document->root());
        const json::Parsed again = json::parse(once);
        fuzz::check(again.document.has_value(), "what is written reads back");
        fuzz::check(json::write(again.document->root()) == once, "what is written reads back the same");
    }
    return 0;
}
