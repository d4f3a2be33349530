// What SmsCommands does with messages and reports that arrive of their own accord (3GPP TS
// 27.005 3.4.1: +CNMI's <mode>, <mt>, <ds>).

#include "tools/phonesim/PduText.h"
#include "tools/phonesim/SmsCommands.h"

namespace {

constexpr int kCmsNoAckExpected = 340; // 27.005 3.2.5: no +CNMA acknowledgement expected

enum CnmiField { kMode = 0, kMt = 1, kDs = 3 };

std::string Quoted(const char* text) {
    return std::string("\"") + text + "\"";
}

} // namespace

int SmsCommands::Store(const std::string& pdu) {
    SmsMemory& memory = fixture.Sms(receiveMemory);
    for (int index = 1; index <= memory.capacity; ++index) {
        if (memory.messages.contains(index))
            continue;
        memory.messages[index] = StoredSms{SmsStat::RecUnread, pdu};
        return index;
    }
    return 0;
}

std::vector<std::string> SmsCommands::Deliver(const std::string& pdu) {
    const bool indicated = newMessageIndication[kMode] != 0;
    const int mt = indicated ? newMessageIndication[kMt] : 0;
    if (mt >= 2)
        return {"+CMT: ," + std::to_string(TpduLength(pdu)), pdu};
    const int index = Store(pdu);
    if (mt == 0 || index == 0)
        return {};
    return {"+CMTI: " + Quoted(StorageName(receiveMemory)) + "," + std::to_string(index)};
}

std::vector<std::string> SmsCommands::DeliverReport(const std::string& pdu) {
    const int ds = newMessageIndication[kMode] != 0 ? newMessageIndication[kDs] : 0;
    if (ds == 1)
        return {"+CDS: " + std::to_string(TpduLength(pdu)), pdu};
    if (ds != 2)
        return {};
    const int index = Store(pdu);
    if (index == 0)
        return {};
    return {"+CDSI: " + Quoted(StorageName(receiveMemory)) + "," + std::to_string(index)};
}

CommandResult SmsCommands::Cnma(const CommandArgs& args) {
    if (args.form == CommandForm::Test)
        return OkResult({"+CNMA: (0)"});
    return CmsErrorResult(kCmsNoAckExpected);
}
