#pragma once
// A received message of the archive. Record set over table SMS_In.

#include "db/CDaoRecordset.h"

class CDaoSMS_In final : public CDaoRecordset {
public:
    explicit CDaoSMS_In(CDaoDatabase* db) : CDaoRecordset(db) {}

    std::string GetDefaultSQL() const override;
    std::vector<CDaoField> DoFieldExchange() override;

    std::int32_t ID{}; // assigned by the database
    std::string SCA;
    std::uint8_t PDUTYPE{};
    std::string Mittente;
    std::uint8_t PID{};
    std::uint8_t DCS{};
    std::optional<DbDateTime> DateTime;
    std::uint8_t UDL{};
    std::string Messaggio;
};
