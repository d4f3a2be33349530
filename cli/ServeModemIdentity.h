#pragma once
// Which modem a service runs on, for the messages it archives in a database several services
// share: the IMEI the modem gives (AT+CGSN), else the port.

#include <string>

class CModemSession;

std::string ModemIdentity(CModemSession& session, const std::string& port);
