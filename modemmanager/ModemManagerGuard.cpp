#include "modemmanager/ModemManagerGuard.h"

#include "res/form/MenuTable.h"

ModemManagerGuard::~ModemManagerGuard() {
    AfterClose();
}

std::string ModemManagerGuard::BeforeOpen(const std::string& devicePath) {
    AfterClose(); // a session reopened on another port gives the first device back
    if (!client)
        client = std::make_unique<ModemManagerClient>();
    const auto modem = client->ModemUsing(devicePath);
    if (!modem)
        return {};
    std::string name = modem->manufacturer;
    if (!modem->model.empty())
        name += (name.empty() ? "" : " ") + modem->model;
    const std::string head =
        "ModemManager manages this port's modem (" + name + ", port " + modem->port + ")";
    if (!wanted)
        return head + ": it will answer and take the phone's lines. Tick File, \"" +
               std::string(kInhibitModemManagerText) +
               "\", or keep ModemManager away from it (README).";
    const std::string error = client->InhibitDevice(modem->device, true);
    if (!error.empty())
        return head + " and did not let go of it: " + error;
    inhibited = modem->device;
    return head + ": it lets go of it while the session is open.";
}

void ModemManagerGuard::AfterClose() {
    if (inhibited.empty())
        return;
    client->InhibitDevice(inhibited, false);
    inhibited.clear();
}
