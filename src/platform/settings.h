// Per-user settings store: text values by application, section and key.
#pragma once

#include <string>

namespace orbus {

class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual std::string get(const std::string& app, const std::string& section, const std::string& key,
                            const std::string& fallback) const = 0;
    virtual void set(const std::string& app, const std::string& section, const std::string& key,
                     const std::string& value) = 0;
};

}  // namespace orbus
