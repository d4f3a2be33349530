// Every number the Write SMS tab accepts, coded into a whole SMS-SUBMIT and decoded by Debian's
// python3-gammu, an implementation nobody here wrote. Skipped where it is not installed.
//
// gammu 1.42 reads only the decimal semi-octets (it drops '*' and '#'), so the numbers with
// signs are checked by our own decoder in the codec's tests, not here.

#include "common/RecordingMessageSink.h"
#include "common/RunShell.h"
#include "send/WorkedExample.h"
#include "sms/send/SubmitPdu.h"

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <unistd.h>

namespace {

constexpr const char* kPython = "/usr/bin/python3";

// Prints "number|smsc" for each PDU line of `file`.
constexpr const char* kDecoder = R"(
import sys, gammu
for line in open(sys.argv[1]):
    d = gammu.DecodePDU(bytes.fromhex(line.strip()), SMSC=True)
    print(d['Number'] + '|' + d['SMSC']['Number'])
)";

TEST(NumberGammu, EveryAcceptedNumberDecodesToTheSameDigits) {
    if (access(kPython, X_OK) != 0 ||
        RunShell(std::string(kPython) + " -c 'import gammu' 2>&1") != "")
        GTEST_SKIP() << "python3-gammu is not installed";
    struct Case {
        std::string typed;
        std::string digits;
    };
    const std::vector<Case> cases = {
        {"+39 333 111", "+39333111"},
        {"0039-333-1112", "00393331112"},
        {"(06) 123.456", "06123456"},
        {"+1 234 567 8901", "+12345678901"},
        {"1", "1"},
        {"12", "12"},
        {std::string(19, '7'), std::string(19, '7')},
        {"+" + std::string(20, '8'), "+" + std::string(20, '8')},
    };
    FakeWriteSmsForm form;
    FillWorkedExample(form);
    RecordingMessageSink sink;
    const auto file = std::filesystem::temp_directory_path() /
                      ("telvane-number-gammu-" + std::to_string(getpid()));
    std::ofstream pdus(file);
    for (const Case& c : cases) {
        form.SetControlText(kRecipientComboId, c.typed);
        form.SetControlText(kScaEditId, c.typed);
        SubmitPdu submit;
        ASSERT_EQ(BuildSubmitPdu(ReadWriteSmsValues(form), sink, submit), 0) << c.typed;
        pdus << submit.pdu << "\n";
    }
    pdus.close();
    std::ofstream(file.string() + ".py") << kDecoder;
    std::istringstream decoded(
        RunShell(std::string(kPython) + " " + file.string() + ".py " + file.string() + " 2>&1"));
    for (const Case& c : cases) {
        std::string line;
        std::getline(decoded, line);
        EXPECT_EQ(line, c.digits + "|" + c.digits) << c.typed;
    }
    EXPECT_TRUE(sink.Requests().empty());
    std::filesystem::remove(file);
    std::filesystem::remove(file.string() + ".py");
}

} // namespace
