#pragma once
// The SMS list rows of archived messages, read straight from SMS_In or SMS_Out in key order:
// each row in the nine columns of the SMS list with the phonebook name of its number. A row is
// filled in place, so a long walk reuses the same cells.

#include "db/TableScan.h"
#include "sms/SmsList.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class CDaoDatabase;
class PhonebookNames;

// What the viewer shows in the status column of every archived message.
inline constexpr std::string_view kArchivedStatus = "CABBITTO";

enum class ArchiveTable { In, Out };

// The table's name as its failure texts give it ("SMS_IN", "SMS_Out").
std::string_view ArchiveTableName(ArchiveTable table);

class ArchiveRowReader {
public:
    ArchiveRowReader(CDaoDatabase* database, ArchiveTable table);

    bool IsOpen() const { return scan.IsOpen(); }
    bool StartAt(std::int64_t key) { return scan.StartAt(key); }
    bool Next() { return scan.Next(); }
    std::int64_t Key() const { return scan.Key(); }
    std::vector<std::int64_t> Keys() { return scan.Keys(); }
    std::int64_t Count() { return scan.Count(); }
    const std::string& ErrorText() const { return scan.ErrorText(); }

    // The searched texts of the current row, as Fill would give them.
    std::string_view Text() const;
    std::string_view Sender() const;

    // The current row. Outgoing messages keep no time of their own: DATE and TIME stay empty,
    // as they do for a missing or unreadable date.
    void Fill(const PhonebookNames& names, SmsRow& row) const;

private:
    ArchiveTable table;
    TableScan scan;
};
