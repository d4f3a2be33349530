#pragma once
// The program's settings: text values under [General] of one per-user INI file,
// $XDG_CONFIG_HOME/Quorvel/Telvane.ini (default ~/.config), standing for the registry key
// "Software\Quorvel\Telvane". Every call opens the file, does one read or one write and closes it
// again; nothing is cached between calls. A write replaces the file atomically (temporary file and
// rename), so a crash mid-write leaves the previous file intact. User-interface thread only.

#include "core/MessageSink.h"

#include <string>
#include <string_view>

// A stored text read back is cut to this many characters (the 100-byte buffers of the key).
inline constexpr std::size_t kSettingChars = 99;

// The settings file of the current user; resolved from XDG_CONFIG_HOME on every call.
std::string SettingsFilePath();

class CSettingsStore {
public:
    explicit CSettingsStore(IMessageSink& messageSink) : sink(messageSink) {}

    // Stores text under name. An empty text becomes "." - in the caller's buffer too. When the
    // file cannot be written, shows "Error opening key" and stores nothing.
    void WriteSetting(std::string_view name, std::string& text);

    // The text stored under name (at most kSettingChars characters), or "" when absent. When the
    // file cannot be read, shows "Error opening key" and yields "".
    std::string ReadSetting(std::string_view name);

private:
    IMessageSink& sink;
};

// ReadSetting for use before the main view exists: its failure box has no owner, an empty caption
// and the error icon.
std::string ReadAppSetting(std::string_view name, IMessageSink& sink);
