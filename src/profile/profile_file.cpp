#include "profile/profile_file.h"

#include <algorithm>
#include <iterator>

#include "platform/files.h"
#include "profile/json.h"
#include "status/identity.h"

namespace orbus::profile {

namespace {

constexpr const char* kFormat = "ORBUS Panel camera profile";
constexpr int kVersion = 1;
// A profile of every setting is a few kilobytes; anything near this is not one.
constexpr std::uintmax_t kLargest = 256 * 1024;

const char* const kNotAProfile = "This is not a camera profile of this panel.";

Series seriesOf(std::string_view model) {
    if (std::find(std::begin(PTModelName), std::end(PTModelName), model) != std::end(PTModelName))
        return Series::PanTilt;
    if (std::find(std::begin(BlockModelName), std::end(BlockModelName), model) != std::end(BlockModelName))
        return Series::Block;
    return Series::Unknown;
}

const char* seriesName(Series s) { return s == Series::PanTilt ? "pan-tilt series" : "block series"; }

std::string range(int lo, int hi) { return std::to_string(lo) + " to " + std::to_string(hi); }

// What a choice takes: "full-auto, manual, shutter-priority or bright".
std::string choiceNames(const SettingDef& s) {
    std::string out;
    for (std::size_t i = 0; i < s.choices.size(); ++i) {
        if (i) out += i + 1 == s.choices.size() ? " or " : ", ";
        out += s.choices[i].name;
    }
    return out;
}

// The setting's value from the file, checked against the setting; the
// problem in `error` when it is not one the setting takes.
std::optional<int> settingValue(const SettingDef& s, const json::Document& doc, const json::Json& v,
                                std::string& error) {
    const std::string found = json::quote(s.key) + " is " + doc.describe(v) + "; it takes ";
    switch (s.kind) {
    case Kind::Choice:
        if (v.is_string())
            if (const auto code = choiceCode(s, v.get_ref<const std::string&>())) return code;
        error = found + choiceNames(s) + ".";
        return std::nullopt;
    case Kind::Switch:
        if (v.is_boolean()) return v.get<bool>() ? 1 : 0;
        error = found + "true or false.";
        return std::nullopt;
    case Kind::Number:
        if (const auto n = json::integer(v); n && *n >= s.min && *n <= s.max) return static_cast<int>(*n);
        error = found + (v.is_number() && !json::integer(v) ? "a whole number from " : "") + range(s.min, s.max) + ".";
        return std::nullopt;
    }
    return std::nullopt;
}

// The member of that name of an object; nothing when there is none or the
// value is not an object.
const json::Json* member(const json::Json& object, const char* name) {
    if (!object.is_object()) return nullptr;
    const auto it = object.find(name);
    return it == object.end() ? nullptr : &*it;
}

// A text field of the header: empty when it is missing.
bool headerText(const json::Document& doc, const char* name, std::string& out, std::string& error) {
    const json::Json* v = member(doc.root(), name);
    if (!v) return true;
    if (!v->is_string()) {
        error = json::quote(name) + " is " + doc.describe(*v) + "; it takes a text in quotes.";
        return false;
    }
    out = v->get<std::string>();
    return true;
}

}  // namespace

std::string toJson(const Profile& profile) {
    json::Json doc = json::Json::object();
    doc["format"] = kFormat;
    doc["version"] = kVersion;
    doc["model"] = profile.model;
    doc["rom"] = profile.rom;
    doc["panel"] = profile.panelVersion;
    doc["saved"] = profile.saved;
    json::Json& settings = doc["settings"] = json::Json::object();
    for (const SettingDef& s : catalogue()) {
        const auto it = profile.settings.find(s.key);
        if (it == profile.settings.end()) continue;
        const int v = it->second;
        switch (s.kind) {
        case Kind::Choice: settings[s.key] = valueText(s, v); break;
        case Kind::Switch: settings[s.key] = v != 0; break;
        case Kind::Number: settings[s.key] = v; break;
        }
    }
    return json::write(doc) + "\n";
}

Parsed parseProfile(std::string_view text) {
    Parsed out;
    if (text.find_first_not_of(" \t\r\n") == std::string_view::npos) {
        out.error = "The file is empty.";
        return out;
    }
    json::Parsed p = json::parse(text);
    if (!p.document) {
        out.error = p.error;
        return out;
    }
    const json::Document& doc = *p.document;
    const json::Json* format = member(doc.root(), "format");
    if (!format || !format->is_string() || format->get_ref<const std::string&>() != kFormat) {
        out.error = kNotAProfile;
        return out;
    }
    const json::Json* version = member(doc.root(), "version");
    const std::optional<long long> v = version ? json::integer(*version) : std::nullopt;
    if (!v || *v < 1) {
        out.error = kNotAProfile;
        return out;
    }
    if (*v > kVersion) {
        out.error = "This profile was written by a newer panel (format " + std::to_string(*v) + ").";
        return out;
    }

    Profile profile;
    const json::Json* model = member(doc.root(), "model");
    if (!model) {
        out.error = "The profile names no camera model.";
        return out;
    }
    if (!model->is_string() || seriesOf(model->get_ref<const std::string&>()) == Series::Unknown) {
        out.error = "The profile is for " + doc.describe(*model) + ", a model this panel does not know.";
        return out;
    }
    profile.model = model->get<std::string>();
    if (!headerText(doc, "rom", profile.rom, out.error) || !headerText(doc, "panel", profile.panelVersion, out.error)
        || !headerText(doc, "saved", profile.saved, out.error))
        return out;

    const json::Json* settings = member(doc.root(), "settings");
    if (!settings) {
        out.error = "The profile holds no \"settings\".";
        return out;
    }
    if (!settings->is_object()) {
        out.error = "\"settings\" is " + doc.describe(*settings) + "; it takes an object of settings by name.";
        return out;
    }
    for (const auto& [name, value] : settings->items()) {
        const SettingDef* s = findSetting(name);
        if (!s) {
            out.error = "The setting " + json::quote(name) + " is not known to this panel.";
            return out;
        }
        const std::optional<int> read = settingValue(*s, doc, value, out.error);
        if (!read) return out;
        profile.settings[s->key] = *read;
    }
    out.profile = std::move(profile);
    return out;
}

std::string withArticle(const std::string& model) {
    const bool vowel = !model.empty() && std::string_view("AEIOUaeiou").find(model.front()) != std::string_view::npos;
    return (vowel ? "an " : "a ") + model;
}

std::string checkForModel(const Profile& profile, const ModelView& model, int camera) {
    const std::string driven = model.model();
    const std::string cam = "camera " + std::to_string(camera);
    if (driven.empty()) return "This profile is for " + withArticle(profile.model) + "; " + cam + " was not identified.";
    if (driven != profile.model) {
        const Series ps = seriesOf(profile.model), ds = seriesOf(driven);
        if (ps != ds && ps != Series::Unknown && ds != Series::Unknown)
            return "This profile is for " + withArticle(profile.model) + " (" + seriesName(ps) + "); " + cam + " is "
                   + withArticle(driven) + " (" + seriesName(ds) + ").";
        return "This profile is for " + withArticle(profile.model) + "; " + cam + " is " + withArticle(driven) + ".";
    }
    // In catalogue order, so the first problem is the one the compare view lists first.
    for (const SettingDef& s : catalogue()) {
        const auto it = profile.settings.find(s.key);
        if (it == profile.settings.end()) continue;
        const std::string named = json::quote(s.label) + " (" + json::quote(s.key) + ")";
        if (!model.has(s)) return "The " + driven + " has no " + named + ".";
        const int v = it->second;
        if (s.kind == Kind::Choice) {
            const auto c = std::find_if(s.choices.begin(), s.choices.end(), [&](const ChoiceDef& d) { return d.code == v; });
            if (c == s.choices.end() || !model.offers(*c))
                return "The " + driven + " does not offer " + json::quote(valueText(s, v)) + " for " + named + ".";
        } else if (s.kind == Kind::Number) {
            const auto [lo, hi] = model.range(s);
            if (v < lo || v > hi)
                return json::quote(s.key) + " is " + std::to_string(v) + "; the " + driven + " takes " + range(lo, hi)
                       + ".";
        }
    }
    // Settings the panel does not know cannot come from a file read; a caller's
    // own are refused all the same rather than sent.
    for (const auto& [key, value] : profile.settings) {
        if (!findSetting(key)) return "The setting " + json::quote(key) + " is not known to this panel.";
    }
    return {};
}

std::optional<std::string> readProfileFile(const std::string& path, std::string& reason) {
    return readFileWhole(path, kLargest, reason);
}

std::string writeProfileFile(const std::string& path, const Profile& profile) {
    return writeFileWhole(path, toJson(profile));
}

}  // namespace orbus::profile
