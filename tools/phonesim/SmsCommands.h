#pragma once
// The short-message commands of 3GPP TS 27.005 in PDU mode: +CSMS, +CPMS, +CMGF, +CSCA, +CNMI,
// +CMGR, +CMGL, +CMGD, +CMGS and +CMGW. Reading a "received unread" message marks it read, as
// phones do. +CMGS and +CMGW only announce the prompt; the PDU that follows is handed to
// FinishSubmit, which sends it or stores it in the <mem2> memory.

#include "tools/phonesim/CommandGroup.h"
#include "tools/phonesim/Fixture.h"

#include <array>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class SmsCommands final : public CommandGroup {
public:
    explicit SmsCommands(Fixture& phoneData) : fixture(phoneData) {}

    bool Run(const std::string& name, const CommandArgs& args, CommandResult& result) override;

    // The PDU (hex, SCA field first) typed after the prompt. Takes it when it is whole hex, an
    // SMS-SUBMIT, and as long as +CMGS or +CMGW announced; `accepted` tells whether it was sent
    // (a stored one is not).
    CommandResult FinishSubmit(const std::string& pdu, bool& accepted);

    // A message the network delivers now (hex, centre field first), as +CNMI asks: with <mt> 1
    // stored in the receive memory (<mem3>) at its first free index and indicated
    // "+CMTI: <mem>,<index>"; with <mt> 2 or 3 not stored but pushed, "+CMT: ,<length>" and the
    // PDU (no +CNMA is expected: +CSMS offers service 0 only); with <mode> or <mt> 0 stored and
    // not indicated. A full memory takes nothing. The lines to send, header first.
    std::vector<std::string> Deliver(const std::string& pdu);
    // A status report due now, as <ds> asks: 1 pushed, "+CDS: <length>" and the PDU; 2 stored
    // and indicated "+CDSI: <mem>,<index>"; 0 (or <mode> 0) dropped, as the phone asked for none.
    std::vector<std::string> DeliverReport(const std::string& pdu);
    const std::string& CentreNumber() const { return serviceCentre.first; }
    // TP-MR given to the last SUBMIT accepted.
    int LastReference() const { return messageReference; }

    // Longest PDU text that can follow the prompt: SCA (12 octets) + SUBMIT (164 octets).
    static constexpr std::size_t kMaxPduText = 2 * (12 + 164);

private:
    CommandResult Csms(const CommandArgs& args);
    CommandResult Cpms(const CommandArgs& args);
    CommandResult Cmgf(const CommandArgs& args);
    CommandResult Csca(const CommandArgs& args);
    CommandResult Cnmi(const CommandArgs& args);
    CommandResult Cmgr(const CommandArgs& args);
    CommandResult Cmgl(const CommandArgs& args);
    CommandResult Cmgd(const CommandArgs& args);
    CommandResult Cmgs(const CommandArgs& args);
    CommandResult Cnma(const CommandArgs& args);
    // Stores `pdu` as received unread in the receive memory; its index, or 0 when full.
    int Store(const std::string& pdu);
    CommandResult Cmgw(const CommandArgs& args);
    CommandResult FinishWrite(const std::string& pdu);

    std::string CpmsCounts() const;
    std::string Usage(Storage storage) const;
    static std::string ListHeader(int index, const StoredSms& sms);
    StoredSms* Find(int index);

    Fixture& fixture;
    // +CPMS <mem1> (read, list, delete), <mem2> (write, send), <mem3> (receive)
    Storage readMemory = Storage::SM;
    Storage writeMemory = Storage::SM;
    Storage receiveMemory = Storage::SM;
    std::pair<std::string, int> serviceCentre{"+31624000000", 145};
    std::array<int, 5> newMessageIndication{};
    int announcedLength = 0;
    // The status a PDU announced by +CMGW is stored with; nothing after +CMGS.
    std::optional<SmsStat> writeStat;
    int messageReference = 0;
};
