// Real PDUs that other projects publish in their test suites, each with its source. The expected
// values are what Debian's gammu 1.42 (python3-gammu DecodePDU) decodes from the same PDU, except
// where a note says otherwise; the time stamp is the raw one, before any zone is applied.

#include "pdu/AddressCodec.h"
#include "pdu/DataCoding.h"
#include "pdu/HexText.h"
#include "pdu/PduParser.h"
#include "pdu/SmsTime.h"
#include "pdu/UserData.h"

#include <cstdio>
#include <gtest/gtest.h>

namespace {

struct Vector {
    const char* pdu;
    bool deliver;
    const char* smsc;
    const char* number;
    bool international;
    UdCoding coding;
    const char* timestamp; // "YY-MM-DD HH:MM:SS", empty for SMS-SUBMIT
    const char* concat;    // "ref/total/seq", empty without one
    const char* text;
};

const Vector kVectors[] = {
    // python-messaging test_sms.py test_encoding_validity (no validity)
    {"0001000B914316565811F9000004E8373B0C", false, "", "34616585119", true, UdCoding::Gsm7, "", "",
     "hola"},
    // python-messaging test_sms.py test_encoding_validity (absolute)
    {"0019000B914316565811F900000170520251930004E8373B0C", false, "", "34616585119", true,
     UdCoding::Gsm7, "", "", "hola"},
    // python-messaging test_sms.py test_encoding_validity (relative)
    {"0011000B914316565811F90000AA04E8373B0C", false, "", "34616585119", true, UdCoding::Gsm7, "",
     "", "hola"},
    // python-messaging test_sms.py test_encoding_csca
    {"07914346466554F601000B914316565811F9000004E8373B0C", false, "34646456456", "34616585119",
     true, UdCoding::Gsm7, "", "", "hola"},
    // python-messaging test_sms.py test_encoding_class (class 3)
    {"0001000B914356143254F6001306E8721E947F03", false, "", "34654123456", true, UdCoding::Gsm7, "",
     "", "hey yo"},
    // python-messaging test_sms.py test_encoding_request_status
    {"0021000B914356143254F6000006E8721E947F03", false, "", "34654123456", true, UdCoding::Gsm7, "",
     "", "hey yo"},
    // python-messaging test_sms.py test_encoding_message_with_latin1_chars (1)
    {"0011000B914356143254F60000AA04483E7B0F", false, "", "34654123456", true, UdCoding::Gsm7, "",
     "", "Hölä"},
    // python-messaging test_sms.py test_encoding_message_with_latin1_chars (2)
    {"0001000B914356143254F6000009C2AD341104EDFB00", false, "", "34654123456", true, UdCoding::Gsm7,
     "", "", "BÄRÇA äñ@"},
    // python-messaging test_sms.py test_encoding_8bit_message
    {"07914400000000F001000B811000000000F000040B48692074686572652E2E2E", false, "44000000000",
     "01000000000", false, UdCoding::Data8, "", "", "Hi there..."},
    // python-messaging test_sms.py test_encoding_ucs2_message (1)
    {"07914346466554F601000B914316565811F9000806304253F68449", false, "34646456456", "34616585119",
     true, UdCoding::Ucs2, "", "", "あ叶葉"},
    // python-messaging test_sms.py test_encoding_ucs2_message (2)
    {"001100098156355476F80008AA0E0420044304410441043A04380439", false, "", "655345678", false,
     UdCoding::Ucs2, "", "", "Русский"},
    // python-messaging test_sms.py test_encoding_multipart_7bit (part 3)
    {"005100098156355476F80000AA14050003880303C2A066D8CD02B5F3A0F9DB0D", false, "", "655345678",
     false, UdCoding::Gsm7, "", "136/3/3", "a Man, my son"},
    // python-messaging test_sms.py test_decoding_7bit_pdu
    {"07911326040000F0040B911346610089F60000208062917314080CC8F71D14969741F977FD07", true,
     "31624000000", "31641600986", true, UdCoding::Gsm7, "02-08-26 19:37:41", "", "How are you?"},
    // python-messaging test_sms.py test_decoding_ucs2_pdu
    {"07914306073011F0040B914316709807F2000880604290224080084E2D5174901A8BAF", true, "34607003110",
     "34610789702", true, UdCoding::Ucs2, "08-06-24 09:22:04", "", "中兴通讯"},
    // python-messaging test_sms.py test_decoding_datetime_gmtplusone
    {"0791447758100650040C914497716247010000909010711423400A2050EC468B81C4733A", true,
     "447785016005", "447917267410", true, UdCoding::Gsm7, "09-09-01 17:41:32", "", "  1741 bst"},
    // python-messaging test_sms.py test_decoding_number_alphanumeric (odd)
    {"07919471060040340409D0C6A733390400009060920173018093CC74595C96838C4F6772085AD6DDE4320B444E974"
     "1D4B03C6D7EC3E9E9B71B9474D3CB727799DEA286CFE5B9991DA6CBC3F432E85E9793CBA0F09A9EB6A7CB72BA0B94"
     "74D3CB727799DE72D6E9FABAFB0CBAA7E56490BA4CD7D34170F91BE4ACD3F575F7794E0F9F4161F1B92C2F8FD1EE3"
     "2DD054AA2E520E3D3991C82A8E5701B",
     true, "491760000443", "FONIC", false, UdCoding::Gsm7, "09-06-29 10:37:10", "",
     "Lieber FONIC Kunde, die Tarifoption Internet-Tagesflatrate wurde aktiviert. Internet-Nutzung "
     "wird jetzt pro Nutzungstag abgerechnet. Ihr FONIC Team"},
    // python-messaging test_sms.py test_decoding_number_alphanumeric (even)
    {"07919333852804000412D0F7FBDD454FB75D693A0000903002801153402BCD301E9F0605D9E971191483C140412A3"
     "5690D52832063D2F9040599A058EE05A3BD6430580E",
     true, "393358824000", "www.tim.it", false, UdCoding::Gsm7, "09-03-20 08:11:35", "",
     "Maxxi Alice 100 ATTIVATA FINO AL 19/04/2009"},
    // python-messaging test_sms.py test_decode_weird_multipart_german_pdu (1). Text as
    // python-messaging pins it: gammu 1.42 adds a U+0000 past the last septet (the escape of "€").
    {"07919471227210244405852122F039F101506271217180A005000319020198E9B2B82C0759DFE4B0F9ED2EB796753"
     "7B9CC02B5D37450122D2FCB41EE303DFD7687D96537881A96A7CD6F383DFD7683F46134BBEC064DD36550DA0D22A7"
     "CBF3721BE42CD3F5A0198B56036DCA20B8FC0D6A0A4170767D0EAAE540433A082E7F83A6E5F93CFD76BB40D7B2DB0"
     "D9AA6CB2072BA3C2F83926EF31BE44E8FD17450BB8C9683CA",
     true, "491722270142", "12220", false, UdCoding::Gsm7, "10-05-26 17:12:17", "25/2/1",
     "Lieber Vodafone-Kunde, mit Ihrer nationalen Tarifoption zahlen Sie in diesem Netz 3,45 € pro "
     "MB plus 59 Ct pro Session. Wenn Sie diese Info nicht mehr e"},
    // python-messaging test_sms.py test_decode_weird_multipart_german_pdu (2)
    {"07919471227210244405852122F039F1015062712181804F050003190202E4E8309B5E7683DAFC319A5E76B340F73"
     "D9A5D7683A6E93268FD9ED3CB6EF67B0E5AD172B19B2C2693C9602E90355D6683A6F0B007946E8382F5393BEC26BB"
     "00",
     true, "491722270142", "12220", false, UdCoding::Gsm7, "10-05-26 17:12:18", "25/2/2",
     "rhalten möchten, wählen Sie kostenlos +4917212220. Viel Spaß im Ausland."},
    // ModemManager test-sms-part-3gpp.c test_pdu1. Text as ModemManager pins it: gammu 1.42
    // appends bytes past the user data (extension characters miscounted).
    {"07912104442961F4040B916171957291F800001120821105050A6AC8B2BC7C9A83C220F6DB7D2ECB41EDF27C1E3E9"
     "7411BDE06754FD3D1A0F9BB5D0695F1F4B29B5C2683C6E8B03C3CA697E5F34D6AE303D1D1F2F7DD0D4ABB59A0797D"
     "8C0685E7A00028EC26832A960B28EC2683BE6050780EBA97D96C17",
     true, "12404492164", "16175927198", true, UdCoding::Gsm7, "11-02-28 11:50:50", "",
     "Here's a longer message [{with some extended characters}] thrown in, such as £ and ΩΠΨ and "
     "§¿ as well."},
    // ModemManager test-sms-part-3gpp.c test_pdu2
    {"07919730071111F10414D04937BD2C7797E9D3E614000811309291024061080442043504410442", true,
     "79037011111", "InternetSMS", false, UdCoding::Ucs2, "11-03-29 19:20:04", "", "тест"},
    // ModemManager test-sms-part-3gpp.c test_pdu3
    {"07912143658709F1040B918100551512F20000111010214365000AE8329BFD4697D9EC37", true,
     "12345678901", "18005551212", true, UdCoding::Gsm7, "11-01-01 12:34:56", "", "hellohello"},
    // ModemManager test-sms-part-3gpp.c test_pdu3_8bit
    {"07912143658709F1040B918100551512F20004111010214365000AE8329BFD4697D9EC37DE", true,
     "12345678901", "18005551212", true, UdCoding::Data8, "11-01-01 12:34:56", "", "è2 ýF Ùì7Þ"},
    // ModemManager test-sms-part-3gpp.c test_pdu_dcsf1
    {"07913306091093F0040485810000F111604231805180A049B7F90D9A1AA5A01668F8769BD3E4B29B9E2EB359A03FC"
     "85D06A9C3ED707A0EA2CBC3EE79BB4CA7CBCBA05643617DA7C76990FD4D979741EE77DD5E0ED741ED371D442E83E0"
     "E1F9BC0CD281E677D9B84C06C1DF7539E85C9097E520FB9B2E2F83C6EF369C5E064D8D52D0BC2E07DDEF77D7DC2C7"
     "799E5A0771D040FCB41F402BB0047BFDD6550B80ECAD966",
     true, "33609001390", "1800", false, UdCoding::Gsm7, "11-06-24 13:08:15", "",
     "Info SFR - Confidentiel, à ne jamais transmettre -\r\nVoici votre nouveau mot de passe : "
     "sw2ced pour gérer votre compte SFR sur www.sfr.fr ou par téléphone au 963"},
    // ModemManager test-sms-part-3gpp.c test_pdu_udhi (KPN welcome, 16-bit reference)
    {"07911356131313F64004850120390011609232239180A006080400100201D7327BFD6EB340E2321BF46E83EA7790F"
     "59D1E97DBE1341B442F83C465763D3DA797E56537C81D0ECB41AB59CC1693C16031D96C064241E5656838AF03A962"
     "30982A269BCD462917C8FA4E8FCBED709A0D7ABBE9F6B0FB5C7683D27350984D4FABC9A0B33C4C4FCF5D20EBFB2D0"
     "79DCB62793DBD06D9C36E50FB2D4E97D9A0B49B5E96BBCB",
     true, "31653131316", "1002", false, UdCoding::Gsm7, "11-06-29 23:32:19", "16/2/1",
     "Welkom, bel om uw Voicemail te beluisteren naar +31612001233 (PrePay: *100*1233#). Voicemail "
     "ontvangen is altijd gratis. Voor gebruik van mobiel interne"},
    // ModemManager test-sms-part-3gpp.c test_pdu_multipart (1)
    {"07912160130320F5440B916171056429F5000021405291650569A00500034C0201A9E8F41C949E83C2207B599E07B"
     "1DFEE33885E9ED341E4F23C7D7697C920FA1B54C697E5E3F4BC0C6AD7D9F434081E96D341E3303C2C4EB3D3F4BC0B"
     "94A483E6E8779D4D06CDD1EF3BA80E0785E7A0B7BB0C6A97E7F3F0B9CC02B9DF7450780EA2DFDF2C50780EA2A3CBA"
     "0BA9B5C96B3F369F71954768FDFE4B4FB0C9297E1F2F2BCECA6CF41",
     true, "12063130025", "16175046925", true, UdCoding::Gsm7, "12-04-25 19:56:50", "76/2/1",
     "This is a very long test designed to exercise multi part capability. It should show up as "
     "one message, not as two, as the underlying encoding represents "},
    // ModemManager test-sms-part-3gpp.c test_pdu_multipart (2)
    {"07912160130320F6440B916171056429F5000021405291651569320500034C0202E9E8301D44479741F0B09C3E078"
     "5E56590BCCC0ED3CB6410FD0D7ABBCBA0B0FB4D4797E52E10",
     true, "12063130026", "16175046925", true, UdCoding::Gsm7, "12-04-25 19:56:51", "76/2/2",
     "that the parts are related to one another. "},
    // ModemManager test-sms-part-3gpp.c test_pdu_stored_by_us (SUBMIT, UCS2)
    {"002100098136397339F70008224F60597D4F60597D4F60597D4F60597D4F60597D4F60597D4F60597D4F60597D4F6"
     "0",
     false, "", "639337937", false, UdCoding::Ucs2, "", "", "你好你好你好你好你好你好你好你好你"},
};

std::string timestamp(const sms_container& sms) {
    const sms_time t = decode_time(sms.scts.view());
    char text[32];
    std::snprintf(text, sizeof text, "%02d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day,
                  t.hour, t.minute, t.second);
    return text;
}

std::string concat_text(const sms_container& sms) {
    const auto concat = decode_concat(sms.ud.view(), read_byte(sms.pdu_type.view()));
    if (!concat) {
        return {};
    }
    return std::to_string(concat->reference) + "/" + std::to_string(concat->total) + "/" +
           std::to_string(concat->sequence);
}

void PrintTo(const Vector& v, std::ostream* os) {
    *os << v.pdu;
}

class CrossCheck : public testing::TestWithParam<Vector> {};

TEST_P(CrossCheck, DecodesLikeGammu) {
    const Vector& v = GetParam();
    sms_container sms;
    std::string error;
    ASSERT_EQ(v.deliver ? parse_sms_in(v.pdu, sms, &error) : parse_sms_out(v.pdu, sms, &error), 1)
        << error;
    EXPECT_EQ(decode_sca(sms.sca.view()).number, v.smsc);
    const sms_address address = decode_oa(sms.address.view(), sms.address_length);
    EXPECT_EQ(address.number, v.number);
    EXPECT_EQ(address.international, v.international);
    const int dcs_octet = read_byte(sms.dcs.view());
    const int first_octet = read_byte(sms.pdu_type.view());
    EXPECT_EQ(ud_coding(dcs_octet), v.coding);
    EXPECT_EQ(v.deliver ? timestamp(sms) : "", v.timestamp);
    EXPECT_EQ(concat_text(sms), v.concat);
    EXPECT_EQ(decode_ud(sms.ud.view(), read_byte(sms.udl.view()), dcs_octet, first_octet), v.text);
}

INSTANTIATE_TEST_SUITE_P(PublishedPdus, CrossCheck, testing::ValuesIn(kVectors));

} // namespace
