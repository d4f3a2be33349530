#include "db/CdbSMS_PID.h"

std::string CdbSMS_PID::GetDefaultSQL() const {
    return "[dbPID]";
}

std::vector<CDaoField> CdbSMS_PID::DoFieldExchange() {
    return {{"PID", &PID}};
}
