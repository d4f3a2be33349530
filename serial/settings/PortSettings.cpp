#include "serial/settings/PortSettings.h"

#include "core/TextToInt.h"

namespace {

constexpr std::string_view kDefaultPort = "COM1:";
constexpr uint8_t kOneStopBit = 0;

// The first `count` characters of a UTF-8 text (continuation bytes do not start a character).
std::string FirstChars(std::string_view text, std::size_t count) {
    std::size_t chars = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool starts = (static_cast<unsigned char>(text[i]) & 0xC0U) != 0x80U;
        if (starts && chars++ == count)
            return std::string(text.substr(0, i));
    }
    return std::string(text);
}

void StoreChoice(ISettings& store, const ComSettingsChoice& choice, std::string& portSetting) {
    std::string speed = choice.speed;
    std::string dataBits(1, choice.dataBits);
    std::string parity(1, choice.parity);
    std::string flow = choice.flow;
    store.WriteSetting("COM", portSetting);
    store.WriteSetting("Baud", speed);
    store.WriteSetting("Data", dataBits);
    store.WriteSetting("Parity", parity);
    store.WriteSetting("Flow", flow);
}

// The dialog's view of the stored settings; its first-start choices where nothing is stored.
ComSettingsChoice StoredChoice(ISettings& store) {
    ComSettingsChoice shown{"9600", '0', '8', std::string(kDefaultPort), "2"};
    const std::string port = store.ReadSetting("COM");
    if (!port.empty())
        shown.port = port;
    if (const std::string speed = store.ReadSetting("Baud"); !speed.empty())
        shown.speed = speed;
    if (const std::string bits = store.ReadSetting("Data"); !bits.empty())
        shown.dataBits = bits.front();
    if (const std::string parity = store.ReadSetting("Parity"); !parity.empty())
        shown.parity = parity.front();
    if (const std::string flow = store.ReadSetting("Flow"); !flow.empty())
        shown.flow = flow;
    return shown;
}

} // namespace

StoredPortSettings ReadPortSettings(ISettings& store) {
    StoredPortSettings settings;
    settings.portName = store.ReadSetting("COM");
    LineSettings& line = settings.line;
    line.flowControl = TextToInt(store.ReadSetting("Flow"));
    line.byteSize = static_cast<uint8_t>(TextToInt(store.ReadSetting("Data")));
    line.baudRate = static_cast<uint32_t>(TextToInt(store.ReadSetting("Baud")));
    line.parity = static_cast<uint8_t>(TextToInt(store.ReadSetting("Parity")));
    line.stopBits = kOneStopBit;
    if (settings.portName.empty())
        settings.portName = kDefaultPort;
    return settings;
}

void LoadPortSettings(ISettings& store, CComPort& port, std::string& portSetting,
                      int32_t& flowSetting) {
    const StoredPortSettings settings = ReadPortSettings(store);
    portSetting = settings.portName;
    const LineSettings& line = settings.line;
    flowSetting = line.flowControl;
    port.SetPortName(portSetting);
    port.SetLineSettings(line.baudRate, line.parity, line.byteSize, line.stopBits,
                         line.flowControl);
}

void OnIoSettings(IComSettingsDialog& dialog, ISettings& store, CComPort& port,
                  std::string& portSetting, int32_t& flowSetting) {
    // Opened on what is stored, so that OK after one change keeps the rest.
    if (const std::optional<ComSettingsChoice> choice = dialog.Run(StoredChoice(store))) {
        port.SetPortName(choice->port);
        portSetting = FirstChars(choice->port, kSettingChars);
        StoreChoice(store, *choice, portSetting);
        flowSetting = TextToInt(choice->flow);
    }
    LoadPortSettings(store, port, portSetting, flowSetting);
}
