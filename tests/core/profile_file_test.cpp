// Camera profiles as files: the JSON reader and writer beneath them, the
// document's round trip, the refusal of broken and foreign documents with
// the first problem named, the check against the model a window is laid
// out for, and the files' reading and writing.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>

#include "app/testing/rig.h"
#include "profile/json.h"
#include "profile/profile_file.h"

using namespace orbus;
using namespace orbus::profile;
using ::testing::HasSubstr;
using orbus::testing::Rig;

namespace {

// A profile document with `settings` (the members' text) and the header
// lines given, or the usual ones.
std::string document(const std::string& settings, const std::string& header = "") {
    return "{\n  \"format\": \"ORBUS Panel camera profile\",\n"
           + (header.empty() ? std::string("  \"version\": 1,\n  \"model\": \"ORX-Kappa\",\n") : header)
           + "  \"settings\": {" + settings + "}\n}\n";
}

Profile kappaProfile() {
    Profile p;
    p.model = "ORX-Kappa";
    p.rom = "01.05";
    p.panelVersion = "1.0.0";
    p.saved = "2026-12-10 14:03:07";
    p.settings = {{"exposure.mode", 0x03}, {"exposure.iris", 10}, {"exposure.backLight", 0}};
    return p;
}

struct TempDir {
    std::filesystem::path path = std::filesystem::temp_directory_path() / "orbus_profile_file_test";
    TempDir() {
        std::filesystem::remove_all(path);
        std::filesystem::create_directories(path);
    }
    ~TempDir() { std::filesystem::remove_all(path); }
    std::string operator/(const char* name) const { return (path / name).string(); }
};

}  // namespace

// ---- the JSON reader and writer ----------------------------------------------------

TEST(Json, ReadsEveryKindOfValueAndEscape) {
    const auto p = json::parse(
        "\xEF\xBB\xBF{ \"a\": [1, -2.5e3, true, false, null, {}, []],\r\n"
        "  \"t\": \"q\\\" b\\\\ s\\/ \\b\\f\\n\\r\\t \\u00e9 \\uD83D\\ude00 \xC3\xA9\" }");
    ASSERT_TRUE(p.document) << p.error;
    const json::Json& v = p.document->root();
    ASSERT_EQ(v.size(), 2u);
    EXPECT_EQ(v.begin().key(), "a");  // in the order written
    const json::Json& a = v.at("a");
    ASSERT_EQ(a.size(), 7u);
    EXPECT_EQ(json::integer(a[0]), 1);
    EXPECT_EQ(p.document->describe(a[1]), "-2.5e3");
    EXPECT_EQ(json::integer(a[1]), std::nullopt);
    EXPECT_EQ(a[2], true);
    EXPECT_EQ(a[3], false);
    EXPECT_TRUE(a[4].is_null());
    EXPECT_TRUE(a[5].is_object());
    EXPECT_TRUE(a[6].is_array());
    EXPECT_EQ(v.at("t"), "q\" b\\ s/ \b\f\n\r\t \xC3\xA9 \xF0\x9F\x98\x80 \xC3\xA9");

    // What the writer makes of a text reads back the same, bytes that are
    // not UTF-8 as U+FFFD, one for each.
    for (const std::string& text : {std::string("plain"), std::string("q\" b\\ \n\t\x01\x7F \xC3\xA9 \xF0\x9F\x98\x80"),
                                   std::string("\0nul", 4)}) {
        const auto back = json::parse(json::quote(text));
        ASSERT_TRUE(back.document) << back.error;
        EXPECT_EQ(back.document->root(), text);
    }
    const struct {
        std::string text, quoted;
    } quotes[] = {
        {"a\xFF\xC3", "\"a\xEF\xBF\xBD\xEF\xBF\xBD\""},
        {"\xC3(\xE2\x82", "\"\xEF\xBF\xBD(\xEF\xBF\xBD\xEF\xBF\xBD\""},
        {"\x01\x1F\x7F/\t", "\"\\u0001\\u001f\\u007f/\\t\""},
    };
    for (const auto& q : quotes) EXPECT_EQ(json::quote(q.text), q.quoted) << q.quoted;
    EXPECT_EQ(json::write(json::Json{{"n\x7F", json::Json::array({"\xFF"})}, {"e", json::Json::object()}}),
              "{\n  \"n\\u007f\": [\n    \"\xEF\xBF\xBD\"\n  ],\n  \"e\": {}\n}");
}

