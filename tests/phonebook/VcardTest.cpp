// vCard writing and reading: our own files read back to the same rows, cards as other programs
// write them (the examples of RFC 6350 and of the vCard 2.1 standard, quoted-printable
// with a charset, folded lines, several TEL), and files refused with the line they fail at.

#include "phonebook/Vcard.h"

#include "core/Utf8.h"

#include <gtest/gtest.h>

namespace {

using Rows = std::vector<PhonebookRow>;

std::vector<std::string> PhysicalLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t from = 0;
    for (std::size_t end; (end = text.find("\r\n", from)) != std::string::npos; from = end + 2)
        lines.push_back(text.substr(from, end - from));
    EXPECT_EQ(from, text.size()) << "the text ends with CRLF";
    return lines;
}

bool IsWholeUtf8(const std::string& text) {
    std::size_t pos = 0;
    while (pos < text.size()) {
        if (next_code_point(text, pos) == kReplacementChar)
            return false;
    }
    return true;
}

TEST(VcardWriteTest, WritesOneVersion3CardPerRowWithTheFormatAsTypeAndThePosition) {
    const Rows rows = {{"12", "Mario Rossi", "+39333111", "145"}};
    EXPECT_EQ(WriteVcards(rows), "BEGIN:VCARD\r\n"
                                 "VERSION:3.0\r\n"
                                 "FN:Mario Rossi\r\n"
                                 "N:Mario Rossi;;;;\r\n"
                                 "TEL;TYPE=X-145:+39333111\r\n"
                                 "X-TELVANE-POS:12\r\n"
                                 "END:VCARD\r\n");
    EXPECT_EQ(WriteVcards(Rows{}), "");
}

TEST(VcardWriteTest, EscapesSpecialCharactersAndFoldsAt75OctetsWithoutSplittingCharacters) {
    std::string longName;
    for (int i = 0; i < 30; ++i)
        longName += "Niccolò ";
    const Rows rows = {{"NEW", "Rossi, Mario; \\ il\nsecondo", "1", "National"},
                       {"NEW", longName, "2", "a \"b\", c"}};
    const std::string text = WriteVcards(rows);
    EXPECT_NE(text.find("FN:Rossi\\, Mario\\; \\\\ il\\nsecondo\r\n"), std::string::npos);
    EXPECT_NE(text.find("TEL;TYPE=\"X-a b c\":2\r\n"), std::string::npos);
    int continuations = 0;
    for (const std::string& line : PhysicalLines(text)) {
        EXPECT_LE(line.size(), 75U) << line;
        EXPECT_TRUE(IsWholeUtf8(line)) << line;
        continuations += line.starts_with(' ') ? 1 : 0;
    }
    EXPECT_GE(continuations, 6); // FN and N of the long name, over 270 octets each
}

TEST(VcardRoundTripTest, ReadingWhatWasWrittenGivesTheSameRowsAsNew) {
    std::string longName;
    for (int i = 0; i < 20; ++i)
        longName += "Città ";
    const Rows rows = {
        {"1", "Mario", "+39333111", "145"},
        {"2", "Rossi, Mario; \\ il\nsecondo", "0612345", "129"},
        {"NEW", longName, "+41 44 123", "International"},
        {"3", "", "", "National"},
        {"4", "Ελένη Пётр 日本", "*100#", ""},
    };
    const VcardReadResult read = ReadVcards(WriteVcards(rows));
    ASSERT_FALSE(read.error) << read.error->line << ": " << read.error->message;
    ASSERT_EQ(read.rows.size(), rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        PhonebookRow expected = rows[i];
        expected[kPosColumn] = "NEW"; // imported rows are new rows, like rows added by hand
        EXPECT_EQ(read.rows[i], expected) << i;
    }
}

