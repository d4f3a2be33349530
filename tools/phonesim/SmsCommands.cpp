#include "tools/phonesim/SmsCommands.h"

#include "tools/phonesim/PduText.h"

namespace {

constexpr int kMaxSubmitLength = 164;
constexpr int kListAll = 4;
// +CNMI=? : the ranges this phone accepts for <mode>,<mt>,<bm>,<ds>,<bfr>.
constexpr std::array<int, 5> kCnmiMax = {2, 3, 3, 2, 1};

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

int StatNumber(SmsStat stat) {
    return static_cast<int>(stat);
}

// Which stored messages "AT+CMGD=<index>,<delflag>" removes (3GPP TS 27.005 3.5.4).
bool DeletedByFlag(SmsStat stat, int flag) {
    switch (stat) {
    case SmsStat::RecUnread:
        return flag == 4;
    case SmsStat::RecRead:
        return flag >= 1;
    case SmsStat::StoSent:
        return flag >= 2;
    case SmsStat::StoUnsent:
        return flag >= 3;
    }
    return false;
}

// A command taken in its set form only: its test form is answered OK, the others refused;
// nothing for the set form.
std::optional<CommandResult> AnswerUnlessSet(const CommandArgs& args) {
    switch (args.form) {
    case CommandForm::Execute:
    case CommandForm::Read:
        return ErrorResult();
    case CommandForm::Test:
        return OkResult();
    case CommandForm::Set:
        break;
    }
    return std::nullopt;
}

} // namespace

bool SmsCommands::Run(const std::string& name, const CommandArgs& args, CommandResult& result) {
    using Row = std::pair<const char*, CommandResult (SmsCommands::*)(const CommandArgs&)>;
    static const Row table[] = {
        {"+CSMS", &SmsCommands::Csms}, {"+CPMS", &SmsCommands::Cpms}, {"+CMGF", &SmsCommands::Cmgf},
        {"+CSCA", &SmsCommands::Csca}, {"+CNMI", &SmsCommands::Cnmi}, {"+CMGR", &SmsCommands::Cmgr},
        {"+CMGL", &SmsCommands::Cmgl}, {"+CMGD", &SmsCommands::Cmgd}, {"+CMGS", &SmsCommands::Cmgs},
        {"+CNMA", &SmsCommands::Cnma},
        {"+CMGW", &SmsCommands::Cmgw},
    };
    return RunFromTable(*this, table, name, args, result);
}

CommandResult SmsCommands::Csms(const CommandArgs& args) {
    switch (args.form) {
    case CommandForm::Execute:
        return ErrorResult();
    case CommandForm::Read:
        return OkResult({"+CSMS: 0,1,1,1"});
    case CommandForm::Test:
        return OkResult({"+CSMS: (0)"});
    case CommandForm::Set:
        if (args.params.size() != 1 || args.params[0] != "0")
            return CmsErrorResult(kCmsNotSupported);
        return OkResult({"+CSMS: 1,1,1"});
    }
    return ErrorResult();
}

std::string SmsCommands::Usage(Storage storage) const {
    const SmsMemory& memory = fixture.Sms(storage);
    return std::to_string(memory.messages.size()) + "," + std::to_string(memory.capacity);
}

std::string SmsCommands::CpmsCounts() const {
    return Usage(readMemory) + "," + Usage(writeMemory) + "," + Usage(receiveMemory);
}

CommandResult SmsCommands::Cpms(const CommandArgs& args) {
    switch (args.form) {
    case CommandForm::Execute:
        return ErrorResult();
    case CommandForm::Read: {
        std::string line = "+CPMS: ";
        for (Storage storage : {readMemory, writeMemory, receiveMemory})
            line += Quoted(StorageName(storage)) + "," + Usage(storage) + ",";
        line.pop_back();
        return OkResult({line});
    }
    case CommandForm::Test:
        return OkResult({R"(+CPMS: ("SM","ME"),("SM","ME"),("SM","ME"))"});
    case CommandForm::Set:
        break;
    }
    if (args.params.size() > 3)
        return ErrorResult();
    std::array<Storage, 3> chosen = {readMemory, writeMemory, receiveMemory};
    for (std::size_t i = 0; i < args.params.size(); ++i)
        if (!ParseStorage(args.params[i], chosen[i]))
            return CmsErrorResult(kCmsNotAllowed);
    readMemory = chosen[0];
    writeMemory = chosen[1];
    receiveMemory = chosen[2];
    return OkResult({"+CPMS: " + CpmsCounts()});
}

