// BuildSubmitPdu on the values of a Write SMS tab filled as the user would fill it.

#include "sms/send/SubmitPdu.h"

#include "common/RecordingMessageSink.h"
#include "pdu/Pdu.h"
#include "send/WorkedExample.h"
#include "sms/send/SmsText.h"

#include <gtest/gtest.h>

namespace {

using Texts = std::vector<std::string>;

class SubmitPduTest : public ::testing::Test {
protected:
    SubmitPduTest() { FillWorkedExample(form); }

    void Advanced() {
        form.Click(kAdvancedSubmitRadioId);
        form.SetControlText(kPidComboId, "00 - Default (SME to SME)");
        form.SetControlText(kDcsComboId, "00 - GSM 7 bit default alphabet");
    }

    // Builds from the form; the PDU, or "" when the build failed.
    std::string Build() {
        submit = {};
        boxesBefore = sink.Requests().size();
        return BuildSubmitPdu(ReadWriteSmsValues(form), sink, submit) == 0 ? submit.pdu : "";
    }

    // The one box the last build showed.
    MessageBoxRequest OnlyBox() const {
        const auto boxes = sink.Requests();
        EXPECT_EQ(boxes.size(), boxesBefore + 1);
        return boxes.size() > boxesBefore ? boxes[boxesBefore] : MessageBoxRequest{};
    }