TEST(VcardReadTest, TheRfc6350ExampleGivesARowPerTelUri) {
    const std::string card =
        "BEGIN:VCARD\r\n"
        "VERSION:4.0\r\n"
        "FN:Simon Perreault\r\n"
        "N:Perreault;Simon;;;ing. jr,M.Sc.\r\n"
        "BDAY:--0203\r\n"
        "ANNIVERSARY:20090808T1430-0500\r\n"
        "GENDER:M\r\n"
        "LANG;PREF=1:fr\r\n"
        "LANG;PREF=2:en\r\n"
        "ORG;TYPE=work:Viagenie\r\n"
        "ADR;TYPE=work:;Suite D2-630;2875 Laurier;\r\n"
        " Quebec;QC;G1V 2M2;Canada\r\n"
        "TEL;VALUE=uri;TYPE=\"work,voice\";PREF=1:tel:+1-418-656-9254;ext=102\r\n"
        "TEL;VALUE=uri;TYPE=\"work,cell,voice,video,text\":tel:+1-418-262-6501\r\n"
        "EMAIL;TYPE=work:simon.perreault@viagenie.ca\r\n"
        "GEO;TYPE=work:geo:46.772673\\,-71.282945\r\n"
        "KEY;TYPE=work;VALUE=uri:\r\n"
        " http://www.viagenie.ca/simon.perreault/simon.asc\r\n"
        "TZ:-0500\r\n"
        "URL;TYPE=home:http://nomis80.org\r\n"
        "END:VCARD\r\n";
    const VcardReadResult read = ReadVcards(card);
    ASSERT_FALSE(read.error) << read.error->message;
    EXPECT_EQ(read.rows, (Rows{{"NEW", "Simon Perreault", "+14186569254", "International"},
                               {"NEW", "Simon Perreault", "+14182626501", "International"}}));
}

TEST(VcardReadTest, TheVcard21ExampleWithBareTypesAndAnNOnlyName) {
    const std::string card =
        "BEGIN:VCARD\n"
        "VERSION:2.1\n"
        "N:Smith;John;M.;Mr.;Esq.\n"
        "TEL;WORK;VOICE;MSG:+1 (919) 555-1234\n"
        "TEL;CELL:+1 (919) 554-6758\n"
        "TEL;WORK;FAX:+1 (919) 555-9876\n"
        "ADR;WORK;PARCEL;POSTAL;DOM:Suite 101;1 Central St.;Any Town;NC;27654\n"
        "END:VCARD\n";
    const VcardReadResult read = ReadVcards(card);
    ASSERT_FALSE(read.error) << read.error->message;
    const std::string name = "Mr. John M. Smith Esq.";
    EXPECT_EQ(read.rows, (Rows{{"NEW", name, "+1 (919) 555-1234", "International"},
                               {"NEW", name, "+1 (919) 554-6758", "International"},
                               {"NEW", name, "+1 (919) 555-9876", "International"}}));
}

TEST(VcardReadTest, QuotedPrintableWithCharsetsSoftBreaksGroupsAndFoldedLines) {
    const std::string cards =
        "BEGIN:VCARD\r\n"
        "VERSION:2.1\r\n"
        "N;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:Citt=C3=A0;Nicol=C3=B2;;;\r\n"
        "FN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:Nicol=C3=B2 Citt=C3=A0 che va=\r\n"
        " a capo\r\n"
        "TEL;CELL:3331234567\r\n"
        "END:VCARD\r\n"
        "\r\n"
        "BEGIN:VCARD\r\n"
        "VERSION:2.1\r\n"
        "N;CHARSET=ISO-8859-1;QUOTED-PRINTABLE:M=FCller;J=FCrgen\r\n"
        "item1.TEL;TYPE=X-129:0049301234\r\n"
        "END:VCARD\r\n"
        "BEGIN:VCARD\r\n"
        "VERSION:3.0\r\n"
        "FN:Mario Ro\r\n"
        " ssi\r\n"
        "TEL;TYPE=cell:+39 333\r\n"
        "END:VCARD\r\n";
    const VcardReadResult read = ReadVcards(cards);
    ASSERT_FALSE(read.error) << read.error->line << ": " << read.error->message;
    EXPECT_EQ(read.rows, (Rows{{"NEW", "Nicolò Città che va a capo", "3331234567", "National"},
                               {"NEW", "Jürgen Müller", "0049301234", "129"},
                               {"NEW", "Mario Rossi", "+39 333", "International"}}));
}

struct Refused {
    const char* name;
    const char* text;
    int line;
    const char* message;
};

