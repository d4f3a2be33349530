// The phonebook read from a phone on a pseudo-terminal (telvane-phonesim), in real time: what
// the phone was asked, the rows the list got, the boxes, and how the worker ends.

#include "common/PhoneSim.h"
#include "common/RecordingMessageSink.h"
#include "db/CDaoDatabase.h"
#include "phonebook/CPhonebookManager.h"
#include "phonebook/FakePhonebookForm.h"
#include "serial/CModemSession.h"
#include "serial/FakeSessionParts.h"
#include "serial/serialdata.h"

#include <algorithm>
#include <chrono>
#include <gtest/gtest.h>
#include <iterator>
#include <thread>

namespace {

using Texts = std::vector<std::string>;

constexpr const char* kThreeEntries = R"(phonebook SM 1 145 "+393471234567" "Mario Rossi"
phonebook SM 2 129 "0612345678" "Rossi, Anna"
phonebook SM 7 129 "555" ""
)";

// The position commands the phone received, in order.
Texts PositionCommands(const PhoneSim& phone) {
    Texts commands;
    std::ranges::copy_if(phone.Received(), std::back_inserter(commands), [](const auto& line) {
        return line.starts_with("AT+CPBR=") && line != "AT+CPBR=?";
    });
    return commands;
}

Texts IndexCommands(int first, int last) {
    Texts commands;
    for (int i = first; i <= last; ++i)
        commands.push_back("AT+CPBR=" + std::to_string(i));
    return commands;
}

class ReadPhonebookWorkerTest : public ::testing::Test {
protected:
    // The read's steps are the subject here, not the window's pace, unless a test says so.
    void Open(const PhoneSim& phone, SessionPace pace = SessionPace::Line) {
        session.SetPace(pace);
        session.Port().SetPortName(phone.LinkPath());
        session.Port().SetLineSettings(115200, 0, 8, 0, 2);
        session.OpenSession();
        ASSERT_TRUE(sink.Texts().empty());
    }

    // Starts a read of the SIM and waits (bounded) until the worker has ended.
    void ReadSim(int limitSeconds) {
        form.SetMemory(PhonebookMemory::Sim);
        manager.OnReadPhonebook();
        ASSERT_TRUE(WaitFor([this] { return session.busy == 0; }, limitSeconds));
        manager.JoinWorker();
    }

    static bool WaitFor(const std::function<bool()>& done, int limitSeconds) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(limitSeconds);
        while (!done()) {
            if (std::chrono::steady_clock::now() > end)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return true;
    }

    RecordingMessageSink sink;
    RealWaiter waiter;
    RecordingForm sessionForm;
    CModemSession session{sink, waiter, sessionForm};
    CDaoDatabase database; // never opened: the phone read does not use it
    FakePhonebookForm form;
    CPhonebookManager manager{session, database, form, sink};
};

