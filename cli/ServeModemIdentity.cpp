#include "cli/ServeModemIdentity.h"

#include "serial/CModemSession.h"

#include <algorithm>
#include <cctype>

std::string ModemIdentity(CModemSession& session, const std::string& port) {
    const PortLease lease = session.TakePort();
    const Reply reply = session.Exchange("AT+CGSN");
    if (!reply.Ok() || reply.lines.empty())
        return port;
    // Some modems put "+CGSN: " in front, some quote the number.
    std::string imei;
    std::ranges::copy_if(reply.lines.front().substr(reply.lines.front().find(':') + 1),
                         std::back_inserter(imei),
                         [](unsigned char c) { return std::isdigit(c) != 0; });
    return imei.empty() ? port : imei;
}