class VcardRefusalTest : public testing::TestWithParam<Refused> {};

TEST_P(VcardRefusalTest, NothingIsReadAndTheLineIsGiven) {
    const VcardReadResult read = ReadVcards(GetParam().text);
    ASSERT_TRUE(read.error.has_value());
    EXPECT_EQ(read.error->line, GetParam().line);
    EXPECT_NE(read.error->message.find(GetParam().message), std::string::npos)
        << read.error->message;
    EXPECT_TRUE(read.rows.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Files, VcardRefusalTest,
    testing::Values(
        Refused{"Csv", "Name,Number\r\nMario,123\r\n", 1, "not a vCard"},
        Refused{"Empty", "", 1, "no vCard"},
        // A good card first: the bad second one still leaves nothing imported.
        Refused{"SecondCardNeverEnded",
                "BEGIN:VCARD\nVERSION:3.0\nFN:A\nTEL:1\nEND:VCARD\n"
                "BEGIN:VCARD\nVERSION:3.0\nFN:Nessun numero\nTEL:2\n",
                9, "END:VCARD missing"},
        // Lines counted with CR-only line ends as with any other.
        Refused{"NoColonAfterCrOnlyLineEnds", "BEGIN:VCARD\rVERSION:3.0\r\rFN A\rEND:VCARD\r", 4,
                "':' missing"},
        Refused{"NoColon", "BEGIN:VCARD\nVERSION:3.0\nFN A\nTEL:1\nEND:VCARD\n", 3, "':' missing"},
        Refused{"Version5", "BEGIN:VCARD\nVERSION:5.0\nTEL:1\nEND:VCARD\n", 2, "version 5.0"},
        Refused{"UnknownCharset",
                "BEGIN:VCARD\nVERSION:2.1\nN;CHARSET=KOI8-R:x\nTEL:1\nEND:VCARD\n", 3,
                "CHARSET KOI8-R"},
        Refused{"NoEnd", "BEGIN:VCARD\nVERSION:3.0\nTEL:1\n", 3, "END:VCARD missing"},
        Refused{"NestedBegin", "BEGIN:VCARD\nBEGIN:VCARD\n", 2, "BEGIN inside"},
        Refused{"TextAfterTheLastCard", "BEGIN:VCARD\nTEL:1\nEND:VCARD\nstray text\n", 4,
                "not a vCard"}),
    [](const testing::TestParamInfo<Refused>& param) { return std::string(param.param.name); });

// The text as UTF-16 with its byte order mark first.
std::string Utf16(const std::string& utf8, bool bigEndian) {
    std::string out;
    const auto unit = [&](char32_t u) {
        const auto high = static_cast<char>(u >> 8U);
        const auto low = static_cast<char>(u & 0xFFU);
        out += bigEndian ? std::string{high, low} : std::string{low, high};
    };
    unit(0xFEFF);
    for (std::size_t pos = 0; pos < utf8.size();) {
        const char32_t cp = next_code_point(utf8, pos);
        if (cp < 0x10000) {
            unit(cp);
        } else {
            unit(0xD800 + ((cp - 0x10000) >> 10U));
            unit(0xDC00 + ((cp - 0x10000) & 0x3FFU));
        }
    }
    return out;
}

TEST(VcardReadTest, ByteOrderMarksUtf16InEitherOrderAndEveryLineEndGiveTheSameRows) {
    const std::string card = "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Città 日本 🎉\r\n"
                             "TEL;TYPE=cell:+39333111\r\nEND:VCARD\r\n";
    const Rows expected = {{"NEW", "Città 日本 🎉", "+39333111", "International"}};
    std::string crOnly = card;
    std::erase(crOnly, '\n');
    std::string lfOnly = card;
    std::erase(lfOnly, '\r');
    const std::vector<std::pair<const char*, std::string>> files = {
        {"UTF-8 with BOM", "\xEF\xBB\xBF" + card},
        {"UTF-16LE", Utf16(card, false)},
        {"UTF-16BE", Utf16(card, true)},
        {"UTF-16LE, CR only", Utf16(crOnly, false)},
        {"CR only", crOnly},
        {"LF only", lfOnly},
    };
    for (const auto& [what, text] : files) {
        const VcardReadResult read = ReadVcards(text);
        ASSERT_FALSE(read.error) << what << ": " << read.error->line << ": " << read.error->message;
        EXPECT_EQ(read.rows, expected) << what;
    }
    // A unit missing its other half shows as U+FFFD, never as a broken sequence.
    const std::string lone = Utf16("BEGIN:VCARD\nFN:x", false) + std::string("\x3D\xD8", 2) +
                             Utf16("\nTEL:1\nEND:VCARD\n", false).substr(2);
    const VcardReadResult read = ReadVcards(lone);
    ASSERT_FALSE(read.error) << read.error->message;
    EXPECT_EQ(read.rows, (Rows{{"NEW", "x\uFFFD", "1", "National"}}));
}

TEST(VcardReadTest, CardsWithoutANumberAreSkippedAndCounted) {
    const VcardReadResult read =
        ReadVcards("BEGIN:VCARD\nVERSION:3.0\nFN:Solo mail\nEMAIL:x@y.it\nEND:VCARD\n"
                   "BEGIN:VCARD\nVERSION:3.0\nFN:A\nTEL:1\nEND:VCARD\n"
                   "BEGIN:VCARD\nVERSION:4.0\nFN:Azienda\nORG:Acme\nEND:VCARD\n"
                   "BEGIN:VCARD\nVERSION:3.0\nFN:B\nTEL:2\nEND:VCARD\n");
    ASSERT_FALSE(read.error) << read.error->message;
    EXPECT_EQ(read.rows, (Rows{{"NEW", "A", "1", "National"}, {"NEW", "B", "2", "National"}}));
    EXPECT_EQ(read.skippedCards, 2);

    const VcardReadResult none = ReadVcards("BEGIN:VCARD\nVERSION:3.0\nFN:Solo mail\nEND:VCARD\n");
    ASSERT_FALSE(none.error) << none.error->message;
    EXPECT_TRUE(none.rows.empty());
    EXPECT_EQ(none.skippedCards, 1);
}

TEST(VcardReadTest, Version21UnfoldingKeepsTheBlankLaterVersionsDropIt) {
    const VcardReadResult read = ReadVcards("BEGIN:VCARD\r\nVERSION:2.1\r\n"
                                            "FN:Mario\r\n Rossi\r\nTEL:1\r\nEND:VCARD\r\n"
                                            "BEGIN:VCARD\r\nVERSION:3.0\r\n"
                                            "FN:Anna\r\n  Bianchi\r\nTEL:2\r\nEND:VCARD\r\n"
                                            "BEGIN:VCARD\r\nVERSION:4.0\r\n"
                                            "FN:Lu\r\n ca\r\nTEL:3\r\nEND:VCARD\r\n");
    ASSERT_FALSE(read.error) << read.error->message;
    EXPECT_EQ(read.rows, (Rows{{"NEW", "Mario Rossi", "1", "National"},
                               {"NEW", "Anna Bianchi", "2", "National"},
                               {"NEW", "Luca", "3", "National"}}));
}

TEST(VcardReadTest, TelUrisArePercentDecoded) {
    const VcardReadResult read = ReadVcards("BEGIN:VCARD\nVERSION:4.0\nFN:A\n"
                                            "TEL;VALUE=uri:tel:%2B39-333-111;phone-context=x\n"
                                            "TEL;VALUE=uri:tel:*100%23\n"
                                            "TEL;VALUE=uri:tel:12%zz\n"
                                            "END:VCARD\n");
    ASSERT_FALSE(read.error) << read.error->message;
    EXPECT_EQ(read.rows, (Rows{{"NEW", "A", "+39333111", "International"},
                               {"NEW", "A", "*100#", "National"},
                               {"NEW", "A", "12%zz", "National"}}));
}

TEST(VcardReadTest, AFileLargerThanTheLimitIsRefused) {
    const std::string huge(kMaxVcardFileSize + 1, 'x');
    const VcardReadResult read = ReadVcards(huge);
    ASSERT_TRUE(read.error.has_value());
    EXPECT_NE(read.error->message.find("too large"), std::string::npos);
}

} // namespace