TEST(Json, WholeNumbersAreTheOnesWrittenAsSuch) {
    const struct {
        const char* text;
        std::optional<long long> integer;
    } cases[] = {
        {"10", 10},           {"-0", 0},        {"-17", -17},   {"9223372036854775807", 9223372036854775807LL},
        {"10.0", std::nullopt}, {"10.5", std::nullopt}, {"1e1", std::nullopt},
        {"9223372036854775808", std::nullopt},   // fits the reader, not a whole number the panel takes
        {"99999999999999999999", std::nullopt},  // does not fit: refused, not wrapped
    };
    for (const auto& c : cases) {
        for (const std::string& text : {std::string(c.text), "[" + std::string(c.text) + "]", std::string(c.text) + "\n"}) {
            const auto p = json::parse(text);
            ASSERT_TRUE(p.document) << text;
            const json::Json& n = p.document->root().is_array() ? p.document->root()[0] : p.document->root();
            EXPECT_EQ(json::integer(n), c.integer) << text;
            EXPECT_EQ(p.document->describe(n), c.text) << text;
        }
    }
}

TEST(Json, RefusesBrokenTextNamingTheLine) {
    const struct {
        std::string text, error;
    } cases[] = {
        {"", "line 1: a value was expected"},
        {"{\n\"a\": 1,\n\"b\":\n}", "line 4: a value was expected"},
        {"{\"a\": 1,}", "line 1: a name in quotes was expected"},
        {"{a: 1}", "line 1: a name in quotes was expected"},
        {"{\"a\" 1}", "line 1: \":\" was expected after \"a\""},
        {"{\"a\": 1 \"b\": 2}", "line 1: \",\" or \"}\" was expected"},
        {"[1 2]", "line 1: \",\" or \"]\" was expected"},
        {"[1,\n2", "line 2: \",\" or \"]\" was expected"},
        {"{\"a\": 1,\n \"a\": 2}", "line 2: \"a\" is given twice"},
        {"{} {}", "line 1: more follows the end of the document"},
        {"1\n\nx", "line 3: more follows the end of the document"},
        {"tru", "line 1: a value was expected"},
        {"+1", "line 1: a value was expected"},
        {"01", "line 1: a number begins with 0"},
        {"-", "line 1: a number was expected after \"-\""},
        {"1.", "line 1: a digit was expected after \".\""},
        {"1e+", "line 1: a digit was expected in the exponent"},
        {"\n\"abc", "line 2: a text in quotes is not closed"},
        {"\"a\nb\"", "line 1: a text in quotes is not closed on its line"},
        {"\"a\tb\"", "line 1: a control character inside quotes"},
        {"\"\\q\"", "line 1: \\q is not an escape"},
        {"\"\\u12G4\"", "line 1: \\u must be followed by four hexadecimal digits"},
        {"\"\\uD83D\"", "line 1: a \\u escape holds half of a character"},
        {"\"\\uD83D\\u0041\"", "line 1: a \\u escape holds half of a character"},
        {"\"\\uDE00\"", "line 1: a \\u escape holds half of a character"},
        {"\"\xC3\"", "line 1: a text in quotes is not UTF-8"},
        {"\"\xC0\xAF\"", "line 1: a text in quotes is not UTF-8"},      // an overlong "/"
        {"\"\xED\xA0\x80\"", "line 1: a text in quotes is not UTF-8"},  // a surrogate
        {"\"\xF4\x90\x80\x80\"", "line 1: a text in quotes is not UTF-8"},  // past U+10FFFF
        // A NUL byte ends nothing.
        {std::string("{}\n\0", 4), "line 2: more follows the end of the document"},
        {std::string("[1,\0]", 6), "line 1: a value was expected"},
        // What stands where a name, a separator or a comma belongs is named as that.
        {"{-1: 2}", "line 1: a name in quotes was expected"},
        {"{\"a\" \"b", "line 1: \":\" was expected after \"a\""},
        {"[1 -]", "line 1: \",\" or \"]\" was expected"},
        {"[1\n01]", "line 2: \",\" or \"]\" was expected"},
        {"[-01]", "line 1: a number begins with 0"},
        {"1 \"abc", "line 1: more follows the end of the document"},
        {"\"a\\", "line 1: a text in quotes is not closed"},
        {"\"a\\\n\"", "line 1: a backslash escapes nothing"},
        {"{\"a\x01\": 1}", "line 1: a control character inside quotes"},
        {"[\n\n", "line 3: a value was expected"},
        // A name given twice is found once its value is read.
        {"{\"a\": 1,\n \"a\": [x]}", "line 2: a value was expected"},
        {"{\"a\": 1,\n \"a\": {\"b\": 1, \"b\": 2}}", "line 2: \"b\" is given twice"},
        {"{\"a\": 1,\n \"a\": [\n2]}", "line 2: \"a\" is given twice"},
        {"1e400", "line 1: a number is too large to be read"},
    };
    for (const auto& c : cases) {
        const auto p = json::parse(c.text);
        EXPECT_FALSE(p.document) << c.text;
        EXPECT_EQ(p.error, c.error) << c.text;
    }
}