    FakeWriteSmsForm form;
    RecordingMessageSink sink;
    SubmitPdu submit;
    std::size_t boxesBefore = 0;
};

TEST_F(SubmitPduTest, WorkedExampleGivesItsPduAndCount) {
    EXPECT_EQ(Build(), kWorkedExamplePdu);
    EXPECT_EQ(submit.length, 16);
    EXPECT_TRUE(sink.Requests().empty());
}

TEST_F(SubmitPduTest, RequestReplySetsTheStatusReportBit) {
    form.SetChecked(kRequestReplyCheckId, true);
    EXPECT_EQ(Build(), "07912143658709F13100099121436587F900f0FF0361f118");
}

TEST_F(SubmitPduTest, RecipientNumberIsWhatFollowsTheFirstSemicolon) {
    const std::string head = "07912143658709F11100";
    const std::string tail = "00f0FF0361f118";
    form.SetControlText(kRecipientComboId, "Anna Rossi;+123456789");
    EXPECT_EQ(Build(), head + "099121436587F9" + tail);
    form.SetControlText(kRecipientComboId, "+39;123");
    EXPECT_EQ(Build(), head + "038121F3" + tail);
    form.SetControlText(kRecipientComboId, "0123");
    EXPECT_EQ(Build(), head + "04811032" + tail);
    // Only the first ';' cuts: what follows is no number.
    form.SetControlText(kRecipientComboId, "A;B;0123");
    EXPECT_EQ(Build(), "");
    EXPECT_EQ(OnlyBox().text, "Recipient number not valid: \"B\" cannot be part of a number");
}

TEST_F(SubmitPduTest, PidAndDcsMustStartWithTwoHexDigits) {
    Advanced();
    form.SetControlText(kPidComboId, "7F - something");
    form.SetControlText(kDcsComboId, "f1");
    EXPECT_EQ(Build(), "07912143658709F10100099121436587F97Ff10361f118");

    for (const char* pid : {"4", "0g", "", " 00"}) {
        form.SetControlText(kPidComboId, pid);
        EXPECT_EQ(Build(), "") << pid;
        const auto box = OnlyBox();
        EXPECT_EQ(box.text, "Invalid characters in PID");
        EXPECT_EQ(box.caption, "ERROR");
        EXPECT_EQ(box.icon, BoxIcon::Error);
    }
    form.SetControlText(kPidComboId, "00");
    form.SetControlText(kDcsComboId, "G0");
    EXPECT_EQ(Build(), "");
    EXPECT_EQ(OnlyBox().text, "Invalid characters in DCS");
}

TEST_F(SubmitPduTest, ValidityFormatsOfTheAdvancedForm) {
    Advanced();
    EXPECT_EQ(Build(), "07912143658709F10100099121436587F90000"
                       "0361f118")
        << "no validity: first octet 01 and no validity octet";

    form.SetChecked(kValidityCheckId, true);
    form.SetChecked(kAbsoluteRadioId, true);
    form.SetChecked(kRelativeRadioId, true);
    form.SetControlText(kValidityEditId, "a7 hours");
    EXPECT_EQ(Build(), "07912143658709F11100099121436587F90000a70361f118")
        << "relative wins when both show checked";

    form.SetControlText(kValidityEditId, "Z1");
    EXPECT_EQ(Build(), "");
    EXPECT_EQ(OnlyBox().text, "Invalid Characters in relative VPF");
    EXPECT_EQ(OnlyBox().caption, "Error");

    form.Click(kAbsoluteRadioId);
    EXPECT_EQ(Build(), "");
    const auto box = OnlyBox();
    EXPECT_EQ(box.text, "VPF Absolute representation not implemented");
    EXPECT_EQ(box.caption, "Warning");
    EXPECT_EQ(box.icon, BoxIcon::Information);
}

TEST_F(SubmitPduTest, StandardFormTakesItsDcsFromTheClassList) {
    const Texts dcs = {"f0", "f1", "f2", "f3", "00"};
    for (int index = 0; index < 5; ++index) {
        form.SelectListItem(kClassComboId, index);
        EXPECT_EQ(Build().substr(36, 2), dcs[static_cast<std::size_t>(index)]) << index;
    }
    form.SelectListItem(kClassComboId, -1);
    EXPECT_EQ(Build(), "");
    EXPECT_EQ(OnlyBox().text, "Please, select a class for the message");
    EXPECT_EQ(OnlyBox().caption, "Error");

    Advanced();
    EXPECT_NE(Build(), "") << "the advanced form needs no class";
}

TEST_F(SubmitPduTest, AnnouncedCountDoesNotDependOnTheServiceCentre) {
    form.SetControlText(kScaEditId, "+12345");
    Build();
    EXPECT_EQ(submit.pdu.substr(0, 2), "04");
    const int shortCentre = submit.length;
    form.SetControlText(kScaEditId, "+12345678901234");
    Build();
    EXPECT_EQ(submit.pdu.substr(0, 2), "08");
    EXPECT_EQ(submit.length, shortCentre);
    EXPECT_EQ(submit.length, 16);
}

TEST_F(SubmitPduTest, EmptyServiceCentreIsTheFirstCheck) {
    form.SetControlText(kScaEditId, "");
    form.SelectListItem(kClassComboId, -1);
    EXPECT_EQ(Build(), "");
    const auto box = OnlyBox();
    EXPECT_EQ(box.text, "Please, fill Service Centre Address !");
    EXPECT_EQ(box.caption, "Error");
    EXPECT_EQ(box.icon, BoxIcon::Error);
}

TEST_F(SubmitPduTest, NumbersLongerThanTheirFieldsAreRefusedNotCut) {
    form.SetControlText(kScaEditId, "+" + std::string(20, '1'));
    form.SetControlText(kRecipientComboId, "Someone with a long name;+" + std::string(20, '2'));
    const std::string pdu = Build();
    ASSERT_NE(pdu, "");
    EXPECT_EQ(pdu.substr(0, 4), "0b91");
    EXPECT_NE(pdu.find("1491" + std::string(20, '2')), std::string::npos);

    form.SetControlText(kScaEditId, "+" + std::string(21, '1'));
    EXPECT_EQ(Build(), "");
    EXPECT_EQ(OnlyBox().text, "Service Centre Address too long: at most 20 digits");

    form.SetControlText(kScaEditId, "+1234");
    form.SetControlText(kRecipientComboId, std::string(21, '2'));
    EXPECT_EQ(Build(), "");
    EXPECT_EQ(OnlyBox().text, "Recipient number too long: at most 20 digits");
    EXPECT_EQ(OnlyBox().icon, BoxIcon::Error);
}

TEST_F(SubmitPduTest, NumbersAreCodedWithoutSeparatorsAndTheirSigns) {
    form.SetControlText(kScaEditId, "+1 (234) 567-89.01");
    form.SetControlText(kRecipientComboId, "Balance;*100#");
    const std::string pdu = Build();
    EXPECT_EQ(pdu.substr(0, 16), "07912143658709F1");
    EXPECT_EQ(pdu.substr(16, 16), "11000581"
                                  "1A00FB00");
    EXPECT_TRUE(sink.Requests().empty());
}

TEST_F(SubmitPduTest, NumbersThatCannotBeCodedAreRefusedNamingTheField) {
    form.SetControlText(kRecipientComboId, "abc;123d");
    EXPECT_EQ(Build(), "");
    EXPECT_EQ(OnlyBox().text, "Recipient number not valid: \"d\" cannot be part of a number");
    form.SetControlText(kRecipientComboId, "");
    EXPECT_EQ(Build(), "");
    EXPECT_EQ(OnlyBox().text, "Recipient number not valid: no digits");
    form.SetControlText(kRecipientComboId, "+39 333 111");
    form.SetControlText(kScaEditId, "39+333");
    EXPECT_EQ(Build(), "");
    EXPECT_EQ(OnlyBox().text, "Service Centre Address not valid: \"+\" cannot be part of a number");
    EXPECT_EQ(OnlyBox().caption, "Error");
}

TEST_F(SubmitPduTest, ExtensionCharactersTakeTwoSeptets) {
    form.SetControlText(kSmsTextEditId, "5€");
    EXPECT_EQ(Build().substr(40), "03b54d19");
    EXPECT_TRUE(sink.Requests().empty());
}

TEST_F(SubmitPduTest, CharactersWithoutASeptetAreShownBeforeSendingUnderASevenBitDcs) {
    form.SetControlText(kSmsTextEditId, "ciao ДД ok ✓?");
    Build();
    EXPECT_EQ(submit.pdu.substr(36, 2), "18") << "Standard Submit sends it as UCS2";
    EXPECT_EQ(sink.Requests().size(), boxesBefore);

    Advanced();
    sink.QueueAnswer(BoxAnswer::No);
    EXPECT_EQ(Build(), "");
    const auto box = OnlyBox();
    EXPECT_NE(box.text.find("\"?\": Д✓\n"), std::string::npos) << box.text;
    EXPECT_EQ(box.buttons, BoxButtons::YesNo);

    sink.QueueAnswer(BoxAnswer::Yes);
    const std::string pdu = Build();
    ASSERT_NE(pdu, "");
    EXPECT_EQ(pdu.substr(38, 2), "0d") << "13 septets, each lost character one \"?\"";
}

TEST(IsHexPairTest, LooksAtTheFirstTwoCharactersOnly) {
    EXPECT_TRUE(IsHexPair("00"));
    EXPECT_TRUE(IsHexPair("aF - anything"));
    EXPECT_FALSE(IsHexPair("4"));
    EXPECT_FALSE(IsHexPair("0g"));
    EXPECT_FALSE(IsHexPair("g0"));
    EXPECT_FALSE(IsHexPair(""));
}

TEST(SmsTextTest, CutsNeverSplitACharacter) {
    const std::string almost(159, 'a');
    EXPECT_EQ(CutToSeptets(almost + "€", 160), almost) << "the escape pair does not fit";
    EXPECT_EQ(CutToSeptets(almost + "èx", 160), almost + "è");
    EXPECT_EQ(CharCount("àèìòù"), 5u);
    EXPECT_EQ(UnsendableCharacters("€ è ? @"), "");
}

} // namespace

