#pragma once
// The program's settings: text values under [General] of one per-user INI file,
// $XDG_CONFIG_HOME/Quorvel/Telvane.ini (default ~/.config), standing for the registry key
// "Software\Quorvel\Telvane". Every call opens the file, does one read or one write and closes it
// again; nothing is cached between calls. A write replaces the file atomically (temporary file and
// rename), so a crash mid-write leaves the previous file intact. User-interface thread only.

#include "core/ISettings.h"
#include "core/MessageSink.h"

#include <string>
#include <string_view>

// The settings file of the current user; resolved from XDG_CONFIG_HOME on every call.
std::string SettingsFilePath();

class CSettingsStore final : public ISettings {
public:
    explicit CSettingsStore(IMessageSink& messageSink) : sink(messageSink) {}

    // When the file cannot be written, shows "Error opening key" and stores nothing.
    void WriteSetting(std::string_view name, std::string& text) override;

    // When the file cannot be read, shows "Error opening key" and yields "".
    std::string ReadSetting(std::string_view name) override;

private:
    IMessageSink& sink;
};

// ReadSetting for use before the main view exists: its failure box has no owner, an empty caption
// and the error icon.
std::string ReadAppSetting(std::string_view name, IMessageSink& sink);
