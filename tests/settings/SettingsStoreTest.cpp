#include "common/RecordingMessageSink.h"
#include "serial/settings/CSettingsStore.h"
#include "settings/SettingsTestDir.h"

#include <QFile>
#include <QSettings>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

QByteArray FileText(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

void PutFile(const QString& path, const QByteArray& text) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
}

class SettingsStoreTest : public ::testing::Test {
protected:
    void ExpectNoBox() const { EXPECT_TRUE(sink.Requests().empty()); }

    SettingsTestDir dir;
    RecordingMessageSink sink;
    CSettingsStore store{sink};
};

TEST_F(SettingsStoreTest, WritesUnderGeneralInTheUserConfigFile) {
    std::string port = "COM3:";
    store.WriteSetting("COM", port);
    std::string speed = "9600";
    store.WriteSetting("Baud", speed);

    EXPECT_EQ(SettingsFilePath(), dir.File().toStdString());
    const QByteArray text = FileText(dir.File());
    EXPECT_TRUE(text.startsWith("[General]\n")) << text.constData();
    EXPECT_TRUE(text.contains("COM=COM3:\n")) << text.constData();
    EXPECT_TRUE(text.contains("Baud=9600\n")) << text.constData();
    EXPECT_EQ(store.ReadSetting("COM"), "COM3:");
    EXPECT_EQ(store.ReadSetting("Baud"), "9600");
    EXPECT_EQ(ReadAppSetting("Baud", sink), "9600");
    ExpectNoBox();
}

TEST_F(SettingsStoreTest, AbsentValuesAndAMissingFileReadEmptyWithoutAMessage) {
    EXPECT_EQ(store.ReadSetting("COM"), "");
    EXPECT_EQ(ReadAppSetting("top", sink), "");
    std::string flow = "2";
    store.WriteSetting("Flow", flow);
    EXPECT_EQ(store.ReadSetting("Parity"), "");
    ExpectNoBox();
}

TEST_F(SettingsStoreTest, EmptyTextIsStoredAsDotAndTheCallersBufferChanges) {
    std::string text;
    store.WriteSetting("SCA", text);
    EXPECT_EQ(text, ".");
    EXPECT_EQ(store.ReadSetting("SCA"), ".");
}

TEST_F(SettingsStoreTest, ReadsAreCutToNinetyNineCharactersNotBytes) {
    std::string ascii(120, 'x');
    store.WriteSetting("RECIPIENT", ascii);
    EXPECT_EQ(ascii.size(), 120U) << "a write stores the whole text";
    EXPECT_EQ(store.ReadSetting("RECIPIENT"), std::string(99, 'x'));
    EXPECT_EQ(ReadAppSetting("RECIPIENT", sink), std::string(99, 'x'));

    std::string wide;
    for (int i = 0; i < 120; ++i)
        wide += "\xC3\xA9"; // e-acute: two bytes, one character
    store.WriteSetting("SCA", wide);
    const std::string read = store.ReadSetting("SCA");
    EXPECT_EQ(read.size(), std::size_t{99} * 2);
    EXPECT_EQ(read, wide.substr(0, std::size_t{99} * 2));

    std::string astral = std::string(98, 'a') + "\xF0\x9F\x98\x80" + "b"; // 100 characters
    store.WriteSetting("CLASS", astral);
    EXPECT_EQ(store.ReadSetting("CLASS"), std::string(98, 'a') + "\xF0\x9F\x98\x80");
}

TEST_F(SettingsStoreTest, TextsComeBackExactlyAsWritten) {
    const std::vector<std::string> texts = {"a,b",    "1, 2, 3", "@Variant(x)", "key=value;x",
                                            " 9600 ", "\"q\"",   "back\\slash", "COM1:"};
    for (const std::string& original : texts) {
        std::string text = original;
        store.WriteSetting("RECIPIENT", text);
        EXPECT_EQ(store.ReadSetting("RECIPIENT"), original);
    }
    ExpectNoBox();
}

