#include "pdu/PduParser.h"

#include <gtest/gtest.h>

namespace {

constexpr const char* kDeliverHello =
    "07912143658709F1040B912143658709F100009930925161958005e8329bfd06";
constexpr const char* kSubmitAbc = "07912143658709F11100099121436587F900f0FF0361f118";

TEST(ParseSmsIn, SplitsTheWorkedDeliverExample) {
    sms_container sms;
    ASSERT_EQ(parse_sms_in(kDeliverHello, sms), 1);
    EXPECT_EQ(sms.sca, "912143658709F1");
    EXPECT_EQ(sms.pdu_type, "04");
    EXPECT_EQ(sms.address, "912143658709F1");
    EXPECT_EQ(sms.pid, "00");
    EXPECT_EQ(sms.dcs, "00");
    EXPECT_EQ(sms.scts, "99309251619580");
    EXPECT_EQ(sms.udl, "05");
    EXPECT_EQ(sms.ud, "e8329bfd06");
}

TEST(ParseSmsIn, WritesOnlyItsOwnFields) {
    sms_container sms;
    sms.vp = "AA";
    sms.mr = "07";
    sms.da = "0081";
    ASSERT_EQ(parse_sms_in(kDeliverHello, sms), 1);
    EXPECT_EQ(sms.vp, "AA");
    EXPECT_EQ(sms.mr, "07");
    EXPECT_EQ(sms.da, "0081");
}

TEST(ParseSmsIn, ReadsPdusWithoutOrWithAnEmptyServiceCentre) {
    sms_container sms;
    ASSERT_EQ(parse_sms_in("00040B912143658709F100009930925161958005e8329bfd06", sms), 1);
    EXPECT_EQ(sms.sca, "");
    EXPECT_EQ(sms.pdu_type, "04");
    ASSERT_EQ(parse_sms_in("0100040B912143658709F100009930925161958005e8329bfd06", sms), 1);
    EXPECT_EQ(sms.sca, "00");
    EXPECT_EQ(sms.pdu_type, "04");
    EXPECT_EQ(sms.address, "912143658709F1");
}

TEST(ParseSmsIn, IgnoresTrailingLineEndsAndAcceptsAnyCase) {
    sms_container sms;
    ASSERT_EQ(
        parse_sms_in("07912143658709f1040b912143658709f100009930925161958005E8329BFD06\r\n", sms),
        1);
    EXPECT_EQ(sms.ud, "E8329BFD06");
}

TEST(ParseSmsIn, TakesExactlyTheOctetsTheLengthAnnouncesPerCoding) {
    sms_container sms;
    // 160 septets fill 140 octets.
    const std::string full = "0791214365870900040B912143658709F10000993092516195"
                             "80A0" +
                             std::string(280, '1');
    ASSERT_EQ(parse_sms_in(full, sms), 1);
    EXPECT_EQ(sms.ud.size(), 280u);
    // UCS2: the length counts octets.
    ASSERT_EQ(parse_sms_in("00040B912143658709F1000899309251619580"
                           "04004100e9",
                           sms),
              1);
    EXPECT_EQ(sms.ud, "004100e9");
}

struct Malformed {
    const char* name;
    std::string pdu;
};

void PrintTo(const Malformed& m, std::ostream* os) {
    *os << m.name;
}

class ParseSmsInRejects : public testing::TestWithParam<Malformed> {};

TEST_P(ParseSmsInRejects, WithAReason) {
    sms_container sms;
    std::string error;
    EXPECT_EQ(parse_sms_in(GetParam().pdu, sms, &error), 0);
    EXPECT_FALSE(error.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ParseSmsInRejects,
    testing::Values(
        Malformed{"Empty", ""}, Malformed{"Blank", "  \r\n"},
        Malformed{"NotHex", "07912143658709F1040B91214365870XF100009930925161958005e8329bfd06"},
        Malformed{"OddLength", "07912143658709F1040B912143658709F100009930925161958005e8329bfd0"},
        Malformed{"ScaPastTheEnd", "0791214365"},
        Malformed{"ScaOverCapacity", "0F" + std::string(30, '1') + "04"},
        Malformed{"EndsBeforeAddress", "07912143658709F104"},
        Malformed{"AddressPastTheEnd", "07912143658709F1040B91214365"},
        Malformed{"AddressOverCapacity", "0004FF91" + std::string(300, '1')},
        Malformed{"EndsInTimeStamp", "07912143658709F1040B912143658709F10000993092"},
        Malformed{"EndsBeforeLength", "07912143658709F1040B912143658709F1000099309251619580"},
        Malformed{"UserDataShort",
                  "07912143658709F1040B912143658709F100009930925161958005e8329bfd"},
        Malformed{"UserDataLong",
                  "07912143658709F1040B912143658709F100009930925161958005e8329bfd0600"},
        Malformed{"UdlOver140Octets",
                  "00040B912143658709F100049930925161958091" + std::string(290, '4')}),
    [](const testing::TestParamInfo<Malformed>& param) { return std::string(param.param.name); });

TEST(ParseSmsIn, EmptiesAnAddressThatDoesNotFitAndKeepsEarlierFields) {
    sms_container sms;
    sms.address = "stale";
    sms.scts = "stale";
    EXPECT_EQ(parse_sms_in("07912143658709F1040B91214365", sms), 0);
    EXPECT_EQ(sms.sca, "912143658709F1");
    EXPECT_EQ(sms.pdu_type, "04");
    EXPECT_EQ(sms.address, "");
    EXPECT_EQ(sms.scts, "stale");
}

TEST(ParseSmsOut, SplitsTheWorkedSubmitExample) {
    sms_container sms;
    ASSERT_EQ(parse_sms_out(kSubmitAbc, sms), 1);
    EXPECT_EQ(sms.sca, "912143658709F1");
    EXPECT_EQ(sms.pdu_type, "11");
    EXPECT_EQ(sms.address, "9121436587F9");
    EXPECT_EQ(sms.pid, "00");
    EXPECT_EQ(sms.dcs, "f0");
    EXPECT_EQ(sms.vp, "FF");
    EXPECT_EQ(sms.udl, "03");
    EXPECT_EQ(sms.ud, "61f118");
    EXPECT_EQ(sms.mr, "") << "the message reference is skipped, not stored";
}

TEST(ParseSmsOut, ValidityPeriodWidthFollowsTheFormat) {
    sms_container sms;
    sms.vp = "kept";
    ASSERT_EQ(parse_sms_out("0001000B914316565811F9000004E8373B0C", sms), 1);
    EXPECT_EQ(sms.vp, "kept") << "VPF 0 leaves vp alone";
    ASSERT_EQ(parse_sms_out("0019000B914316565811F900000170520251930004E8373B0C", sms), 1);
    EXPECT_EQ(sms.vp, "01705202519300");
    // VPF 1 (enhanced) takes seven octets as well.
    ASSERT_EQ(parse_sms_out("0009000B914316565811F900000102030405060704E8373B0C", sms), 1);
    EXPECT_EQ(sms.vp, "01020304050607");
    EXPECT_EQ(sms.ud, "E8373B0C");
}

TEST(ParseSmsOut, RejectsTruncatedAndOverlongPdus) {
    sms_container sms;
    const std::string pdu = kSubmitAbc;
    for (std::size_t cut = 2; cut < pdu.size(); cut += 2) {
        EXPECT_EQ(parse_sms_out(pdu.substr(0, cut), sms), 0) << "cut at " << cut;
    }
    EXPECT_EQ(parse_sms_out(pdu + "00", sms), 0);
    EXPECT_EQ(parse_sms_out("0019000B914316565811F90000017052025193", sms), 0)
        << "ends inside an absolute validity period";
}

TEST(UdOctetCount, PacksSeptetsOnlyForSevenBitText) {
    EXPECT_EQ(ud_octet_count(160, 0x00), 140);
    EXPECT_EQ(ud_octet_count(7, 0xF0), 7);
    EXPECT_EQ(ud_octet_count(8, 0xF0), 7);
    EXPECT_EQ(ud_octet_count(0, 0x00), 0);
    EXPECT_EQ(ud_octet_count(10, 0x08), 10);
    EXPECT_EQ(ud_octet_count(10, 0xF4), 10);
}

} // namespace
