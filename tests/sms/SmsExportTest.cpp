// The SMS list's CSV for spreadsheets, and the bytes of an export file.

#include "sms/SmsExport.h"

#include "common/FileText.h"
#include "common/RecordingMessageSink.h"
#include "core/Utf8.h"
#include "db/DbTestFiles.h"

#include <gtest/gtest.h>

namespace {

std::string SheetField(std::string_view text) {
    std::string out;
    AppendSheetCsvField(out, text);
    return out;
}

TEST(SmsExport, CellsThatWouldRunAsFormulasShowAsText) {
    EXPECT_EQ(SheetField("=HYPERLINK(\"x\")"), "\"'=HYPERLINK(\"\"x\"\")\"");
    EXPECT_EQ(SheetField("+39333111"), "'+39333111");
    EXPECT_EQ(SheetField("-2+3"), "'-2+3");
    EXPECT_EQ(SheetField("@SUM(A1)"), "'@SUM(A1)");
    EXPECT_EQ(SheetField("\tx"), "'\tx");
    EXPECT_EQ(SheetField("\rx"), "\"'\rx\"");
    EXPECT_EQ(SheetField("ciao = ok"), "ciao = ok");
    EXPECT_EQ(SheetField(""), "");
    // Scripts get the text as it is.
    std::string raw;
    AppendCsvField(raw, "+39333111");
    EXPECT_EQ(raw, "+39333111");
}

// A field is quoted when it holds a comma, a quote, a carriage return or a line feed, wherever it
// stands in the field, whatever bytes stand around it (the neighbours of each in the code table
// among them).
TEST(SmsExport, CsvFieldsAreQuotedWhereverTheCharacterStands) {
    for (const char special : {',', '"', '\r', '\n'}) {
        for (const char filler : {'a', '\xFF', '\x80', '\x2D', '\x23', '\x0B', '\x0E', '\x00'}) {
            for (std::size_t length = 1; length <= 24; ++length) {
                for (std::size_t at = 0; at < length; ++at) {
                    std::string field(length, filler);
                    field[at] = special;
                    std::string out;
                    AppendCsvField(out, field);
                    std::string expected = field;
                    if (special == '"')
                        expected.insert(at, 1, '"');
                    ASSERT_EQ(out, "\"" + expected + "\"") << length << " " << at;
                }
                std::string out;
                AppendCsvField(out, std::string(length, filler));
                ASSERT_EQ(out, std::string(length, filler)) << length;
            }
        }
    }
}

TEST(SmsExport, EveryExportIsValidUtf8) {
    TempDir dir;
    SmsRow row{"1",        "IN",        "REC READ", "bad \xC3 byte \xFF", "07/03/01",
               "14:05.09", "+39333111", "Mario",    "+393359609600"};
    RecordingMessageSink sink;
    for (const char* name : {"list.csv", "list.txt"}) {
        const std::string path = dir.File(name);
        ASSERT_EQ(ExportSmsRows(std::span(&row, 1), sink, path), 1) << name;
        const std::string written = FileText(path);
        EXPECT_TRUE(is_utf8(written)) << name;
        EXPECT_NE(written.find("bad \xEF\xBF\xBD byte \xEF\xBF\xBD"), std::string::npos) << name;
    }
}

} // namespace