CommandResult SmsCommands::Cmgf(const CommandArgs& args) {
    switch (args.form) {
    case CommandForm::Execute:
        return OkResult();
    case CommandForm::Read:
        return OkResult({"+CMGF: 0"});
    case CommandForm::Test:
        return OkResult({"+CMGF: (0)"});
    case CommandForm::Set:
        break;
    }
    // Text mode is not offered: +CMGF=? says so, and a client asking for it is refused.
    if (args.params.size() != 1 || (args.params[0] != "0" && args.params[0] != "1"))
        return ErrorResult();
    return args.params[0] == "0" ? OkResult() : CmsErrorResult(kCmsNotSupported);
}

CommandResult SmsCommands::Csca(const CommandArgs& args) {
    switch (args.form) {
    case CommandForm::Execute:
        return ErrorResult();
    case CommandForm::Read:
        return OkResult(
            {"+CSCA: " + Quoted(serviceCentre.first) + "," + std::to_string(serviceCentre.second)});
    case CommandForm::Test:
        return OkResult();
    case CommandForm::Set:
        break;
    }
    std::string number;
    if (args.params.empty() || args.params.size() > 2 || !UnquoteParam(args.params[0], number) ||
        number.empty() || number.size() > 20)
        return CmsErrorResult(kCmsNotAllowed);
    // Without a type: international when the number says so (3GPP TS 27.005 3.3.1).
    int type = number.starts_with('+') ? 145 : 129;
    if (args.params.size() == 2 && (!ParseIntParam(args.params[1], type) || type > 255))
        return CmsErrorResult(kCmsNotAllowed);
    serviceCentre = {number, type};
    return OkResult();
}

CommandResult SmsCommands::Cnmi(const CommandArgs& args) {
    switch (args.form) {
    case CommandForm::Execute:
        return ErrorResult();
    case CommandForm::Read: {
        std::string line = "+CNMI: ";
        for (int value : newMessageIndication)
            line += std::to_string(value) + ",";
        line.pop_back();
        return OkResult({line});
    }
    case CommandForm::Test:
        return OkResult({"+CNMI: (0-2),(0-3),(0-3),(0-2),(0,1)"});
    case CommandForm::Set:
        break;
    }
    if (args.params.size() > newMessageIndication.size())
        return ErrorResult();
    std::array<int, 5> chosen = newMessageIndication;
    for (std::size_t i = 0; i < args.params.size(); ++i) {
        if (args.params[i].empty())
            continue;
        if (!ParseIntParam(args.params[i], chosen[i]) || chosen[i] > kCnmiMax[i])
            return CmsErrorResult(kCmsNotSupported);
    }
    newMessageIndication = chosen;
    return OkResult();
}

StoredSms* SmsCommands::Find(int index) {
    auto& messages = fixture.Sms(readMemory).messages; // cppcheck-suppress constVariable
    const auto found = messages.find(index);
    return found == messages.end() ? nullptr : &found->second;
}

std::string SmsCommands::ListHeader(int index, const StoredSms& sms) {
    return "+CMGL: " + std::to_string(index) + "," + std::to_string(StatNumber(sms.stat)) + ",," +
           std::to_string(TpduLength(sms.pdu));
}

CommandResult SmsCommands::Cmgr(const CommandArgs& args) {
    if (const auto answer = AnswerUnlessSet(args))
        return *answer;
    int index = 0;
    if (args.params.size() != 1 || !ParseIntParam(args.params[0], index))
        return ErrorResult();
    StoredSms* sms = Find(index);
    if (sms == nullptr)
        return CmsErrorResult(kCmsInvalidIndex);
    CommandResult result = OkResult({"+CMGR: " + std::to_string(StatNumber(sms->stat)) + ",," +
                                         std::to_string(TpduLength(sms->pdu)),
                                     sms->pdu});
    if (sms->stat == SmsStat::RecUnread)
        sms->stat = SmsStat::RecRead;
    return result;
}

