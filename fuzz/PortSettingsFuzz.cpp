// The port settings as LoadPortSettings reads them from the settings file, with any values in
// it: the view's name is the stored one (at most 99 characters, "COM1:" when none), and the port
// takes that same name - one limit, counted in characters, in both places.

#include "common/RecordingMessageSink.h"
#include "core/TextToInt.h"
#include "fuzz/FuzzCheck.h"
#include "serial/CComPort.h"
#include "serial/settings/CSettingsStore.h"
#include "serial/settings/PortSettings.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <unistd.h>

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
    // Every run writes its own settings file, never the user's; in memory where the system
    // offers it, as the file is written once per value.
    static std::string folder = std::string(access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") +
                                "/telvane-settingsfuzz-XXXXXX";
    FuzzRequire(mkdtemp(folder.data()) != nullptr);
    setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string> values = FuzzLines(FuzzText(data, size));
    static constexpr std::array<const char*, 5> kNames = {"COM", "Flow", "Data", "Baud", "Parity"};
    RecordingMessageSink sink;
    CSettingsStore store(sink);
    for (std::size_t i = 0; i < kNames.size(); ++i) {
        std::string value = i < values.size() ? values[i] : std::string();
        store.WriteSetting(kNames[i], value);
    }
    CComPort port(sink);
    std::string portSetting;
    int32_t flowSetting = -1;
    LoadPortSettings(store, port, portSetting, flowSetting);
    FuzzRequire(sink.Texts().empty());

    const std::string stored = store.ReadSetting("COM");
    FuzzRequire(portSetting == (stored.empty() ? std::string("COM1:") : stored));
    const auto characters = std::ranges::count_if(
        portSetting, [](char c) { return (static_cast<unsigned char>(c) & 0xC0U) != 0x80U; });
    FuzzRequire(characters <= 99);
    if (portSetting.find('\0') == std::string::npos)
        FuzzRequire(port.PortName() == portSetting);
    FuzzRequire(flowSetting == TextToInt(store.ReadSetting("Flow")));
    return 0;
}
