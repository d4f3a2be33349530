#pragma once
// The program's settings as text values by name, whatever holds them: the per-user settings file
// (serial/settings/CSettingsStore) in the window and on the command line, a map in a test. The
// operations take this, so that they need neither Qt nor a file.

#include <cstddef>
#include <string>
#include <string_view>

// A stored text read back is cut to this many characters (the 100-byte buffers of the key).
inline constexpr std::size_t kSettingChars = 99;

class ISettings {
public:
    virtual ~ISettings() = default;

    // Stores text under name. An empty text becomes "." - in the caller's buffer too. A store
    // that cannot be written tells the user so and stores nothing.
    virtual void WriteSetting(std::string_view name, std::string& text) = 0;

    // The text stored under name (at most kSettingChars characters), or "" when absent. A store
    // that cannot be read tells the user so and yields "".
    virtual std::string ReadSetting(std::string_view name) = 0;
};
