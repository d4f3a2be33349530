#pragma once
// The port settings between the settings store, the view and the port object. The values in
// force are always those read back from the store: the dialog's choices reach the port only
// through it. User-interface thread only.

#include "core/ISettings.h"
#include "serial/CComPort.h"
#include "serial/LineSettings.h"
#include "serial/settings/IComSettingsDialog.h"

#include <cstdint>
#include <string>

// The port settings as the store holds them, numbers read the way atoi reads them; always one
// stop bit.
struct StoredPortSettings {
    std::string portName; // "COM1:" when none is stored
    LineSettings line;
};

// Reads "COM", "Flow", "Data", "Baud" and "Parity", in this order.
StoredPortSettings ReadPortSettings(ISettings& store);

// Reads the stored settings into the view's portSetting (at most 99 characters) and flowSetting
// and applies them to the port, with one stop bit; they take effect at the port's next Open.
void LoadPortSettings(ISettings& store, CComPort& port, std::string& portSetting,
                      int32_t& flowSetting);

// The "IO Settings" command: runs the dialog on the stored settings (COM1:, HW, 8, none, 9600
// where nothing is stored); on OK sets the port's name and stores "COM",
// "Baud", "Data", "Parity" and "Flow" in this order; then, OK or Cancel, LoadPortSettings.
void OnIoSettings(IComSettingsDialog& dialog, ISettings& store, CComPort& port,
                  std::string& portSetting, int32_t& flowSetting);
