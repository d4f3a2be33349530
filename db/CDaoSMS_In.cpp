#include "db/CDaoSMS_In.h"

std::string CDaoSMS_In::GetDefaultSQL() const {
    return "[SMS_In]";
}

std::vector<CDaoField> CDaoSMS_In::DoFieldExchange() {
    return {{"ID", &ID},
            {"SCA", &SCA},
            {"PDUTYPE", &PDUTYPE},
            {"Mittente", &Mittente},
            {"PID", &PID},
            {"DCS", &DCS},
            {"DateTime", &DateTime},
            {"UDL", &UDL},
            {"Messaggio", &Messaggio}};
}
