#pragma once
// A row of the phonebook archive. Record set over table Phonebook.

#include "db/CDaoRecordset.h"

class CDaoPhonebook final : public CDaoRecordset {
public:
    explicit CDaoPhonebook(CDaoDatabase* db) : CDaoRecordset(db) {}

    std::string GetDefaultSQL() const override;
    std::vector<CDaoField> DoFieldExchange() override;

    std::string Pos;
    std::string Numero;
    std::string Nome;
    std::string Type;
    std::string Memory;
};