// Nesting is limited, so no document can exhaust the reader's stack.
TEST(Json, NestingIsLimited) {
    const auto nested = [](int depth, char open, char close) {
        return std::string(static_cast<std::size_t>(depth), open) + std::string(static_cast<std::size_t>(depth), close);
    };
    EXPECT_TRUE(json::parse(nested(32, '[', ']')).document);
    EXPECT_EQ(json::parse(nested(33, '[', ']')).error, "line 1: the values are nested more than 32 levels deep");
    EXPECT_EQ(json::parse("{\"a\":\n" + nested(32, '[', ']')).error, "line 2: the values are nested more than 32 levels deep");
    EXPECT_FALSE(json::parse(std::string(1000000, '[')).document);
    std::string objects;
    for (int i = 0; i < 100000; ++i) objects += "{\"a\":";
    EXPECT_THAT(json::parse(objects).error, HasSubstr("nested more than 32 levels"));
}

// ---- the profile document -----------------------------------------------------------

TEST(ProfileFile, WritesTheDocumentInCatalogueOrder) {
    EXPECT_EQ(toJson(kappaProfile()),
              "{\n"
              "  \"format\": \"ORBUS Panel camera profile\",\n"
              "  \"version\": 1,\n"
              "  \"model\": \"ORX-Kappa\",\n"
              "  \"rom\": \"01.05\",\n"
              "  \"panel\": \"1.0.0\",\n"
              "  \"saved\": \"2026-12-10 14:03:07\",\n"
              "  \"settings\": {\n"
              "    \"exposure.mode\": \"manual\",\n"
              "    \"exposure.backLight\": false,\n"
              "    \"exposure.iris\": 10\n"
              "  }\n"
              "}\n");
}

// A file the panel wrote before, with every setting and a ROM text that
// needs escaping, reads and is written again byte for byte.
TEST(ProfileFile, AFileWrittenBeforeIsWrittenAlike) {
    const std::string before = R"json({
  "format": "ORBUS Panel camera profile",
  "version": 1,
  "model": "ORX-Kappa",
  "rom": "\"odd\" \\ rom \u007f\u0001 é",
  "panel": "1.0.0",
  "saved": "2026-12-10 14:03:07",
  "settings": {
    "exposure.mode": "full-auto",
    "exposure.backLight": true,
    "exposure.slowShutter": false,
    "exposure.slowShutterLimit": "p0",
    "exposure.iris": 0,
    "exposure.shutter": 21,
    "exposure.gain": 0,
    "exposure.bright": 31,
    "exposure.compensation": false,
    "exposure.compensationLevel": 14,
    "whiteBalance.mode": "atw",
    "whiteBalance.redGain": 255,
    "whiteBalance.blueGain": 0,
    "aperture": 15,
    "focus.mode": "auto",
    "focus.afMode": "normal",
    "focus.afSensitivity": false,
    "focus.nearLimit": 49152,
    "digitalZoom.mode": "combined",
    "digitalZoom.on": true,
    "digitalZoom.limit": "x1",
    "zoom.position": 32767,
    "focus.position": 0,
    "picture.effect": "solarize",
    "digital.effect": "trail",
    "digital.effectLevel": 32,
    "switch.lrReverse": false,
    "switch.dataScreen": true,
    "switch.titleDisplay": false,
    "switch.keyLock": true,
    "switch.autoIcr": false,
    "switch.infoDisplay": true,
    "sync.dsub": "3-state",
    "power.autoOffMinutes": 65535,
    "power.nightOffMinutes": 0,
    "alarm.mode": 12,
    "alarm.dayLevel": 0,
    "alarm.nightLevel": 4095
  }
}
)json";
    const Parsed p = parseProfile(before);
    ASSERT_TRUE(p.profile) << p.error;
    EXPECT_EQ(p.profile->settings.size(), catalogue().size());
    EXPECT_EQ(p.profile->rom, "\"odd\" \\ rom \x7F\x01 \xC3\xA9");
    EXPECT_EQ(toJson(*p.profile), before);
}

