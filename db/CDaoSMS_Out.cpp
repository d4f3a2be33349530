#include "db/CDaoSMS_Out.h"

std::string CDaoSMS_Out::GetDefaultSQL() const {
    return "[SMS_Out]";
}

std::vector<CDaoField> CDaoSMS_Out::DoFieldExchange() {
    return {{"ID", &ID},
            {"SCA", &SCA},
            {"PDUTYPE", &PDUTYPE},
            {"MR", &MR},
            {"Mittente", &Mittente},
            {"PID", &PID},
            {"DCS", &DCS},
            {"ValidityType", &ValidityType},
            {"Validity", &Validity},
            {"UDL", &UDL},
            {"Messaggio", &Messaggio}};
}