CommandResult SmsCommands::Cmgl(const CommandArgs& args) {
    int wanted = 0; // "received unread" when the parameter is left out
    switch (args.form) {
    case CommandForm::Read:
        return ErrorResult();
    case CommandForm::Test:
        return OkResult({"+CMGL: (0-4)"});
    case CommandForm::Execute:
        break;
    case CommandForm::Set:
        if (args.params.size() != 1 || !ParseIntParam(args.params[0], wanted))
            return ErrorResult();
        if (wanted > kListAll)
            return CmsErrorResult(kCmsInvalidPduParameter);
        break;
    }
    CommandResult result = OkResult();
    for (auto& [index, sms] : fixture.Sms(readMemory).messages) {
        if (wanted != kListAll && StatNumber(sms.stat) != wanted)
            continue;
        result.lines.push_back(ListHeader(index, sms));
        result.lines.push_back(sms.pdu);
        if (sms.stat == SmsStat::RecUnread)
            sms.stat = SmsStat::RecRead;
    }
    return result;
}

CommandResult SmsCommands::Cmgd(const CommandArgs& args) {
    auto& messages = fixture.Sms(readMemory).messages;
    switch (args.form) {
    case CommandForm::Execute:
    case CommandForm::Read:
        return ErrorResult();
    case CommandForm::Test: {
        std::string used;
        for (const auto& entry : messages)
            used += std::to_string(entry.first) + ",";
        if (!used.empty())
            used.pop_back();
        return OkResult({"+CMGD: (" + used + "),(0-4)"});
    }
    case CommandForm::Set:
        break;
    }
    int index = 0;
    int flag = 0;
    if (args.params.empty() || args.params.size() > 2 || !ParseIntParam(args.params[0], index) ||
        (args.params.size() == 2 && !ParseIntParam(args.params[1], flag)))
        return ErrorResult();
    if (flag > kListAll)
        return CmsErrorResult(kCmsInvalidPduParameter);
    if (flag == 0) {
        // An index in range but free is not an error: the slot is empty afterwards either way.
        if (index < 1 || index > fixture.Sms(readMemory).capacity)
            return CmsErrorResult(kCmsInvalidIndex);
        messages.erase(index);
        return OkResult();
    }
    std::erase_if(messages,
                  [flag](const auto& entry) { return DeletedByFlag(entry.second.stat, flag); });
    return OkResult();
}

CommandResult SmsCommands::Cmgs(const CommandArgs& args) {
    if (const auto answer = AnswerUnlessSet(args))
        return *answer;
    int length = 0;
    if (args.params.size() != 1 || !ParseIntParam(args.params[0], length))
        return ErrorResult();
    if (length < 1 || length > kMaxSubmitLength)
        return CmsErrorResult(kCmsInvalidPduParameter);
    announcedLength = length;
    writeStat.reset();
    return CommandResult{{}, FinalResult::Prompt, 0};
}

CommandResult SmsCommands::Cmgw(const CommandArgs& args) {
    if (const auto answer = AnswerUnlessSet(args))
        return *answer;
    int length = 0;
    int stat = StatNumber(SmsStat::StoUnsent);
    if (args.params.empty() || args.params.size() > 2 || !ParseIntParam(args.params[0], length) ||
        (args.params.size() == 2 && !ParseIntParam(args.params[1], stat)))
        return ErrorResult();
    if (length < 1 || length > kMaxSubmitLength ||
        (stat != StatNumber(SmsStat::StoUnsent) && stat != StatNumber(SmsStat::StoSent)))
        return CmsErrorResult(kCmsInvalidPduParameter);
    announcedLength = length;
    writeStat = static_cast<SmsStat>(stat);
    return CommandResult{{}, FinalResult::Prompt, 0};
}

CommandResult SmsCommands::FinishWrite(const std::string& pdu) {
    SmsMemory& memory = fixture.Sms(writeMemory);
    for (int index = 1; index <= memory.capacity; ++index) {
        if (memory.messages.contains(index))
            continue;
        memory.messages[index] = StoredSms{*writeStat, pdu};
        return OkResult({"+CMGW: " + std::to_string(index)});
    }
    return CmsErrorResult(kCmsMemoryFull);
}

CommandResult SmsCommands::FinishSubmit(const std::string& pdu, bool& accepted) {
    accepted = false;
    if (TpduLength(pdu) != announcedLength || TpduType(pdu) != 1)
        return CmsErrorResult(kCmsInvalidPduParameter);
    if (writeStat)
        return FinishWrite(pdu);
    accepted = true;
    messageReference = (messageReference + 1) % 256;
    return OkResult({"+CMGS: " + std::to_string(messageReference)});
}
