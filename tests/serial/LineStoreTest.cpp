#include "serial/serialdata.h"

#include <atomic>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

// Feeds the portions as successive reads, each followed by a split, as the reader does.
void Receive(serialdata& data, const std::vector<std::string>& portions) {
    for (const auto& portion : portions) {
        data.pending += portion;
        SplitLines(data);
    }
}

TEST(LineStore, ReplyInOneReadStoresOkAndLeavesTheLineFeedPending) {
    serialdata data;
    Receive(data, {"\r\nOK\r\n"});
    EXPECT_EQ(SnapshotLines(data), Lines{"OK"});
    EXPECT_EQ(data.okReceived, 1);
    EXPECT_EQ(data.errorReceived, 0);
    EXPECT_EQ(data.pending, "\n");
}

// A slow phone's late answer to a command that gave up waiting, then the answer awaited.
constexpr const char* kLateThenAwaited = "\r\n+CMGR: 1,,24\r\n0791214365\r\n\r\nOK\r\n"
                                         "\r\n+CPMS: 3,30,3,30\r\n\r\nOK\r\n";

TEST(LineStore, AtLinePaceAnotherCommandsLateAnswerIsDroppedWithItsFinalResult) {
    serialdata data;
    data.linePace = 1;
    data.answerPrefix = "+CPMS:";
    Receive(data, {"\r\n+CMGR: 1,,24\r\n0791214365\r\n\r\nOK\r\n"});
    EXPECT_EQ(data.okReceived, 0) << "the late OK was taken";
    EXPECT_TRUE(SnapshotLines(data).empty());
    Receive(data, {"\r\n+CPMS: 3,30,3,30\r\n\r\nOK\r\n"});
    EXPECT_EQ(data.okReceived, 1);
    EXPECT_EQ(SnapshotLines(data), (Lines{"+CPMS: 3,30,3,30", "OK"}));
}

TEST(LineStore, ALateAnswerIsKeptAtTheWindowsPaceAndForACommandWithoutAPrefix) {
    for (const auto& [pace, prefix] : {std::pair{0, "+CPMS:"}, std::pair{1, ""}}) {
        serialdata data;
        data.linePace = pace;
        data.answerPrefix = prefix;
        Receive(data, {kLateThenAwaited});
        EXPECT_EQ(data.okReceived, 1);
        EXPECT_EQ(SnapshotLines(data).front(), "+CMGR: 1,,24") << pace << " " << prefix;
    }
    // The command's own answer, unsolicited codes and plain lines are no other command's.
    serialdata data;
    data.linePace = 1;
    data.answerPrefix = "+CMGL:";
    Receive(data, {"\r\n+CMGL: 1,1,,24\r\n0791\r\n+CMTI: \"SM\",4\r\nQuorvel\r\nOK\r\n"});
    EXPECT_EQ(data.okReceived, 1);
    EXPECT_EQ(SnapshotLines(data).size(), 5U);
}

TEST(LineStore, ReplySplitOverThreeReadsGivesTheSameResult) {
    serialdata data;
    Receive(data, {"\r\nO", "K\r", "\n"});
    EXPECT_EQ(SnapshotLines(data), Lines{"OK"});
    EXPECT_EQ(data.okReceived, 1);
    EXPECT_EQ(data.pending, "\n");
}

TEST(LineStore, FinalResultsRaiseTheirFlagsOnlyForExactText) {
    struct Case {
        const char* line;
        int ok;
        int error;
    };
    const Case cases[] = {
        {"OK", 1, 0},          {"ERROR", 0, 1},          {"+CMS ERROR: 500", 0, 1},
        {"+CMS ERROR:", 0, 1}, {"+CME ERROR: 10", 0, 1}, {"OK ", 0, 0},
        {"ok", 0, 0},          {"ERRORS", 0, 0},         {" OK", 0, 0},
        {"+CMS ERROR", 0, 0},  {"+CME ERROR", 0, 0},     {"+cme error: 10", 0, 0},
    };
    for (const auto& c : cases) {
        serialdata data;
        AddString(c.line, data);
        EXPECT_EQ(data.okReceived, c.ok) << c.line;
        EXPECT_EQ(data.errorReceived, c.error) << c.line;
        EXPECT_EQ(SnapshotLines(data), Lines{c.line}) << "every non-empty line is stored";
    }
}

TEST(LineStore, OkAndErrorAfterTheSameClearLeaveBothFlagsSet) {
    serialdata data;
    Receive(data, {"\r\nERROR\r\n\r\nOK\r\n"});
    EXPECT_EQ(data.okReceived, 1);
    EXPECT_EQ(data.errorReceived, 1);
    EXPECT_EQ(SnapshotLines(data), (Lines{"ERROR", "OK"}));
}

TEST(LineStore, EmptyLinesAreDroppedAndRaiseNothing) {
    serialdata data;
    EXPECT_EQ(AddString("", data), 0);
    Receive(data, {"\r\r\n\r\n\r"});
    EXPECT_EQ(data.head, nullptr);
    EXPECT_EQ(data.tail, nullptr);
    EXPECT_EQ(data.okReceived + data.errorReceived, 0);
}

TEST(LineStore, TextWithoutCarriageReturnStaysPending) {
    serialdata data;
    Receive(data, {"+CMGR: 1,,23", "\nabc\n"});
    EXPECT_TRUE(SnapshotLines(data).empty());
    EXPECT_EQ(data.pending, "+CMGR: 1,,23\nabc\n");
}