namespace {

class SubmitCodingTest : public SubmitPduTest {
protected:
    // Builds every part from the form; empty when the build failed.
    SubmitParts BuildParts(int reference = 0x42) {
        SubmitParts parts;
        boxesBefore = sink.Requests().size();
        if (BuildSubmitParts(ReadWriteSmsValues(form), sink, parts, reference) != 0)
            parts.clear();
        return parts;
    }

    // The fields of a built PDU as a receiver reads them.
    static sms_container Parsed(const SubmitPdu& part) {
        sms_container sms;
        EXPECT_EQ(parse_sms_out(part.pdu, sms), 1) << part.pdu;
        return sms;
    }
    static std::string TextOf(const SubmitPdu& part) {
        const sms_container sms = Parsed(part);
        return decode_ud(sms.ud, read_byte(sms.udl), read_byte(sms.dcs), read_byte(sms.pdu_type));
    }

    void AdvancedWithDcs(const char* dcs) {
        Advanced();
        form.SetControlText(kDcsComboId, dcs);
    }
};

const std::string kHead = "07912143658709F11100099121436587F900";

TEST_F(SubmitCodingTest, StandardSubmitSendsGreekAsUcs2WithTheClassInGroup0001) {
    form.SetControlText(kSmsTextEditId, "Καλημέρα");
    const SubmitParts parts = BuildParts();
    ASSERT_EQ(parts.size(), 1u);
    EXPECT_EQ(parts[0].pdu, kHead + "18FF10039a03b103bb03b703bc03ad03c103b1");
    EXPECT_EQ(parts[0].length, 13 + 16);
    EXPECT_EQ(TextOf(parts[0]), "Καλημέρα");
    EXPECT_EQ(sink.Requests().size(), boxesBefore) << "no \"?\" warning";

    form.SelectListItem(kClassComboId, 4); // no class
    EXPECT_EQ(Parsed(BuildParts()[0]).dcs, "08");
}

TEST_F(SubmitCodingTest, AHundredGreekCharactersGoAsTwoLinkedParts) {
    std::string text;
    for (int i = 0; i < 100; ++i)
        text += i % 2 == 0 ? "α" : "β";
    form.SetControlText(kSmsTextEditId, text);
    const SubmitParts parts = BuildParts(0x42);
    ASSERT_EQ(parts.size(), 2u);
    std::string joined;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const sms_container sms = Parsed(parts[i]);
        EXPECT_EQ(sms.pdu_type, "51") << "UDHI set, relative validity";
        const auto concat = decode_concat(sms.ud, read_byte(sms.pdu_type));
        ASSERT_TRUE(concat);
        EXPECT_EQ(concat->reference, 0x42);
        EXPECT_EQ(concat->total, 2);
        EXPECT_EQ(concat->sequence, static_cast<int>(i) + 1);
        EXPECT_EQ(parts[i].length, submit_octet_count(parts[i].pdu));
        joined += TextOf(parts[i]);
    }
    EXPECT_EQ(joined, text);
}

