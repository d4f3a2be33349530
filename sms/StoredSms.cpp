#include "sms/StoredSms.h"

#include "serial/AtFields.h"

#include <algorithm>

std::string_view SmsMemoryName(SmsMemory memory) {
    return memory == SmsMemory::Phone ? "ME" : "SM";
}

Reply SelectSmsMemory(CModemSession& session, SmsMemory memory) {
    return session.Exchange("AT+CPMS=\"" + std::string(SmsMemoryName(memory)) + "\"");
}

StoredSmsList ParseStoredSmsList(const std::vector<std::string>& lines) {
    StoredSmsList list;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        AtFields fields(lines[i]);
        if (!fields.Begin("+CMGL:"))
            continue;
        const std::optional<int> index = fields.NextNumber();
        const std::optional<int> status = fields.NextNumber();
        if (!index || !status || i + 1 >= lines.size() || lines[i + 1].starts_with("+CMGL:")) {
            ++list.malformed;
            continue;
        }
        list.messages.push_back({*index, *status, lines[++i]});
    }
    std::ranges::stable_sort(list.messages, {}, &StoredSms::index);
    return list;
}

Reply ListStoredSms(CModemSession& session, StoredSmsList& list) {
    Reply reply = session.Exchange("AT+CMGL=4");
    list = reply.Ok() ? ParseStoredSmsList(reply.lines) : StoredSmsList{};
    return reply;
}

Reply ReadStoredSms(CModemSession& session, int index, std::optional<StoredSms>& found) {
    found.reset();
    Reply reply = session.Exchange("AT+CMGR=" + std::to_string(index));
    if (reply.Ok())
        found = ParseStoredSms(reply.lines, index);
    return reply;
}

std::optional<StoredSms> ParseStoredSms(const std::vector<std::string>& lines, int index) {
    for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
        AtFields fields(lines[i]);
        if (!fields.Begin("+CMGR:"))
            continue;
        if (const std::optional<int> status = fields.NextNumber())
            return StoredSms{index, *status, lines[i + 1]};
        break;
    }
    return std::nullopt;
}

Reply DeleteStoredSms(CModemSession& session, int index) {
    return session.Exchange("AT+CMGD=" + std::to_string(index));
}

Reply DeleteAllStoredSms(CModemSession& session) {
    return session.Exchange("AT+CMGD=1,4");
}