TEST(LineStore, LineFeedsAloneDoNotEndALineAndAreRemovedFromIt) {
    serialdata data;
    Receive(data, {"ONE\nTWO\n", "THREE\r"});
    EXPECT_EQ(SnapshotLines(data), Lines{"ONETWOTHREE"});
}

TEST(LineStore, ClearLinesBetweenTwoHalvesOfALineKeepsTheWholeLine) {
    serialdata data;
    Receive(data, {"\r\nOK\r\n+CMGR: 0,", "junk"});
    ClearLines(data);
    Receive(data, {",24\r\n"});
    EXPECT_EQ(SnapshotLines(data), Lines{"+CMGR: 0,junk,24"});
    EXPECT_EQ(data.okReceived, 0);
}

TEST(LineStore, ClearLinesEmptiesTheStoreAndLaterLinesStartANewList) {
    serialdata data;
    Receive(data, {"A\rB\rOK\rERROR\r"});
    ClearLines(data);
    EXPECT_EQ(data.head, nullptr);
    EXPECT_EQ(data.tail, nullptr);
    EXPECT_EQ(data.okReceived, 0);
    EXPECT_EQ(data.errorReceived, 0);
    Receive(data, {"C\rD\r"});
    EXPECT_EQ(SnapshotLines(data), (Lines{"C", "D"}));
    EXPECT_EQ(data.tail->text, "D");
    EXPECT_EQ(data.tail->next, nullptr);
}

TEST(LineStore, MoreThan999CharactersWithoutCarriageReturnKeepTheNewest999) {
    serialdata data;
    std::string sent;
    for (int i = 0; i < 40; ++i) {
        const std::string portion(30, static_cast<char>('a' + i % 26));
        sent += portion;
        Receive(data, {portion});
        ASSERT_LE(data.pending.size(), serialdata::kMaxPending);
    }
    EXPECT_EQ(data.pending, sent.substr(sent.size() - 999));
    Receive(data, {"Z\r"});
    const Lines lines = SnapshotLines(data);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], (sent + "Z").substr(sent.size() + 1 - 999));
    EXPECT_EQ(data.pending, "");
}

TEST(LineStore, AnOverlongLineEndedInOnePortionIsCutToItsNewest999Characters) {
    serialdata data;
    const std::string longLine = std::string(500, 'x') + std::string(1000, 'y');
    Receive(data, {longLine + "\r\nOK\r"});
    EXPECT_EQ(SnapshotLines(data), (Lines{std::string(999, 'y'), "OK"}));
}

TEST(LineStore, WalkSeesTheNextLineAndStopsWhenAsked) {
    serialdata data;
    Receive(data, {"+CMGR: 1,,23\r\n0791\r\nOK\r\n"});
    std::string header;
    std::string following;
    int visited = 0;
    WalkLines(data, [&](const LineNode& node) {
        ++visited;
        if (node.text.starts_with("+CMGR:") && node.next != nullptr) {
            header = node.text;
            following = node.next->text;
            return false;
        }
        return true;
    });
    EXPECT_EQ(visited, 1);
    EXPECT_EQ(header, "+CMGR: 1,,23");
    EXPECT_EQ(following, "0791");
}

TEST(LineStore, ALongListIsFreedWithoutExhaustingTheStack) {
    auto data = std::make_unique<serialdata>();
    for (int i = 0; i < 300000; ++i)
        AddString("+CPBR: 1,\"123\",129,\"A\"", *data);
    data.reset();
    serialdata other;
    for (int i = 0; i < 300000; ++i)
        AddString("line", other);
    ClearLines(other);
    EXPECT_EQ(other.head, nullptr);
}

// A writer appends and clears while this thread walks. Under the store's lock the flag and the
// list agree: "OK" is flagged exactly when an "OK" line is linked. Under ThreadSanitizer this also
// checks that the list is only ever touched under the lock.
TEST(LineStore, FlagsAndLinesAgreeForAWalkerWhileAnotherThreadWrites) {
    serialdata data;
    std::atomic<bool> done{false};
    std::thread writer([&] {
        for (int round = 0; round < 3000; ++round) {
            AddString("+CMGR: 1,,3", data);
            AddString("OK", data);
            if (round % 3 == 0)
                ClearLines(data);
        }
        done = true;
    });
    int disagreements = 0;
    int walks = 0;
    while (!done || walks == 0) {
        bool okStored = false;
        int okFlag = 0;
        WalkLines(data, [&](const LineNode& node) {
            okStored = okStored || node.text == "OK";
            okFlag = data.okReceived.load();
            return true;
        });
        ++walks;
        if (okStored != (okFlag == 1))
            ++disagreements;
    }
    writer.join();
    EXPECT_EQ(disagreements, 0);
}

} // namespace

TEST(LineStore, PromptAfterTheLastLineRaisesItsFlagUntilTheNextClear) {
    serialdata data;
    Receive(data, {"\r\n"});
    EXPECT_EQ(data.promptReceived, 0);
    Receive(data, {"> "});
    EXPECT_EQ(data.promptReceived, 1);
    EXPECT_TRUE(SnapshotLines(data).empty()) << "the prompt is no line";
    ClearLines(data);
    EXPECT_EQ(data.promptReceived, 0);

    serialdata split;
    Receive(split, {"\r\n+CMGS: 1", "\r\n>"});
    EXPECT_EQ(split.promptReceived, 1);
    serialdata inLine;
    Receive(inLine, {"\r\n+CMGR: 0,,22\r\n> not a prompt", "\r\n"});
    EXPECT_EQ(inLine.promptReceived, 0);
}
