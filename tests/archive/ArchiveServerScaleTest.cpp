// The archive viewer on a server database against the same viewer on the file holding the same
// rows: a generated archive of several thousand realistic messages, copied into a new server
// database, must list, search (with the index built in the background and its keys kept) and
// export exactly the same rows on both.

#include "ArchiveGenerator.h"
#include "ServerArchiveCopy.h"
#include "archive/ArchiveListModel.h"
#include "archive/CSmsArchiveDlg.h"
#include "common/RecordingMessageSink.h"
#include "db/CDaoDatabase.h"
#include "db/DbTestFiles.h"
#include "db/PgTestServer.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <sstream>

namespace {

// Enough rows for several walk batches and one "zeppelin", few enough to stay quick.
constexpr long kMessages = 7'000;

std::string FileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// One engine's viewer on both tables, its index built in the background as a large archive's is.
struct Viewer {
    explicit Viewer(const std::string& name) {
        opened = database.Open(name, true, false);
        dialog = std::make_unique<CSmsArchiveDlg>(&database, nullptr, &sink);
        model = dialog->findChild<ArchiveListModel*>();
        model->SetBackgroundFrom(1'000);
        dialog->findChild<QCheckBox*>(QStringLiteral("control1104"))->click();
        QApplication::processEvents();
    }
    std::vector<SmsRow> Search(const QString& text) {
        dialog->SearchField()->setText(text);
        model->FinishSearch();
        return model->ShownRows();
    }

    CDaoDatabase database;
    RecordingMessageSink sink;
    bool opened = false;
    std::unique_ptr<CSmsArchiveDlg> dialog;
    ArchiveListModel* model = nullptr;
};

class ArchiveServerScaleTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        dir = std::make_unique<TempDir>();
        file = dir->File("generated.mdb");
        generated = GenerateArchive(ShippedDatabase(), file, kMessages);
        server = std::make_unique<PgTestDatabase>();
        if (generated.empty() && server->Ready())
            copied = CopyArchiveToServer(file, server->Uri());
    }
    static void TearDownTestSuite() {
        server.reset();
        dir.reset();
    }
    void SetUp() override {
        SKIP_WITHOUT_SERVER(*server);
        ASSERT_EQ(generated, "");
        ASSERT_EQ(copied, "");
    }

    // The rows of both engines, the same in number, order and every cell.
    static void ExpectSameRows(const std::vector<SmsRow>& onFile,
                               const std::vector<SmsRow>& onServer, const std::string& what) {
        ASSERT_EQ(onFile.size(), onServer.size()) << what;
        for (std::size_t i = 0; i < onFile.size(); ++i)
            ASSERT_EQ(onFile[i], onServer[i]) << what << ": row " << i;
    }

    static inline std::unique_ptr<TempDir> dir;
    static inline std::unique_ptr<PgTestDatabase> server;
    static inline std::string file;
    static inline std::string generated;
    static inline std::string copied;
};

TEST_F(ArchiveServerScaleTest, BothTablesListTheSameRowsWithTheirNames) {
    Viewer onFile(file);
    Viewer onServer(server->Uri());
    ASSERT_TRUE(onFile.opened && onServer.opened);
    const std::vector<SmsRow> rows = onFile.model->ShownRows();
    ASSERT_EQ(rows.size(), static_cast<std::size_t>(kMessages));
    ExpectSameRows(rows, onServer.model->ShownRows(), "every row");
    // Received rows first, then sent ones, each with the phonebook's name where it has one.
    EXPECT_EQ(rows.front()[kSmsTypeColumn], "IN");
    EXPECT_EQ(rows.back()[kSmsTypeColumn], "Out");
    EXPECT_TRUE(
        std::ranges::any_of(rows, [](const SmsRow& row) { return !row[kSmsNameColumn].empty(); }));
    EXPECT_EQ(onServer.sink.Texts(), std::vector<std::string>{});
}

// Folded words of each script, a number (the second part of each kept key), a phonebook name and
// a rare word; then a second viewer, which reads the keys the first one kept.
TEST_F(ArchiveServerScaleTest, SearchesFindTheSameRowsFromTheKeysTheServerKeeps) {
    const QStringList words = {QStringLiteral("citta"),     QStringLiteral("strasse"),
                               QStringLiteral("αθηνα"),     QStringLiteral("ПРИВЕТ"),
                               QStringLiteral("+39347120"), QStringLiteral("niccolo"),
                               QStringLiteral("#4242"),     QStringLiteral("zeppelin")};
    {
        Viewer onFile(file);
        Viewer onServer(server->Uri());
        for (const QString& word : words) {
            const std::vector<SmsRow> found = onFile.Search(word);
            EXPECT_FALSE(found.empty()) << word.toStdString();
            ExpectSameRows(found, onServer.Search(word), word.toStdString());
        }
        EXPECT_EQ(onFile.Search(QStringLiteral("zeppelin")).size(), 1U);
    }
    // The keys were kept for every row of both tables, not folded again at each search.
    EXPECT_EQ(server->Count("SELECT count(*) FROM sms_in_searchkey"),
              server->Count("SELECT count(*) FROM sms_in"));
    EXPECT_EQ(server->Count("SELECT count(*) FROM sms_out_searchkey"),
              server->Count("SELECT count(*) FROM sms_out"));
    // A message archived since: its key joins those kept.
    const std::string added = "INSERT INTO SMS_In (SCA, Mittente, DateTime, Messaggio) VALUES "
                              "('+39335', '+39333999', '2024-03-29 15:16:59', 'Dirigibile!')";
    ASSERT_TRUE(RunSql(file, added));
    ASSERT_TRUE(server->Run(added));
    Viewer again(server->Uri());
    Viewer againOnFile(file);
    for (const QString& word :
         {QStringLiteral("+39347120"), QStringLiteral("strasse"), QStringLiteral("dirigibile")})
        ExpectSameRows(againOnFile.Search(word), again.Search(word), word.toStdString());
    EXPECT_EQ(again.Search(QStringLiteral("dirigibile")).size(), 1U);
    EXPECT_EQ(server->Count("SELECT count(*) FROM sms_in_searchkey"),
              server->Count("SELECT count(*) FROM sms_in"));
}

TEST_F(ArchiveServerScaleTest, ExportsOfASearchAndOfEveryRowAreTheSameFiles) {
    Viewer onFile(file);
    Viewer onServer(server->Uri());
    for (const QString& word : {QStringLiteral("strasse"), QString()}) {
        onFile.Search(word);
        onServer.Search(word);
        const std::string fromFile = dir->File("file.csv");
        const std::string fromServer = dir->File("server.csv");
        std::filesystem::remove(fromFile);
        std::filesystem::remove(fromServer);
        const int written = onFile.dialog->ExportTo(fromFile);
        EXPECT_GT(written, 0);
        EXPECT_EQ(onServer.dialog->ExportTo(fromServer), written);
        EXPECT_EQ(FileText(fromFile), FileText(fromServer)) << word.toStdString();
    }
}

} // namespace