// Every setting at each end of its range and every value of each choice
// comes back as it went out.
TEST(ProfileFile, EveryValueOfEverySettingComesBack) {
    std::size_t most = 2;
    for (const SettingDef& s : catalogue()) most = std::max(most, s.choices.size());
    std::vector<Values> all(most);
    for (const SettingDef& s : catalogue()) {
        if (s.kind == profile::Kind::Choice) {
            for (std::size_t i = 0; i < s.choices.size(); ++i) all[i][s.key] = s.choices[i].code;
        } else {
            all[0][s.key] = s.min;
            all[1][s.key] = s.max;
        }
    }
    Profile p = kappaProfile();
    p.rom = "\"odd\" \\ rom";  // texts the writer must escape
    for (const Values& v : all) {
        p.settings = v;
        const Parsed back = parseProfile(toJson(p));
        ASSERT_TRUE(back.profile) << back.error;
        EXPECT_EQ(back.profile->settings, v);
        EXPECT_EQ(back.profile->model, p.model);
        EXPECT_EQ(back.profile->rom, p.rom);
        EXPECT_EQ(back.profile->panelVersion, p.panelVersion);
        EXPECT_EQ(back.profile->saved, p.saved);
    }
}

TEST(ProfileFile, AcceptsWhatALaterOrPlainerPanelMayWrite) {
    // Missing texts are empty, unknown top-level names ignored, any model of either series.
    const Parsed p = parseProfile(document("\"aperture\": 3", "  \"version\": 1, \"model\": \"KBM-R27\",\n"
                                                              "  \"cameraName\": [\"hall\"],\n"));
    ASSERT_TRUE(p.profile) << p.error;
    EXPECT_EQ(p.profile->model, "KBM-R27");
    EXPECT_EQ(p.profile->rom, "");
    EXPECT_EQ(p.profile->saved, "");
    EXPECT_EQ(p.profile->settings, (Values{{"aperture", 3}}));
    EXPECT_TRUE(parseProfile(document("", "  \"version\": 1, \"model\": \"ORX-Alpha\",\n")).profile);
}

