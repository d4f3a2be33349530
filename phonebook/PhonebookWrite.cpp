#include "phonebook/PhonebookWrite.h"

#include "core/Utf8.h"
#include "pdu/HexText.h"
#include "phonebook/PhonebookCharset.h"

namespace {

constexpr int kInternationalType = 145;
constexpr int kNationalType = 129;

std::string Ucs2Hex(std::string_view utf8) {
    constexpr char32_t kFirstSupplementary = 0x10000;
    constexpr unsigned kTenBits = 0x3FF;
    std::string hex;
    const auto unit = [&hex](unsigned value) {
        append_hex_octet(hex, static_cast<std::uint8_t>(value >> 8U));
        append_hex_octet(hex, static_cast<std::uint8_t>(value & 0xFFU));
    };
    for (std::size_t pos = 0; pos < utf8.size();) {
        const char32_t cp = next_code_point(utf8, pos);
        if (cp < kFirstSupplementary) {
            unit(static_cast<unsigned>(cp));
        } else {
            const auto rest = static_cast<unsigned>(cp - kFirstSupplementary);
            unit(0xD800U + (rest >> 10U));
            unit(0xDC00U + (rest & kTenBits));
        }
    }
    for (char& c : hex)
        c = static_cast<char>(c >= 'a' && c <= 'f' ? c - 'a' + 'A' : c);
    return hex;
}

// The set in use for the writes, and the one to put back.
struct WriteCharset {
    std::string inUse;
    std::string previous;
    bool switched = false;
};

WriteCharset ChooseCharset(CModemSession& session) {
    WriteCharset charset;
    const Reply asked = session.Exchange("AT+CSCS?");
    if (!asked.Ok())
        return charset;
    charset.previous = ParseCharsetAnswer(asked.lines).value_or("");
    charset.inUse = charset.previous;
    if (charset.previous.empty() || charset.previous == kUcs2Charset)
        return charset;
    const Reply offered = session.Exchange("AT+CSCS=?");
    if (!offered.Ok() || !OffersUcs2(offered.lines))
        return charset;
    if (session.Exchange(R"(AT+CSCS="UCS2")").Ok()) {
        charset.inUse = kUcs2Charset;
        charset.switched = true;
    }
    return charset;
}

void RestoreCharset(CModemSession& session, const WriteCharset& charset) {
    if (charset.switched && !session.PortLost())
        session.Exchange("AT+CSCS=\"" + charset.previous + "\"");
}

std::string FailureText(const std::string& command, const Reply& reply) {
    return command + ": " + ReplyFailureText(reply);
}

template <typename Each>
PhonebookWriteReport WithMemory(CModemSession& session, PhonebookMemory memory, Each each) {
    PhonebookWriteReport report;
    const std::string select = "AT+CPBS=\"" + std::string(PhonebookMemoryName(memory)) + "\"";
    const Reply selected = session.Exchange(select);
    if (!selected.Ok()) {
        report.firstFailure = FailureText(select, selected);
        return report;
    }
    report.memorySelected = true;
    const WriteCharset charset = ChooseCharset(session);
    each(charset.inUse, report);
    RestoreCharset(session, charset);
    return report;
}

void WriteOne(CModemSession& session, const PhonebookEntry& entry, std::string_view charset,
              PhonebookWriteReport& report) {
    const std::string command = PhonebookWriteCommand(entry, charset);
    const Reply reply = session.Exchange(command);
    if (reply.Ok()) {
        ++report.written;
        return;
    }
    report.failedPositions.push_back(entry.position);
    if (report.firstFailure.empty())
        report.firstFailure = FailureText(command, reply);
}

} // namespace

std::string_view PhonebookMemoryName(PhonebookMemory memory) {
    return memory == PhonebookMemory::Phone ? "ME" : "SM";
}

std::string PhonebookWriteCommand(const PhonebookEntry& entry, std::string_view charset) {
    std::string command = "AT+CPBW=" + std::to_string(entry.position);
    if (entry.number.empty() && entry.name.empty())
        return command;
    // The number keeps its "+": phones store it as the read then shows it.
    const bool international = entry.number.starts_with('+');
    const std::string& digits = entry.number;
    const std::string name = charset == kUcs2Charset ? Ucs2Hex(entry.name) : entry.name;
    command += ",\"" + digits + "\"," +
               std::to_string(international ? kInternationalType : kNationalType) + ",\"" + name +
               "\"";
    return command;
}

PhonebookWriteReport WritePhonebookEntries(CModemSession& session, PhonebookMemory memory,
                                           const std::vector<PhonebookEntry>& entries) {
    return WithMemory(session, memory, [&](std::string_view charset, PhonebookWriteReport& report) {
        for (const PhonebookEntry& entry : entries) {
            if (session.PortLost() || (session.stopRequest.load() != 0))
                break;
            WriteOne(session, entry, charset, report);
        }
    });
}

PhonebookWriteReport ErasePhonebookEntry(CModemSession& session, PhonebookMemory memory,
                                         int position) {
    return WithMemory(session, memory, [&](std::string_view charset, PhonebookWriteReport& report) {
        WriteOne(session, {position, {}, {}}, charset, report);
    });
}
