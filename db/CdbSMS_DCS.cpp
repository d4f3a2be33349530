#include "db/CdbSMS_DCS.h"

std::string CdbSMS_DCS::GetDefaultSQL() const {
    return "[dbDCS]";
}

std::vector<CDaoField> CdbSMS_DCS::DoFieldExchange() {
    return {{"DCS", &DCS}};
}
