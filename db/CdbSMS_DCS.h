#pragma once
// One data coding scheme choice of the send form ("00 - ..."). Record set over table dbDCS.

#include "db/CDaoRecordset.h"

class CdbSMS_DCS final : public CDaoRecordset {
public:
    explicit CdbSMS_DCS(CDaoDatabase* db) : CDaoRecordset(db) {}

    std::string GetDefaultSQL() const override;
    std::vector<CDaoField> DoFieldExchange() override;

    std::string DCS;
};
