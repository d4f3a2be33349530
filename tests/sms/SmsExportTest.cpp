// The SMS list's CSV for spreadsheets, and the bytes of an export file.

#include "sms/SmsExport.h"

#include "common/FileText.h"
#include "common/RecordingMessageSink.h"
#include "db/DbTestFiles.h"
#include "core/Utf8.h"

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