TEST(ProfileFile, RefusesNamingTheFirstProblem) {
    const std::string v1 = "  \"version\": 1,\n";
    const std::string modes =
        "full-auto, manual, shutter-priority, iris-priority, gain-priority, bright, shutter-auto, iris-auto or gain-auto.";
    const struct {
        std::string text, error;
    } cases[] = {
        // Not JSON, or not one of ours.
        {" \r\n", "The file is empty."},
        {document("\n    \"exposure.iris\": 10,\n    \"exposure.gain\": \n"), "line 8: a value was expected"},
        {document("\"aperture\": 1, \"aperture\": 2"), "line 5: \"aperture\" is given twice"},
        {"[1, 2]", "This is not a camera profile of this panel."},
        {"{\"format\": \"ORBUS Panel camera profiles\", \"version\": 1}", "This is not a camera profile of this panel."},
        {"{\"version\": 1, \"model\": \"ORX-Kappa\", \"settings\": {}}", "This is not a camera profile of this panel."},
        {document("", "  \"model\": \"ORX-Kappa\",\n"), "This is not a camera profile of this panel."},
        {document("", "  \"version\": \"1\", \"model\": \"ORX-Kappa\",\n"), "This is not a camera profile of this panel."},
        {document("", "  \"version\": 0, \"model\": \"ORX-Kappa\",\n"), "This is not a camera profile of this panel."},
        {document("", "  \"version\": 2, \"model\": \"ORX-Kappa\",\n"),
         "This profile was written by a newer panel (format 2)."},
        // The header.
        {document("", v1), "The profile names no camera model."},
        {document("", v1 + "  \"model\": \"KBM-R28\",\n"),
         "The profile is for \"KBM-R28\", a model this panel does not know."},
        {document("", v1 + "  \"model\": \"orx-kappa\",\n"),
         "The profile is for \"orx-kappa\", a model this panel does not know."},
        {document("", v1 + "  \"model\": 260,\n"), "The profile is for 260, a model this panel does not know."},
        {document("", v1 + "  \"model\": \"ORX-Kappa\", \"rom\": 105,\n"), "\"rom\" is 105; it takes a text in quotes."},
        {"{\"format\": \"ORBUS Panel camera profile\", \"version\": 1, \"model\": \"ORX-Kappa\"}",
         "The profile holds no \"settings\"."},
        {"{\"format\": \"ORBUS Panel camera profile\", \"version\": 1, \"model\": \"ORX-Kappa\", \"settings\": []}",
         "\"settings\" is a list; it takes an object of settings by name."},
        // The settings, each by name, kind and widest range.
        {document("\"exposure.foo\": 1"), "The setting \"exposure.foo\" is not known to this panel."},
        {document("\"aperture\": 1, \"Exposure.Iris\": 1"), "The setting \"Exposure.Iris\" is not known to this panel."},
        {document("\"exposure.iris\": 300"), "\"exposure.iris\" is 300; it takes 0 to 17."},
        {document("\"exposure.iris\": -1"), "\"exposure.iris\" is -1; it takes 0 to 17."},
        {document("\"exposure.iris\": 4294967306"), "\"exposure.iris\" is 4294967306; it takes 0 to 17."},
        {document("\"exposure.iris\": 10.5"), "\"exposure.iris\" is 10.5; it takes a whole number from 0 to 17."},
        {document("\"exposure.iris\": 1e1"), "\"exposure.iris\" is 1e1; it takes a whole number from 0 to 17."},
        {document("\"exposure.iris\": \"10\""), "\"exposure.iris\" is \"10\"; it takes 0 to 17."},
        {document("\"exposure.iris\": null"), "\"exposure.iris\" is null; it takes 0 to 17."},
        {document("\"exposure.mode\": \"turbo\""), "\"exposure.mode\" is \"turbo\"; it takes " + modes},
        {document("\"exposure.mode\": 3"), "\"exposure.mode\" is 3; it takes " + modes},
        {document("\"focus.mode\": \"Auto\""), "\"focus.mode\" is \"Auto\"; it takes auto or manual."},
        {document("\"exposure.backLight\": 1"), "\"exposure.backLight\" is 1; it takes true or false."},
        {document("\"exposure.backLight\": \"on\""), "\"exposure.backLight\" is \"on\"; it takes true or false."},
        {document("\"focus.mode\": {\"a\": 1}"), "\"focus.mode\" is an object; it takes auto or manual."},
        {document("\"focus.mode\": \"" + std::string(40, 'x') + "\""),
         "\"focus.mode\" is \"" + std::string(32, 'x') + "...\"; it takes auto or manual."},
    };
    for (const auto& c : cases) {
        const Parsed p = parseProfile(c.text);
        EXPECT_FALSE(p.profile) << c.text;
        EXPECT_EQ(p.error, c.error) << c.text;
    }
}

// ---- the profile against the model a window is laid out for ------------------------

