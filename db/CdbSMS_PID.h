#pragma once
// One protocol identifier choice of the send form ("00 - ..."). Record set over table dbPID.

#include "db/CDaoRecordset.h"

class CdbSMS_PID final : public CDaoRecordset {
public:
    explicit CdbSMS_PID(CDaoDatabase* db) : CDaoRecordset(db) {}

    std::string GetDefaultSQL() const override;
    std::vector<CDaoField> DoFieldExchange() override;

    std::string PID;
};
