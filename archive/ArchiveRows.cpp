#include "archive/ArchiveRows.h"

#include "db/CDaoSMS_In.h"
#include "db/CDaoSMS_Out.h"

namespace {

// The columns both tables fill alike.
template <class Recordset> SmsRow CommonRow(const Recordset& message, std::string name) {
    SmsRow row;
    row[kSmsNumberColumn] = std::to_string(message.ID);
    row[kSmsStatColumn] = kArchivedStatus;
    row[kSmsTextColumn] = message.Messaggio;
    row[kSmsSenderColumn] = message.Mittente;
    row[kSmsNameColumn] = std::move(name);
    row[kSmsScaColumn] = message.SCA;
    return row;
}

} // namespace

SmsRow ArchiveRow(const CDaoSMS_In& in, std::string name) {
    SmsRow row = CommonRow(in, std::move(name));
    row[kSmsTypeColumn] = "IN";
    // A missing or unreadable date leaves both columns empty.
    if (in.DateTime) {
        row[kSmsDateColumn] = in.DateTime->Format("%d/%m/%y");
        row[kSmsTimeColumn] = in.DateTime->Format("%H:%M.%S");
    }
    return row;
}

SmsRow ArchiveRow(const CDaoSMS_Out& out, std::string name) {
    SmsRow row = CommonRow(out, std::move(name));
    row[kSmsTypeColumn] = "Out";
    return row;
}
