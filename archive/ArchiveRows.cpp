#include "archive/ArchiveRows.h"

#include "archive/PhonebookNames.h"
#include "db/DbDateTime.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <limits>

namespace {

// The columns read, by position: the same for both tables but the date.
constexpr int kId = 0;
constexpr int kSca = 1;
constexpr int kSender = 2;
constexpr int kText = 3;
constexpr int kDate = 4;

void TwoDigits(std::string& out, int value) {
    out += static_cast<char>('0' + value / 10 % 10);
    out += static_cast<char>('0' + value % 10);
}

// "%d/%m/%y" and "%H:%M.%S" of the stored date, or both empty when it is no date.
void FillDate(std::string_view iso, SmsRow& row) {
    std::string& date = row[kSmsDateColumn];
    std::string& time = row[kSmsTimeColumn];
    date.clear();
    time.clear();
    const std::optional<DbDateTime> when = DbDateTime::FromIso(iso);
    if (!when)
        return;
    TwoDigits(date, when->day);
    date += '/';
    TwoDigits(date, when->month);
    date += '/';
    TwoDigits(date, when->year % 100);
    TwoDigits(time, when->hour);
    time += ':';
    TwoDigits(time, when->minute);
    time += '.';
    TwoDigits(time, when->second);
}

std::int32_t ClampedId(std::int64_t id) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        id, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

} // namespace

std::string_view ArchiveTableName(ArchiveTable table) {
    return table == ArchiveTable::In ? "SMS_IN" : "SMS_Out";
}

ArchiveRowReader::ArchiveRowReader(CDaoDatabase* database, ArchiveTable which)
    : table(which), scan(database, which == ArchiveTable::In ? "SMS_In" : "SMS_Out",
                         which == ArchiveTable::In ? "ID, SCA, Mittente, Messaggio, DateTime"
                                                   : "ID, SCA, Mittente, Messaggio") {}

std::string_view ArchiveRowReader::Text() const {
    return scan.Text(kText);
}

std::string_view ArchiveRowReader::Sender() const {
    return scan.Text(kSender);
}

void ArchiveRowReader::Fill(const PhonebookNames& names, SmsRow& row) const {
    std::array<char, 16> id{};
    const auto printed =
        std::to_chars(id.data(), id.data() + id.size(), ClampedId(scan.Integer(kId)));
    row[kSmsNumberColumn].assign(id.data(), printed.ptr);
    row[kSmsTypeColumn] = table == ArchiveTable::In ? "IN" : "Out";
    row[kSmsStatColumn] = kArchivedStatus;
    row[kSmsTextColumn] = scan.Text(kText);
    const std::string_view sender = scan.Text(kSender);
    row[kSmsSenderColumn] = sender;
    row[kSmsNameColumn] = names.Find(sender);
    row[kSmsScaColumn] = scan.Text(kSca);
    if (table == ArchiveTable::In) {
        FillDate(scan.Text(kDate), row);
    } else {
        row[kSmsDateColumn].clear();
        row[kSmsTimeColumn].clear();
    }
}