TEST_F(SubmitCodingTest, AdvancedSubmitEncodesAsTheTypedDcsSays) {
    form.SetControlText(kSmsTextEditId, "hello");
    AdvancedWithDcs("08 - UCS2 (16 bit)");
    SubmitParts parts = BuildParts();
    ASSERT_EQ(parts.size(), 1u);
    EXPECT_EQ(Parsed(parts[0]).udl, "0a");
    EXPECT_EQ(Parsed(parts[0]).ud, "00680065006c006c006f");
    EXPECT_EQ(TextOf(parts[0]), "hello");

    for (const char* dcs : {"04 - 8 bit data", "16", "F5"}) {
        AdvancedWithDcs(dcs);
        parts = BuildParts();
        ASSERT_EQ(parts.size(), 1u) << dcs;
        EXPECT_EQ(Parsed(parts[0]).ud, "68656c6c6f") << dcs;
        EXPECT_EQ(TextOf(parts[0]), "hello") << dcs;
    }
    AdvancedWithDcs("00 - GSM 7 bit default alphabet");
    EXPECT_EQ(Parsed(BuildParts()[0]).ud, "e8329bfd06");
}

TEST_F(SubmitCodingTest, ExtensionCharactersStaySevenBitAtTwoSeptetsEach) {
    form.SetControlText(kSmsTextEditId, "5€ [x]");
    const SubmitParts parts = BuildParts();
    ASSERT_EQ(parts.size(), 1u);
    EXPECT_EQ(Parsed(parts[0]).dcs, "f0");
    EXPECT_EQ(Parsed(parts[0]).udl, "09");
    EXPECT_EQ(TextOf(parts[0]), "5€ [x]");
}

TEST_F(SubmitCodingTest, UnsendableCodingsAndTextsAreRefusedWithABox) {
    form.SetControlText(kSmsTextEditId, "hello");
    for (const auto& [dcs, text] :
         {std::pair{"2C", "DCS 2c: compressed text cannot be sent"},
          std::pair{"0C", "DCS 0c: a reserved alphabet cannot be sent"},
          std::pair{"9A", "DCS 9a: a reserved coding group cannot be sent"}}) {
        AdvancedWithDcs(dcs);
        EXPECT_TRUE(BuildParts().empty()) << dcs;
        EXPECT_EQ(OnlyBox().text, text);
    }
    AdvancedWithDcs("04 - 8 bit data");
    form.SetControlText(kSmsTextEditId, "hi 😀");
    EXPECT_TRUE(BuildParts().empty());
    EXPECT_EQ(OnlyBox().text, "These characters cannot be sent as 8-bit data: 😀");
}

TEST_F(SubmitCodingTest, AdvancedSevenBitKeepsTheQuestionMarkWarning) {
    form.SetControlText(kSmsTextEditId, "Καλη");
    AdvancedWithDcs("00 - GSM 7 bit default alphabet");
    sink.QueueAnswer(BoxAnswer::Yes);
    const SubmitParts parts = BuildParts();
    ASSERT_EQ(parts.size(), 1u);
    EXPECT_EQ(OnlyBox().caption, "Warning");
    EXPECT_EQ(TextOf(parts[0]), "????");
}

} // namespace
