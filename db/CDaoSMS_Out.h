#pragma once
// An outgoing (sent or stored) message of the archive. Record set over table SMS_Out.

#include "db/CDaoRecordset.h"

class CDaoSMS_Out final : public CDaoRecordset {
public:
    explicit CDaoSMS_Out(CDaoDatabase* db) : CDaoRecordset(db) {}

    std::string GetDefaultSQL() const override;
    std::vector<CDaoField> DoFieldExchange() override;

    std::int32_t ID{}; // assigned by the database
    std::string SCA;
    std::uint8_t PDUTYPE{};
    std::uint8_t MR{};
    std::string Mittente;
    std::uint8_t PID{};
    std::uint8_t DCS{};
    std::uint8_t ValidityType{};
    std::string Validity;
    std::uint8_t UDL{};
    std::string Messaggio;
};
