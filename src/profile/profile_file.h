// A camera profile as a file: a small JSON document with the camera's
// model and ROM version, the panel's version, the date it was saved and
// each setting by name. Reading checks everything before anything is
// used: a file that is not JSON, names a setting the panel does not know,
// or holds a value outside what the setting takes is refused with a text
// naming the first problem.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "profile/catalogue.h"

namespace orbus::profile {

struct Profile {
    std::string model;         // "ORX-Kappa", "KBM-R05"
    std::string rom;           // "01.05": the camera's ROM version
    std::string panelVersion;  // the panel that saved it: "1.0.0"
    std::string saved;         // local time it was saved: "2026-12-10 14:03:07"
    Values settings;
};

// The document, settings in catalogue order, two-space indentation, one
// setting per line, ending in a newline.
std::string toJson(const Profile& profile);

// A file's text read and checked against the catalogue (names, kinds and
// the widest ranges); `error` names the first problem, with its line where
// the JSON itself is broken ("line 4: a value was expected").
struct Parsed {
    std::optional<Profile> profile;
    std::string error;
};
Parsed parseProfile(std::string_view text);

// The profile is for the model the window is laid out for, and the model
// has every setting it holds, each within what the model takes. Empty when
// it is; otherwise the first problem, e.g.
// "This profile is for the ORX-Beta; camera 2 is an ORX-Kappa."
std::string checkForModel(const Profile& profile, const ModelView& model, int camera);

// A model with its article: "an ORX-Beta", "a KBM-R05".
std::string withArticle(const std::string& model);

// Reads a whole file; nothing (and `reason`) when it cannot be read.
// Files larger than a profile can be are refused unread.
std::optional<std::string> readProfileFile(const std::string& path, std::string& reason);
// Writes the file through a temporary file renamed into place: an
// interrupted save leaves the old file or none, never half of one. Empty
// when written; otherwise the reason.
std::string writeProfileFile(const std::string& path, const Profile& profile);

}  // namespace orbus::profile