TEST_F(SettingsStoreTest, EveryReadGoesToTheFile) {
    std::string speed = "9600";
    store.WriteSetting("Baud", speed);
    EXPECT_EQ(store.ReadSetting("Baud"), "9600");
    PutFile(dir.File(), "[General]\nBaud=19200\nData=7\n");
    EXPECT_EQ(store.ReadSetting("Baud"), "19200");
    EXPECT_EQ(store.ReadSetting("Data"), "7");
    ASSERT_TRUE(QFile::remove(dir.File()));
    EXPECT_EQ(store.ReadSetting("Baud"), "");
}

// A write goes to a new file that then replaces the old one: a link to the old file keeps the
// old text, so no reader ever sees a half-written file.
TEST_F(SettingsStoreTest, AWriteReplacesTheFileInsteadOfRewritingIt) {
    std::string old = "COM1:";
    store.WriteSetting("COM", old);
    const QString link = dir.Root() + "/old.ini";
    ASSERT_EQ(
        ::link(QFile::encodeName(dir.File()).constData(), QFile::encodeName(link).constData()), 0);
    std::string fresh = "COM2:";
    store.WriteSetting("COM", fresh);
    EXPECT_TRUE(FileText(link).contains("COM=COM1:"));
    EXPECT_EQ(store.ReadSetting("COM"), "COM2:");
}

// A writer killed at arbitrary moments never leaves a file without the values written before.
TEST_F(SettingsStoreTest, AWriterKilledMidWriteLeavesAWholeFile) {
    std::string port = "COM4:";
    store.WriteSetting("COM", port);
    for (int round = 0; round < 10; ++round) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            RecordingMessageSink childSink;
            CSettingsStore childStore(childSink);
            for (int i = 0;; ++i) {
                std::string text(90, static_cast<char>('a' + i % 26));
                childStore.WriteSetting("RECIPIENT", text);
            }
        }
        usleep(static_cast<useconds_t>(2000 + round * 1500));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_EQ(store.ReadSetting("COM"), "COM4:") << "round " << round;
        const std::string recipient = store.ReadSetting("RECIPIENT");
        EXPECT_TRUE(recipient.empty() || recipient.size() == 90) << recipient;
    }
    ExpectNoBox();
}

class SettingsStoreFailureTest : public SettingsStoreTest {
protected:
    void ExpectOpenErrorBoxes(std::size_t count) const {
        const auto requests = sink.Requests();
        ASSERT_EQ(requests.size(), count);
        for (const auto& request : requests) {
            EXPECT_EQ(request.text, "Error opening key");
            EXPECT_EQ(request.caption, "Telvane");
            EXPECT_EQ(request.buttons, BoxButtons::Ok);
            EXPECT_EQ(request.icon, BoxIcon::None);
            EXPECT_TRUE(request.owned);
        }
    }
};

TEST_F(SettingsStoreFailureTest, DirectoryInPlaceOfTheFile) {
    ASSERT_TRUE(QDir().mkpath(dir.File()));
    std::string text = "COM2:";
    store.WriteSetting("COM", text);
    EXPECT_EQ(store.ReadSetting("COM"), "");
    ExpectOpenErrorBoxes(2);
    EXPECT_TRUE(QFileInfo(dir.File()).isDir());
}

TEST_F(SettingsStoreFailureTest, FileInPlaceOfTheFolder) {
    PutFile(dir.Folder(), "not a folder");
    std::string text;
    store.WriteSetting("Baud", text);
    EXPECT_EQ(text, ".") << "the empty text is replaced before the key is opened";
    EXPECT_EQ(store.ReadSetting("Baud"), "");
    ExpectOpenErrorBoxes(2);
    EXPECT_EQ(FileText(dir.Folder()), "not a folder");
}

TEST_F(SettingsStoreFailureTest, AppReadBoxHasNoOwnerNoCaptionAndTheErrorIcon) {
    ASSERT_TRUE(QDir().mkpath(dir.File()));
    EXPECT_EQ(ReadAppSetting("left", sink), "");
    const auto requests = sink.Requests();
    ASSERT_EQ(requests.size(), 1U);
    EXPECT_EQ(requests[0].text, "Error opening key");
    EXPECT_EQ(requests[0].caption, "");
    EXPECT_EQ(requests[0].buttons, BoxButtons::Ok);
    EXPECT_EQ(requests[0].icon, BoxIcon::Error);
    EXPECT_FALSE(requests[0].owned);
}

} // namespace