TEST_F(ReadPhonebookWorkerTest, SmallSimIsReadIntoRowsFromIndexZero) {
    PhoneSim phone({std::string("range SM 1 8\n") + kThreeEntries, 115200, {}});
    Open(phone);
    ReadSim(60);
    const Texts received = phone.Received();
    ASSERT_GE(received.size(), 4u);
    EXPECT_EQ(Texts(received.begin() + 2, received.begin() + 4),
              (Texts{R"(AT+CPBS="SM")", "AT+CPBR=?"}));
    // Index 0 is refused with ERROR and does not count: the eighth "OK" comes from index 8.
    EXPECT_EQ(PositionCommands(phone), IndexCommands(0, 8));
    EXPECT_EQ(form.Rows(), (std::vector<PhonebookRow>{{" 1", "Mario Rossi", "+393471234567", "145"},
                                                      {" 2", "Rossi, Anna", "0612345678", "129"},
                                                      {" 7", "\"\"", "555", "129"}}));
    EXPECT_EQ(form.ProgressRange(), (std::pair{1, 8}));
    EXPECT_EQ(form.ProgressPositions(), (std::vector<int>{1, 1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_TRUE(sink.Texts().empty());
    EXPECT_EQ(session.stopRequest, 0);
    EXPECT_FALSE(manager.Reading());
}

TEST_F(ReadPhonebookWorkerTest, TheReadGivesItsEntriesBackInTheOrderTheyCame) {
    // Index 1 answers three lines at once: the list puts the third above the second, the values
    // keep the order of arrival and the counter each came at.
    PhoneSim phone({std::string("range SM 1 8\n") + kThreeEntries +
                        "reply AT+CPBR=1 +CPBR: 1,\"111\",129,\"Uno\"|"
                        "+CPBR: 1,\"112\",129,\"Due\"|+CPBR: 1,\"113\",129,\"Tre\"|OK\n",
                    115200,
                    {}});
    Open(phone);
    ReadSim(60);
    const std::vector<PhonebookReadEntry> entries = manager.Entries();
    Texts names;
    std::vector<int> counters;
    for (const PhonebookReadEntry& entry : entries) {
        names.push_back(entry.row[kNameColumn]);
        counters.push_back(entry.counter);
    }
    EXPECT_EQ(names, (Texts{"Uno", "Due", "Tre", "Rossi, Anna", "\"\""}));
    EXPECT_EQ(counters, (std::vector<int>{1, 1, 1, 2, 7}));
    EXPECT_EQ(PhonebookListRows(entries), form.Rows());
    EXPECT_EQ(form.Rows().at(1)[kNameColumn], "Tre");

    // A second read starts its values afresh, while the window's list keeps its rows.
    ReadSim(60);
    EXPECT_EQ(manager.Entries().size(), 5u);
    EXPECT_EQ(form.Rows().size(), 10u);
}

TEST_F(ReadPhonebookWorkerTest, PhoneMemoryIsSelectedWithMe) {
    PhoneSim phone({"range ME 1 2\nphonebook ME 2 145 \"+4477\" \"Mobile\"\n", 115200, {}});
    Open(phone);
    form.SetMemory(PhonebookMemory::Phone);
    manager.OnReadPhonebook();
    ASSERT_TRUE(WaitFor([this] { return session.busy == 0; }, 30));
    EXPECT_EQ(phone.Received()[2], R"(AT+CPBS="ME")");
    EXPECT_EQ(form.Rows(), (std::vector<PhonebookRow>{{" 2", "Mobile", "+4477", "145"}}));
}

TEST_F(ReadPhonebookWorkerTest, WholeSimOfTwoHundredFiftyPositions) {
    PhoneSim phone({std::string("range SM 1 250\n") + kThreeEntries, 115200, {}});
    Open(phone);
    ReadSim(600);
    EXPECT_EQ(PositionCommands(phone), IndexCommands(0, 250));
    EXPECT_EQ(form.Rows().size(), 3u);
    EXPECT_EQ(form.ProgressRange(), (std::pair{1, 250}));
    EXPECT_EQ(form.ProgressPositions().back(), 250);
    EXPECT_TRUE(sink.Texts().empty());
}

TEST_F(ReadPhonebookWorkerTest, StopRequestEndsTheReadAfterThePositionUnderWay) {
    PhoneSim phone({std::string("range SM 1 250\n") + kThreeEntries, 115200, {}});
    Open(phone);
    // "Stop current task" while the answer to index 2 is being handled.
    form.OnInsert([this](int rows) {
        if (rows == 2)
            session.OnStopTask();
    });
    ReadSim(60);
    EXPECT_EQ(PositionCommands(phone), IndexCommands(0, 2));
    EXPECT_EQ(form.Rows().size(), 2u); // rows already added stay
    EXPECT_EQ(session.stopRequest, 0);
}

TEST_F(ReadPhonebookWorkerTest, StopRequestLeftFromBeforeEndsTheReadBeforeItsFirstPosition) {
    PhoneSim phone({std::string("range SM 1 250\n") + kThreeEntries, 115200, {}});
    Open(phone);
    session.OnStopTask();
    ReadSim(60);
    EXPECT_TRUE(PositionCommands(phone).empty());
    EXPECT_EQ(session.stopRequest, 0);
}

TEST_F(ReadPhonebookWorkerTest, ClosedPortSaysSoAndStartsNothing) {
    form.SetMemory(PhonebookMemory::Sim);
    manager.OnReadPhonebook();
    EXPECT_EQ(sink.Texts(), Texts{"COM is closed!"});
    EXPECT_EQ(sink.Requests()[0].caption, "Telvane");
    EXPECT_EQ(session.busy, 0);
    EXPECT_FALSE(manager.Reading());
}

TEST_F(ReadPhonebookWorkerTest, ASecondTaskOnThePortIsRefused) {
    session.portOpen = 1;                      // as if a session were open
    const PortLease held = session.TakePort(); // and another task used it
    form.SetMemory(PhonebookMemory::Sim);
    manager.OnReadPhonebook();
    EXPECT_FALSE(manager.Reading());
    EXPECT_EQ(session.busy, 0);
    EXPECT_EQ(form.StatusTexts(), std::vector<std::string>{std::string(kTaskRunningText)});
    EXPECT_TRUE(sink.Texts().empty());
}

TEST_F(ReadPhonebookWorkerTest, ErrorToTheMemoryCommandAsksAndRetrySendsItAgain) {
    PhoneSim phone({"reply AT+CPBS ERROR\nrange SM 1 2\n", 115200, {}});
    Open(phone);
    sink.QueueAnswer(BoxAnswer::Retry);
    sink.QueueAnswer(BoxAnswer::Ignore);
    ReadSim(60);
    const Texts received = phone.Received();
    ASSERT_GE(received.size(), 5u);
    EXPECT_EQ(Texts(received.begin() + 2, received.begin() + 5),
              (Texts{R"(AT+CPBS="SM")", R"(AT+CPBS="SM")", "AT+CPBR=?"}));
    ASSERT_EQ(sink.Requests().size(), 2u);
    for (const MessageBoxRequest& box : sink.Requests()) {
        EXPECT_EQ(box.text, "ERROR ricevuto!");
        EXPECT_EQ(box.caption, "ATTENZIONE");
        EXPECT_EQ(box.buttons, BoxButtons::AbortRetryIgnore);
        EXPECT_EQ(box.icon, BoxIcon::Error);
    }
    // Ignore goes on with the read.
    EXPECT_EQ(PositionCommands(phone), IndexCommands(0, 2));
}

TEST_F(ReadPhonebookWorkerTest, UnansweredPositionIsShownWithItsCommandAndSkipped) {
    // The phone says 1-2 but holds 1-3 and never answers index 1.
    PhoneSim phone({"reply AT+CPBR=? +CPBR: (1-2),40,14|OK\nreply AT+CPBR=1\nrange SM 1 3\n"
                    "phonebook SM 3 129 \"333\" \"Tre\"\n",
                    115200,
                    {}});
    Open(phone);
    ReadSim(60);
    EXPECT_EQ(PositionCommands(phone), IndexCommands(0, 3));
    ASSERT_EQ(sink.Requests().size(), 1u);
    EXPECT_EQ(sink.Requests()[0].text, "No answer from phone");
    EXPECT_EQ(sink.Requests()[0].caption, "AT+CPBR=1");
    EXPECT_EQ(form.Rows(), (std::vector<PhonebookRow>{{" 3", "Tre", "333", "129"}}));
}

TEST_F(ReadPhonebookWorkerTest, ListChangesAreRefusedWhileTheReadFillsIt) {
    PhoneSim phone({std::string("range SM 1 8\n") + kThreeEntries, 115200, {}});
    Open(phone, SessionPace::Window); // the buttons are pressed while the read still runs
    form.SetMemory(PhonebookMemory::Sim);
    form.QueueDialog([](std::string& name, std::string&) {
        name = "hand";
        return true;
    });
    manager.OnReadPhonebook();
    ASSERT_TRUE(WaitFor([this] { return !form.Rows().empty(); }, 30));
    ASSERT_TRUE(manager.Reading());
    form.Select(0);
    manager.OnAddEntry();
    manager.OnChangeEntry();
    manager.OnStoreNames();
    manager.OnReadPhonebook();
    EXPECT_EQ(form.DialogRuns(), 0);
    EXPECT_TRUE(sink.Texts().empty());
    ASSERT_TRUE(WaitFor([this] { return session.busy == 0; }, 60));
    manager.JoinWorker();
    EXPECT_EQ(PositionCommands(phone), IndexCommands(0, 8)); // one read only
    manager.OnAddEntry();                                    // now it is taken
    EXPECT_EQ(form.DialogRuns(), 1);
}

TEST_F(ReadPhonebookWorkerTest, ClosingTheSessionEndsTheReadAfterTheExchangeUnderWay) {
    PhoneSim phone({std::string("range SM 1 250\n") + kThreeEntries, 115200, {}});
    Open(phone, SessionPace::Window); // the close lands while the window's pace reads on
    form.SetMemory(PhonebookMemory::Sim);
    manager.OnReadPhonebook();
    ASSERT_TRUE(WaitFor([this] { return !form.Rows().empty(); }, 30));
    session.CloseSession();
    ASSERT_TRUE(WaitFor([this] { return session.busy == 0; }, 15));
    manager.JoinWorker();
    EXPECT_LT(PositionCommands(phone).size(), 5u);
    EXPECT_TRUE(sink.Texts().empty()); // no "No answer from phone" for the closed port
}

constexpr const char* kOtherScripts = R"(range SM 1 3
phonebook SM 1 145 "+390612345" "Città più"
phonebook SM 2 145 "+74951234567" "Иван Петров"
phonebook SM 3 129 "555" "Zoë 😀"
)";

// The commands about the character set that the phone received, in order.
Texts CharsetCommands(const PhoneSim& phone) {
    Texts commands;
    std::ranges::copy_if(phone.Received(), std::back_inserter(commands),
                         [](const auto& line) { return line.starts_with("AT+CSCS"); });
    return commands;
}

TEST_F(ReadPhonebookWorkerTest, NamesInOtherScriptsAreReadInUcs2AndTheSetIsPutBack) {
    PhoneSim phone({kOtherScripts, 115200, {}});
    Open(phone);
    ReadSim(60);
    EXPECT_EQ(form.Rows(), (std::vector<PhonebookRow>{{" 1", "Città più", "+390612345", "145"},
                                                      {" 2", "Иван Петров", "+74951234567", "145"},
                                                      {" 3", "Zoë 😀", "555", "129"}}));
    EXPECT_EQ(CharsetCommands(phone),
              (Texts{"AT+CSCS?", "AT+CSCS=?", R"(AT+CSCS="UCS2")", R"(AT+CSCS="IRA")"}));
    EXPECT_EQ(PositionCommands(phone), IndexCommands(0, 3)) << "the positions as always";
    ASSERT_EQ(session.SendAndWait("AT+CSCS?", kSendCommandLine), kAnswerOk);
    EXPECT_EQ(SnapshotLines(session.Store()).front(), R"(+CSCS: "IRA")");
    EXPECT_TRUE(sink.Texts().empty());
}

TEST_F(ReadPhonebookWorkerTest, TheSetIsPutBackAfterAStopToo) {
    PhoneSim phone({kOtherScripts, 115200, {}});
    Open(phone);
    session.stopRequest = 2; // "Stop current task" before the first position
    ReadSim(60);
    EXPECT_TRUE(PositionCommands(phone).empty());
    EXPECT_EQ(CharsetCommands(phone).back(), R"(AT+CSCS="IRA")");
}

TEST_F(ReadPhonebookWorkerTest, APhoneWithoutCharsetCommandsIsReadAsBefore) {
    PhoneSim phone({std::string("reply AT+CSCS ERROR\n") + kThreeEntries, 115200, {}});
    Open(phone);
    ReadSim(60);
    EXPECT_EQ(CharsetCommands(phone), Texts{"AT+CSCS?"});
    EXPECT_EQ(form.Rows().size(), 3u);
    EXPECT_EQ(form.Rows()[0][kNameColumn], "Mario Rossi");
}

} // namespace
