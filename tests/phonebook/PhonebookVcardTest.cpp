// Exporting the phonebook list to a vCard file and importing one into it, through the form
// interface and real files: rows added at the top as "NEW", nothing added from a bad file, the
// database never touched, and no file replaced without asking.

#include "phonebook/PhonebookVcard.h"

#include "FakePhonebookForm.h"
#include "common/FileText.h"
#include "common/RecordingMessageSink.h"
#include "db/DbTestFiles.h"

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
    std::ofstream(path)
        << "BEGIN:VCARD\nFN:Uno\nTEL:1\nEND:VCARD\nBEGIN:VCARD\nFN:Due\nEND:VCARD\n";
    EXPECT_EQ(ImportPhonebookVcard(form, messages, path), -1);
    ASSERT_EQ(messages.Requests().size(), 1U);
    EXPECT_EQ(messages.Requests()[0].text,
              "Cannot import " + path + ": line 7: card without a telephone number");
    EXPECT_EQ(messages.Requests()[0].icon, BoxIcon::Error);
    EXPECT_EQ(form.Rows().size(), 2U);

    EXPECT_EQ(ImportPhonebookVcard(form, messages, dir.File("missing.vcf")), -1);
    EXPECT_EQ(messages.Texts().back(), "Cannot read " + dir.File("missing.vcf"));
    EXPECT_EQ(form.Rows().size(), 2U);
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
