// "Read SCA": the answer's number, and the exchange against telvane-phonesim on a pseudo-terminal.

#include "sms/send/ReadSca.h"

#include "common/PhoneSim.h"
#include "common/RecordingMessageSink.h"
#include "serial/FakeSessionParts.h"

#include <future>
#include <gtest/gtest.h>

namespace {

using Lines = std::vector<std::string>;

TEST(ParseCscaAnswer, TakesTheQuotedNumberAndAddsThePlusForType145) {
    EXPECT_EQ(ParseCscaAnswer({"+CSCA: \"+31624000000\",145", "OK"}), "+31624000000");
    EXPECT_EQ(ParseCscaAnswer({"+CSCA: \"31624000000\",145"}), "+31624000000");
    EXPECT_EQ(ParseCscaAnswer({"+CSCA: \"0612345\",129"}), "0612345");
    EXPECT_EQ(ParseCscaAnswer({"AT+CSCA?", "+CSCA: \"0612345\""}), "0612345");
    EXPECT_EQ(ParseCscaAnswer({"+CSCA: \"\",129", "OK"}), std::nullopt);
    EXPECT_EQ(ParseCscaAnswer({"+CSCA: 145", "OK"}), std::nullopt);
    EXPECT_EQ(ParseCscaAnswer({"OK"}), std::nullopt);
}

class ReadScaOnPhoneTest : public ::testing::Test {
protected:
    void Open(const PhoneSim& phone) {
        session.Port().SetPortName(phone.LinkPath());
        session.Port().SetLineSettings(115200, 0, 8, 0, 2);
        session.OpenSession();
    }

    // Starts the worker and waits for its result; nothing when it was refused.
    std::optional<ReadScaResult> Read() {
        std::promise<ReadScaResult> promise;
        if (!worker.Start([&promise](const ReadScaResult& r) { promise.set_value(r); }))
            return std::nullopt;
        const ReadScaResult result = promise.get_future().get();
        worker.Join();
        return result;
    }

    RecordingMessageSink sink;
    RealWaiter waiter;
    RecordingForm form;
    CModemSession session{sink, waiter, form};
    CReadScaWorker worker{session};
};

TEST_F(ReadScaOnPhoneTest, ReadsTheNumberThePhoneAnswersAndGivesThePortBack) {
    PhoneSim phone;
    Open(phone);
    const auto result = Read();
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, ReadScaStatus::Read);
    EXPECT_EQ(result->number, "+31624000000");
    EXPECT_EQ(phone.Received().back(), "AT+CSCA?");
    EXPECT_FALSE(session.PortTaken());
    EXPECT_TRUE(ReadScaNote(*result).empty());
}

TEST_F(ReadScaOnPhoneTest, AnErrorAndASilentPhoneAreTold) {
    PhoneSim refusing({.fixture = "reply AT+CSCA +CMS ERROR: 500\n"});
    Open(refusing);
    auto result = Read();
    ASSERT_TRUE(result);
    EXPECT_EQ(ReadScaNote(*result), "Read SCA: the phone answered with an error");
    session.CloseSession();

    PhoneSim silent({.fixture = "reply AT+CSCA\n"});
    Open(silent);
    result = Read();
    ASSERT_TRUE(result);
    EXPECT_EQ(ReadScaNote(*result), "Read SCA: no answer from the phone");
}

TEST_F(ReadScaOnPhoneTest, IsRefusedWhileAnotherTaskHoldsThePort) {
    PhoneSim phone;
    Open(phone);
    const std::size_t received = phone.Received().size();
    {
        PortLease other = session.TakePort();
        ASSERT_TRUE(other);
        EXPECT_FALSE(Read());
    }
    EXPECT_EQ(phone.Received().size(), received) << "nothing was sent";
    EXPECT_TRUE(Read());
}

} // namespace