TEST(ProfileFile, ChecksTheProfileAgainstTheModel) {
    const struct {
        const char* camera;  // the model the rig's first camera is
        const char* profileModel;
        Values settings;
        std::string problem;  // empty: the profile fits
    } cases[] = {
        {"ORX-Kappa", "ORX-Kappa", {{"exposure.mode", 0x03}, {"exposure.iris", 17}, {"digitalZoom.limit", 3}}, ""},
        {"ORX-Kappa", "ORX-Beta", {}, "This profile is for an ORX-Beta; camera 2 is an ORX-Kappa."},
        {"ORX-Kappa", "KBM-R05", {}, "This profile is for a KBM-R05 (block series); camera 2 is an ORX-Kappa (pan-tilt series)."},
        {"KBM-R05", "ORX-Beta", {}, "This profile is for an ORX-Beta (pan-tilt series); camera 2 is a KBM-R05 (block series)."},
        {"ORX-Beta", "ORX-Beta", {{"picture.effect", 0}, {"aperture", 15}, {"focus.position", 0xC000}}, ""},
        {"ORX-Beta", "ORX-Beta", {{"aperture", 2}, {"digitalZoom.limit", 1}},
         "The ORX-Beta has no \"Digital zoom limit\" (\"digitalZoom.limit\")."},
        {"ORX-Beta", "ORX-Beta", {{"picture.effect", 1}},
         "The ORX-Beta does not offer \"pastel\" for \"Picture effect\" (\"picture.effect\")."},
        {"ORX-Beta", "ORX-Beta", {{"focus.position", 0xC001}},
         "\"focus.position\" is 49153; the ORX-Beta takes 4096 to 49152."},
        {"ORX-Beta", "ORX-Beta", {{"focus.position", 100}}, "\"focus.position\" is 100; the ORX-Beta takes 4096 to 49152."},
        // Not from a file: a setting the panel does not know is refused all the same.
        {"ORX-Beta", "ORX-Beta", {{"aperture", 2}, {"exposure.foo", 1}},
         "The setting \"exposure.foo\" is not known to this panel."},
    };
    std::map<std::string, std::unique_ptr<Rig>> rigs;
    for (const auto& c : cases) {
        auto& rig = rigs[c.camera];
        if (!rig) {
            rig = std::make_unique<Rig>(std::vector<std::string>{c.camera});
            ASSERT_TRUE(rig->startUp()) << c.camera;
        }
        Profile p;
        p.model = c.profileModel;
        p.settings = c.settings;
        EXPECT_EQ(checkForModel(p, ModelView(rig->program->cameras.drivenCamera()), 2), c.problem) << c.camera << " " << c.profileModel;
    }
}

// ---- files -------------------------------------------------------------------------

TEST(ProfileFile, FilesAreWrittenWholeAndReadWithALimit) {
    TempDir dir;
    const std::string path = dir / "hall.json";
    ASSERT_EQ(writeProfileFile(path, kappaProfile()), "");
    EXPECT_FALSE(std::filesystem::exists(path + ".part"));
    std::string reason;
    const auto text = readProfileFile(path, reason);
    ASSERT_TRUE(text) << reason;
    EXPECT_EQ(*text, toJson(kappaProfile()));

    // A folder that is not there: the reason, and nothing left behind.
    EXPECT_THAT(writeProfileFile(dir / "missing/hall.json", kappaProfile()), HasSubstr("No such file"));
    EXPECT_FALSE(std::filesystem::exists(dir / "missing"));

    {
        std::ofstream big(dir / "big.json", std::ios::binary);
        big << document("") << std::string(256 * 1024, ' ');
    }
    {
        std::ofstream limit(dir / "limit.json", std::ios::binary);
        limit << std::string(256 * 1024, ' ');
    }
    const struct {
        std::string path;
        bool read;
        std::string reason;
    } reads[] = {
        {dir / "limit.json", true, ""},
        {dir / "big.json", false, "The file is larger than 256 KiB."},
        {dir / "none.json", false, "No such file or directory"},
        {dir.path.string(), false, "Is a directory"},
#ifndef _WIN32  // Windows has no device to read among its files
        {"/dev/zero", false, "It is not an ordinary file."},
#endif
    };
    for (const auto& r : reads) {
        reason.clear();
        EXPECT_EQ(readProfileFile(r.path, reason).has_value(), r.read) << r.path;
        EXPECT_EQ(reason, r.reason) << r.path;
    }
}
