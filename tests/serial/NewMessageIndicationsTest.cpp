// The choice of +CNMI from what phones answer to AT+CNMI=? (lists, ranges, single values, and
// phones that offer only some of it).

#include "serial/NewMessageIndications.h"

#include <gtest/gtest.h>

namespace {

std::string Chosen(std::string_view answer) {
    const std::optional<IndicationChoice> choice = ChooseIndications(answer);
    return choice ? CnmiCommand(*choice) : "none";
}

TEST(ChooseIndications, PrefersStoredMessagesPushedReportsAndBufferedIndications) {
    EXPECT_EQ(Chosen("+CNMI: (0-2),(0-3),(0-3),(0-2),(0,1)"), "AT+CNMI=2,1,0,1,0");
    // Lists as some modems write them, blanks and all.
    EXPECT_EQ(Chosen("+CNMI: (0,1,2,3), (0,1,2,3), (0,2), (0,1,2), (0,1)"), "AT+CNMI=2,1,0,1,0");
    EXPECT_EQ(Chosen("+CNMI: (1,2),(0,1,2,3),(0,2),(0,1),(0,1)"), "AT+CNMI=2,1,0,1,0");
}

TEST(ChooseIndications, TakesTheNextBestOfWhatIsOffered) {
    // No mode 2: mode 1; no pushed report: a stored one (+CDSI); no +CMTI: +CMT.
    EXPECT_EQ(Chosen("+CNMI: (0,1),(0,1),(0),(0,2),(0)"), "AT+CNMI=1,1,0,2,0");
    EXPECT_EQ(Chosen("+CNMI: (0-3),(0,2),(0),(0),(1)"), "AT+CNMI=2,2,0,0,1");
    // Reports only.
    EXPECT_EQ(Chosen("+CNMI: (2),(0),(0),(1),(0)"), "AT+CNMI=2,0,0,1,0");
    // Trailing parameters left out by the phone keep their defaults.
    EXPECT_EQ(Chosen("+CNMI: (0-2),(0-3)"), "AT+CNMI=2,1,0,0,0");
}

TEST(ChooseIndications, NothingWhenThePhoneWouldTellNothing) {
    EXPECT_EQ(Chosen("+CNMI: (0),(0-3),(0),(0-2),(0)"), "none") << "mode 0 only buffers";
    EXPECT_EQ(Chosen("+CNMI: (0-2),(0),(0),(0),(0)"), "none");
    EXPECT_EQ(Chosen("+CMGF: (0)"), "none");
    EXPECT_EQ(Chosen(""), "none");
    EXPECT_EQ(Chosen("+CNMI: garbage"), "none");
}

} // namespace
