// Exporting the phonebook list to a vCard file and importing one into it, through the form
// interface and real files: rows added at the top as "NEW", nothing added from a bad file, the
// database never touched, and no file replaced without asking.

#include "phonebook/PhonebookVcard.h"

#include "FakePhonebookForm.h"
#include "common/FileText.h"
#include "common/RecordingMessageSink.h"
#include "db/DbTestFiles.h"

#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>

namespace {

class PhonebookVcardTest : public testing::Test {
protected:
    void SetUp() override {
        form.InsertRow(0, {"1", "Mario", "+39333111", "145"});
        form.InsertRow(1, {"NEW", "Anna", "0612", "National"});
    }

    TempDir dir;
    FakePhonebookForm form;
    RecordingMessageSink messages;
};

TEST_F(PhonebookVcardTest, ExportThenImportPutsTheSameRowsAsNewAtTheTop) {
    const std::string path = dir.File("phonebook.vcf");
    EXPECT_EQ(ExportPhonebookVcard(form, messages, path), 2);
    EXPECT_EQ(messages.Texts(), (std::vector<std::string>{"2 rows written to " + path}));

    EXPECT_EQ(ImportPhonebookVcard(form, messages, path), 2);
    EXPECT_EQ(messages.Texts().back(), "2 rows imported from " + path);
    EXPECT_EQ(form.Rows(), (std::vector<PhonebookRow>{{"NEW", "Mario", "+39333111", "145"},
                                                      {"NEW", "Anna", "0612", "National"},
                                                      {"1", "Mario", "+39333111", "145"},
                                                      {"NEW", "Anna", "0612", "National"}}));
}

TEST_F(PhonebookVcardTest, ABadFileIsReportedWithItsLineAndAddsNothing) {
    const std::string path = dir.File("bad.vcf");
    std::ofstream(path) << "BEGIN:VCARD\nFN:Uno\nTEL:1\nEND:VCARD\nBEGIN:VCARD\nFN:Due\nTEL:2\n";
    EXPECT_EQ(ImportPhonebookVcard(form, messages, path), -1);
    ASSERT_EQ(messages.Requests().size(), 1U);
    EXPECT_EQ(messages.Requests()[0].text,
              "Cannot import " + path + ": line 7: END:VCARD missing at the end of the file");
    EXPECT_EQ(messages.Requests()[0].icon, BoxIcon::Error);
    EXPECT_EQ(form.Rows().size(), 2U);

    EXPECT_EQ(ImportPhonebookVcard(form, messages, dir.File("missing.vcf")), -1);
    EXPECT_EQ(messages.Texts().back(), "Cannot read " + dir.File("missing.vcf"));
    EXPECT_EQ(form.Rows().size(), 2U);
}

TEST_F(PhonebookVcardTest, SkippedCardsAndShortenedNamesAreCountedInTheResultBox) {
    std::string longName;
    for (int i = 0; i < 30; ++i)
        longName += "Niccolò ";                        // 240 characters, 270 octets
    longName += "della Città";                         // 251 characters
    const std::string tooLong = longName + " di Roma"; // 259 characters
    const std::string path = dir.File("export.vcf");
    std::ofstream(path) << "BEGIN:VCARD\nVERSION:3.0\nFN:Solo mail\nEND:VCARD\n"
                        << "BEGIN:VCARD\nVERSION:3.0\nFN:" << tooLong
                        << "\nTEL:1\nTEL:2\nEND:VCARD\n"
                        << "BEGIN:VCARD\nVERSION:3.0\nFN:" << longName << "\nTEL:3\nEND:VCARD\n";
    EXPECT_EQ(ImportPhonebookVcard(form, messages, path), 3);
    EXPECT_EQ(messages.Texts().back(), "3 rows imported from " + path +
                                           "\n1 card without a telephone number skipped"
                                           "\n2 names shortened to 255 characters, the longest "
                                           "the phonebook holds");
    const std::string cut = longName + " di "; // 255 characters
    ASSERT_EQ(form.Rows().size(), 5U);
    EXPECT_EQ(form.Rows()[0], (PhonebookRow{"NEW", cut, "1", "National"}));
    EXPECT_EQ(form.Rows()[1], (PhonebookRow{"NEW", cut, "2", "National"}));
    EXPECT_EQ(form.Rows()[2], (PhonebookRow{"NEW", longName, "3", "National"}));

    // Nothing skipped or shortened: the box as before.
    std::ofstream(path) << "BEGIN:VCARD\nFN:Uno\nTEL:1\nEND:VCARD\n";
    EXPECT_EQ(ImportPhonebookVcard(form, messages, path), 1);
    EXPECT_EQ(messages.Texts().back(), "1 row imported from " + path);
}

// Files Python's codecs write as UTF-16 without a byte order mark ("utf-16-le", "utf-16-be"),
// as some phone suites export them; the BOM-marked "utf-16" beside them.
TEST_F(PhonebookVcardTest, Utf16FilesWithoutAByteOrderMarkImportInEitherOrder) {
    if (std::system("python3 -c 'import codecs' 2>/dev/null") != 0)
        GTEST_SKIP() << "python3 is not installed: no independent UTF-16 writer";
    const std::string card = "BEGIN:VCARD\\r\\nVERSION:3.0\\r\\nFN:Citt\\u00e0 \\u65e5\\u672c "
                             "\\U0001f389\\r\\nTEL:+39333111\\r\\nEND:VCARD\\r\\n";
    for (const char* encoding : {"utf-16-le", "utf-16-be", "utf-16"}) {
        const std::string path = dir.File(std::string(encoding) + ".vcf");
        const std::string script = "import codecs,sys; codecs.open(sys.argv[1],'w',encoding='" +
                                   std::string(encoding) + "').write('" + card + "')";
        ASSERT_EQ(std::system(("python3 -c \"" + script + "\" '" + path + "'").c_str()), 0);
        ASSERT_EQ(FileText(path).find("BEGIN"), std::string::npos) << "not UTF-16: " << encoding;
        const std::size_t before = form.Rows().size();
        EXPECT_EQ(ImportPhonebookVcard(form, messages, path), 1) << encoding;
        ASSERT_EQ(form.Rows().size(), before + 1) << encoding;
        EXPECT_EQ(form.Rows()[0],
                  (PhonebookRow{"NEW", "Città 日本 🎉", "+39333111", "International"}))
            << encoding;
    }
}

TEST_F(PhonebookVcardTest, AnExistingFileIsReplacedOnlyAfterYes) {
    const std::string path = dir.File("phonebook.vcf");
    std::ofstream(path) << "old";
    messages.QueueAnswer(BoxAnswer::No);
    EXPECT_EQ(ExportPhonebookVcard(form, messages, path), -1);
    EXPECT_EQ(FileText(path), "old");
    ASSERT_EQ(messages.Requests().size(), 1U);
    EXPECT_EQ(messages.Requests()[0].buttons, BoxButtons::YesNo);

    messages.QueueAnswer(BoxAnswer::Yes);
    EXPECT_EQ(ExportPhonebookVcard(form, messages, path), 2);
    EXPECT_TRUE(FileText(path).starts_with("BEGIN:VCARD\r\n"));
}

} // namespace
