// "send" of texts many parts long, against telvane-phonesim: every part the phone took is read
// back with the project's decoder, its concatenation header (reference, total, sequence)
// checked, and the parts joined must give the text sent.

#include "cli/CliTestSetup.h"
#include "common/PhoneSim.h"
#include "pdu/HexText.h"
#include "pdu/PduParser.h"
#include "pdu/SmsContainer.h"
#include "pdu/UserData.h"

#include <gtest/gtest.h>
#include <optional>
#include <set>

namespace {

class CliLongSendTest : public ::testing::Test, public CliTestBase {
protected:
    CliResult Send(const std::string& text, Lines extra = {}) {
        Lines arguments{"--port", phone.LinkPath(), "send", "--to", "+123456789", "--sca", "+1234"};
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        arguments.push_back(text);
        return Cli(arguments);
    }

    // The parts the phone took, in order: checks that they are `total` linked parts of one
    // reference in sequence, and gives their texts joined.
    std::string JoinedSent(int total) {
        const Lines sent = phone.SentPdus();
        EXPECT_EQ(std::ssize(sent), total);
        std::set<int> references;
        std::string joined;
        for (std::size_t i = 0; i < sent.size(); ++i) {
            sms_container sms;
            EXPECT_EQ(parse_sms_out(sent[i], sms), 1) << sent[i];
            const int first = read_byte(sms.pdu_type);
            const auto concat = decode_concat(sms.ud, first);
            if (!concat) {
                ADD_FAILURE() << "part " << i + 1 << " has no concatenation header";
                continue;
            }
            references.insert(concat->reference);
            EXPECT_FALSE(concat->reference16);
            EXPECT_EQ(concat->total, total);
            EXPECT_EQ(concat->sequence, static_cast<int>(i) + 1);
            joined += decode_ud(sms.ud, read_byte(sms.udl), read_byte(sms.dcs), first);
        }
        EXPECT_EQ(references.size(), 1U) << "one reference links every part";
        return joined;
    }

    PhoneSim phone{PhoneSimOptions{""}};
};

// A text that shows a part lost, doubled or out of order.
std::string Cycle(const Lines& letters, std::size_t count) {
    std::string text;
    for (std::size_t i = 0; i < count; ++i)
        text += letters[i % letters.size()] + (i % 97 == 0 ? std::to_string(i % 10) : "");
    return text;
}

TEST_F(CliLongSendTest, FortyGsmPartsGoLinkedInSequence) {
    // 153 septets a part: 40 parts, the last one full.
    std::string text = Cycle({"a", "b", "c", "d", "e", "f", "g"}, 6120);
    text.resize(40 * 153);
    const CliResult result = Send(text);
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(JoinedSent(40), text);
    EXPECT_EQ(Starting(SplitLines(result.err), "Reference of part ").size(), 40U) << result.err;
    EXPECT_EQ(Starting(SplitLines(result.err), "Reference of part 40/40: ").size(), 1U);
}

TEST_F(CliLongSendTest, TwentyUcs2PartsGoLinkedInSequence) {
    // 67 UTF-16 units a part: 1340 Greek letters are 20 parts.
    const std::string text = Cycle({"α", "β", "γ", "δ", "ε"}, 1340 - 14);
    const CliResult result = Send(text);
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(JoinedSent(20), text);
}

TEST_F(CliLongSendTest, MaxPartsAndTheHeadersOwnLimitRefuseBeforeAnythingIsSent) {
    const std::string greek = Cycle({"α", "β", "γ", "δ", "ε"}, 1340 - 14);
    const CliResult fewer = Send(greek, {"--max-parts", "19"});
    EXPECT_EQ(fewer.status, 2);
    EXPECT_EQ(fewer.err, "telvane-cli: the text takes 20 parts, more than --max-parts 19\n");
    const CliResult enough = Send(std::string(161, 'a'), {"--max-parts", "2"});
    EXPECT_EQ(enough.status, 0) << enough.err;
    EXPECT_EQ(phone.SentPdus().size(), 2U);
    // 255 parts of 153 septets, and one septet more.
    const CliResult tooLong = Send(std::string(255 * 153 + 1, 'a'));
    EXPECT_EQ(tooLong.status, 2);
    EXPECT_EQ(tooLong.err, "telvane-cli: the text is longer than 255 linked messages hold\n");
    EXPECT_EQ(Starting(phone.Received(), "AT+CMGS").size(), 2U) << "only the one that fits";
}

} // namespace
