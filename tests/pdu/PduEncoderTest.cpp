#include "pdu/PduEncoder.h"

#include "pdu/AddressCodec.h"
#include "pdu/DataCoding.h"
#include "pdu/HexText.h"
#include "pdu/PduParser.h"
#include "pdu/UserData.h"

#include <cctype>
#include <gtest/gtest.h>

namespace {

TEST(EncodeAddress, BuildsServiceCentreAndDestinationFields) {
    EXPECT_EQ(encode_sca("+12345678901"), "07912143658709F1");
    EXPECT_EQ(encode_da("+123456789"), "099121436587F9");
    EXPECT_EQ(encode_da("0123"), "04811032");
    EXPECT_EQ(encode_da(""), "0081");
    EXPECT_EQ(encode_da("+"), "0091");
    EXPECT_EQ(encode_sca("+"), "0191");
    // The pad counts in the service centre's octets, not in the destination's digits.
    EXPECT_EQ(encode_sca("12345"), "04812143F5");
    EXPECT_EQ(encode_da("12345"), "05812143F5");
}

TEST(EncodeAddress, CutsOverlongNumbersToWhatTheFieldsHold) {
    const std::string digits(40, '1');
    const std::string da = encode_da(digits);
    EXPECT_EQ(read_byte(da), 20);
    EXPECT_EQ(da.size(), 4 + kMaxNumberDigits);
    const std::string sca = encode_sca("+" + digits);
    EXPECT_LE(sca.size(), decltype(sms_container::sca)::kMaxLength) << sca;
    EXPECT_EQ(read_byte(sca), 11);
}

TEST(EncodePduType, CombinesReplyAndValidityFormat) {
    EXPECT_EQ(encode_pdu_type(0, 0), 0x01);
    EXPECT_EQ(encode_pdu_type(0, 2), 0x11);
    EXPECT_EQ(encode_pdu_type(0, 3), 0x19);
    EXPECT_EQ(encode_pdu_type(1, 0), 0x21);
    EXPECT_EQ(encode_pdu_type(5, 2), 0x31);
    EXPECT_EQ(encode_pdu_type(1, 3), 0x39);
    EXPECT_EQ(encode_pdu_type(0, 1), 0x01) << "no other format is announced";
}

TEST(EncodeDcs, PlacesGroupAlphabetAndClass) {
    EXPECT_EQ(encode_dcs(15, '7', 0), 0xF0);
    EXPECT_EQ(encode_dcs(15, '7', 3), 0xF3);
    EXPECT_EQ(encode_dcs(15, '8', 1), 0xF5);
    EXPECT_EQ(encode_dcs(0, '7', 7), 0x03) << "class masked to two bits";
    EXPECT_EQ(encode_dcs(0x1F, '7', 0), 0xF0) << "group masked to four bits";
}

TEST(EncodeUd, PacksTheWorkedExamples) {
    struct Example {
        const char* text;
        const char* ud;
        const char* udl;
    };
    for (const Example& e : {Example{"abc", "61f118", "03"}, Example{"hello", "e8329bfd06", "05"},
                             Example{"abcdefg", "61f1985c369f01", "07"},
                             Example{"abcdefgh", "61f1985c369fd1", "08"}, Example{"", "", "00"}}) {
        const encoded_ud out = encode_ud(e.text);
        EXPECT_EQ(out.ud, e.ud) << e.text;
        EXPECT_EQ(out.udl, e.udl) << e.text;
    }
}

TEST(EncodeUd, SendsCharactersAtTheirAlphabetPositions) {
    // "@" is septet 0 and "$" septet 2, so a recipient reads them back unchanged.
    EXPECT_EQ(encode_ud("@$").ud, "0001");
    const encoded_ud euro = encode_ud("\xE2\x82\xAC");
    EXPECT_EQ(euro.udl, "02");
    EXPECT_EQ(decode_ud(euro.ud, read_byte(euro.udl)), "\xE2\x82\xAC");
    EXPECT_EQ(decode_ud(encode_ud("\xE4\xB8\xAD").ud, 1), "?");
}

TEST(EncodeUd, CutsAt160SeptetsWithoutSplittingAnEscape) {
    const encoded_ud full = encode_ud(std::string(200, 'x'));
    EXPECT_EQ(full.udl, "a0");
    EXPECT_EQ(full.ud.size(), 280u);
    // 159 plain characters, then a two-septet one: it does not fit whole, so it goes.
    const encoded_ud cut = encode_ud(std::string(159, 'x') + "\xE2\x82\xAC");
    EXPECT_EQ(cut.udl, "9f");
    EXPECT_EQ(decode_ud(cut.ud, read_byte(cut.udl)), std::string(159, 'x'));
}

// What the send form fills in, and the record it builds from them in the order it uses.
struct SubmitForm {
    const char* sca; // empty: "00", the phone's own service centre
    const char* to;
    int reply;
    const char* vp; // empty: none
    std::uint8_t dcs;
    const char* text;
};

sms_container build_submit(const SubmitForm& form) {
    sms_container sms;
    sms.sca = *form.sca == '\0' ? std::string("00") : encode_sca(form.sca);
    sms.pdu_type = hex_octet(encode_pdu_type(form.reply, *form.vp == '\0' ? 0 : 2));
    sms.mr = "00";
    sms.da = encode_da(form.to);
    sms.pid = "00";
    sms.dcs = hex_octet(form.dcs);
    sms.vp = form.vp;
    const encoded_ud ud = encode_ud(form.text);
    sms.udl = ud.udl;
    sms.ud = ud.ud;
    return sms;
}

sms_container standard_submit(const char* text) {
    return build_submit({"+12345678901", "+123456789", 0, "FF", encode_dcs(15, '7', 0), text});
}

TEST(EncodeSms, JoinsTheWorkedExample) {
    const std::string pdu = encode_sms(standard_submit("abc"));
    EXPECT_EQ(pdu, "07912143658709F11100099121436587F900f0FF0361f118");
    EXPECT_EQ(submit_octet_count(pdu), 16);
}

TEST(EncodeSms, ReadsBackThroughTheParser) {
    const std::string text = "Prezzo: 5\xE2\x82\xAC [ok] @casa_mia \xC3\xA8";
    sms_container parsed;
    ASSERT_EQ(parse_sms_out(encode_sms(standard_submit(text.c_str())), parsed), 1);
    EXPECT_EQ(decode_da(parsed.address).number, "123456789");
    EXPECT_EQ(decode_ud(parsed.ud.view(), read_byte(parsed.udl.view()),
                        read_byte(parsed.dcs.view()), read_byte(parsed.pdu_type.view())),
              text);
}

std::string upper(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return text;
}

// SMS-SUBMIT PDUs that python-messaging's test suite (messaging/test/test_sms.py) expects from
// its encoder, rebuilt here field by field. Their hex is upper case throughout.
TEST(EncodeSms, MatchesPublishedSubmitPdus) {
    const std::pair<SubmitForm, const char*> published[] = {
        {{"", "+34616585119", 0, "", 0x00, "hola"}, "0001000B914316565811F9000004E8373B0C"},
        {{"+34646456456", "+34616585119", 0, "", 0x00, "hola"},
         "07914346466554F601000B914316565811F9000004E8373B0C"},
        {{"", "+34654123456", 0, "", 0x13, "hey yo"}, "0001000B914356143254F6001306E8721E947F03"},
        {{"", "+34654123456", 1, "", 0x00, "hey yo"}, "0021000B914356143254F6000006E8721E947F03"},
        {{"", "+34654123456", 0, "AA", 0x00, "H\xC3\xB6l\xC3\xA4"},
         "0011000B914356143254F60000AA04483E7B0F"},
        {{"", "+34654123456", 0, "", 0x00,
          "B\xC3\x84R\xC3\x87"
          "A \xC3\xA4\xC3\xB1@"},
         "0001000B914356143254F6000009C2AD341104EDFB00"},
    };
    for (const auto& [form, pdu] : published) {
        EXPECT_EQ(upper(encode_sms(build_submit(form))), pdu) << form.text;
    }
}

TEST(SubmitOctetCount, CountsWhatFollowsTheServiceCentre) {
    EXPECT_EQ(submit_octet_count("0001000B914316565811F9000004E8373B0C"), 17);
    EXPECT_EQ(submit_octet_count("0791"), 0);
    EXPECT_EQ(submit_octet_count(""), 0);
}

} // namespace
