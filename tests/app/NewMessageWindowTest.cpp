// New messages in the window against the phone simulator: the phone set to tell them when the
// session opens, a message arriving while idle listed and notified on a private D-Bus session
// bus, arrivals during a read served after it, "Archive new messages" with "Move", and a phone
// that refuses to tell.
#include "db/CDaoSMS_In.h"
#include "db/DbTestFiles.h"
#include "modemmanager/ChildProcess.h"
#include "res/form/FormControls.h"
#include "tests/app/PhoneWindow.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QLineEdit>
#include <QStatusBar>
#include <QTableView>
#include <algorithm>
#include <cstdlib>
#include <map>

namespace {

// SMS-DELIVER from +393471234567, "Ci vediamo domani alle 10?".
constexpr std::string_view kDeliverPdu =
    "0791447700090010040C919343173254760000423041900350401AC334C85E26A7C3ED3788FC6E87DD695098CD2"
    "E8362B01F";

// org.freedesktop.Notifications on a private bus: records each Notify's summary and body.
class FakeNotificationServer : public QDBusVirtualObject {
public:
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        if (message.member() != QStringLiteral("Notify") || message.arguments().size() != 8)
            return false;
        notices.push_back({message.arguments().at(3).toString().toStdString(),
                           message.arguments().at(4).toString().toStdString()});
        connection.send(message.createReply(QVariant::fromValue(uint(notices.size()))));
        return true;
    }
    QString introspect(const QString& /*path*/) const override { return {}; }

    std::vector<std::pair<std::string, std::string>> notices;
};

class NewMessageWindowTest : public PhoneWindowTest {
protected:
    static PhoneSimOptions Options(const std::string& fixture) {
        PhoneSimOptions options{fixture};
        options.arrivals = true;
        return options;
    }

    void Open(const PhoneSim& phone) {
        Start(phone, true);
        ToggleSession();
        ASSERT_TRUE(view->Listener().Ended() == false) << "listening";
    }

    // "Archive new messages" and "Move (erase from phone)" checked, then the session opened.
    void OpenArchivingWithMove(const PhoneSim& phone) {
        Start(phone, true);
        frame->Action(kCmdArchiveNewMessages)->setChecked(true);
        qobject_cast<QAbstractButton*>(view->Control(kMoveCheckId))->setChecked(true);
        ToggleSession();
    }

    Texts Column(int column) const {
        const auto* list = qobject_cast<QTableView*>(view->Control(kSmsListId));
        Texts texts;
        for (int row = 0; row < list->model()->rowCount(); ++row)
            texts.push_back(list->model()->index(row, column).data().toString().toStdString());
        return texts;
    }
    int Rows() const {
        return qobject_cast<QTableView*>(view->Control(kSmsListId))->model()->rowCount();
    }
    std::string Status() const { return frame->statusBar()->currentMessage().toStdString(); }
    static long Count(const Texts& texts, const std::string& text) {
        return std::ranges::count(texts, text);
    }
    static Texts Starting(const PhoneSim& phone, std::string_view prefix) {
        Texts found;
        for (const std::string& line : phone.Received())
            if (line.starts_with(prefix))
                found.push_back(line);
        return found;
    }
    std::vector<std::pair<std::string, std::string>> ArchivedIn() const {
        std::vector<std::pair<std::string, std::string>> rows;
        CDaoSMS_In in(&view->database);
        if (!in.Open(dbOpenDynaset, "SELECT * FROM SMS_IN", dbSeeChanges))
            return rows;
        for (; !in.IsEOF(); in.MoveNext())
            rows.emplace_back(in.Mittente, in.Messaggio);
        return rows;
    }
    std::string Database() const {
        return (std::filesystem::current_path() / "telvane.mdb").string();
    }
};

TEST_F(NewMessageWindowTest, TheSessionAsksWhatThePhoneOffersAfterPduMode) {
    PhoneSim phone(Options(""));
    Open(phone);
    const Texts received = phone.Received();
    ASSERT_GE(received.size(), 4u);
    EXPECT_EQ(Texts(received.begin(), received.begin() + 4),
              (Texts{"ATE0", "AT+CMGF=0", "AT+CNMI=?", "AT+CNMI=2,1,0,1,0"}));
    EXPECT_TRUE(frame->Action(kCmdNotifyNewMessages)->isChecked());
}

TEST_F(NewMessageWindowTest, AMessageArrivingWhileIdleIsListedNamedAndNotified) {
    if (std::system("command -v dbus-daemon >/dev/null") != 0)
        GTEST_SKIP() << "dbus-daemon is not installed";
    ChildProcess bus({"dbus-daemon", "--session", "--nofork", "--print-address"});
    const std::string address = bus.FirstLine();
    ASSERT_FALSE(address.empty());
    ::setenv("DBUS_SESSION_BUS_ADDRESS", address.c_str(), 1);
    QDBusConnection server =
        QDBusConnection::connectToBus(QString::fromStdString(address), QStringLiteral("fake"));
    ASSERT_TRUE(server.isConnected());
    FakeNotificationServer notifications;
    ASSERT_TRUE(server.registerVirtualObject(QStringLiteral("/org/freedesktop/Notifications"),
                                             &notifications));
    ASSERT_TRUE(server.registerService(QStringLiteral("org.freedesktop.Notifications")));

    PhoneSim phone(Options("capacity SM 10\n"));
    Open(phone);
    ASSERT_TRUE(phone.Arrive(std::string(kDeliverPdu)));
    const auto arrived = std::chrono::steady_clock::now();
    ASSERT_TRUE(RunUntil([this] { return Rows() == 1 && !Status().empty(); }, 5000));
    EXPECT_LT(std::chrono::steady_clock::now() - arrived, std::chrono::seconds(2));
    EXPECT_EQ(Column(kSmsTextColumn), Texts{"Ci vediamo domani alle 10?"});
    EXPECT_EQ(Column(kSmsNumberColumn), Texts{"1"}) << "the memory index";
    EXPECT_EQ(Status(), "New message from +393471234567");
    ASSERT_TRUE(RunUntil([&] { return !notifications.notices.empty(); }, 5000));
    EXPECT_EQ(notifications.notices.front(),
              (std::pair<std::string, std::string>{"New message from +393471234567",
                                                   "Ci vediamo domani alle 10?"}));
    // Read where it was told, the memory left as it was, nothing erased.
    EXPECT_EQ(Starting(phone, "AT+CMGR"), Texts{"AT+CMGR=1"});
    EXPECT_EQ(Starting(phone, "AT+CMGD"), Texts{});
    server.unregisterService(QStringLiteral("org.freedesktop.Notifications"));
    QDBusConnection::disconnectFromBus(QStringLiteral("fake"));
    ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
}

TEST_F(NewMessageWindowTest, TwentyArrivingDuringAThirtyMessageReadAreAllListedOnceAfterIt) {
    std::string fixture = "capacity SM 60\n";
    for (int index = 1; index <= 30; ++index)
        fixture += "sms SM " + std::to_string(index) + " 1 " + std::string(kDeliverPdu) + "\n";
    PhoneSim phone(Options(fixture));
    Open(phone);
    const auto* count = qobject_cast<QLineEdit*>(view->Control(kSimCountEditId));
    ASSERT_EQ(count->text().trimmed(), QStringLiteral("30"));
    qobject_cast<QAbstractButton*>(view->Control(kReadSmsButtonId))->click();
    // The event loop turns meanwhile: the read's form calls are served on it.
    ASSERT_TRUE(RunUntil([&] { return Count(phone.Received(), "AT+CMGR=5") > 0; }, 10000));
    ASSERT_TRUE(phone.Arrive("20"));
    ASSERT_TRUE(RunUntil([this] { return view->busy == 0 && Rows() >= 50; }, 60000));
    ASSERT_TRUE(RunUntil([this] { return view->Listener().Listed() == 20; }, 10000));
    const Texts texts = Column(kSmsTextColumn);
    EXPECT_EQ(texts.size(), 50u);
    EXPECT_EQ(Count(texts, "Ci vediamo domani alle 10?"), 30);
    for (int n = 1; n <= 20; ++n)
        EXPECT_EQ(Count(texts, "New message " + std::to_string(n)), 1) << n;
    // The read's own walk and count stand: 30 reads of 1..30, then one read per arrival.
    EXPECT_EQ(count->text().trimmed(), QStringLiteral("30"));
    const Texts reads = Starting(phone, "AT+CMGR");
    ASSERT_EQ(reads.size(), 50u);
    EXPECT_EQ(reads.at(29), "AT+CMGR=30");
    EXPECT_EQ(reads.at(49), "AT+CMGR=50");
}

TEST_F(NewMessageWindowTest, ArchivedWithMoveIsStoredThenErased) {
    PhoneSim phone(Options("capacity SM 10\n"));
    OpenArchivingWithMove(phone);
    const auto before = ArchivedIn();
    ASSERT_TRUE(phone.Arrive(std::string(kDeliverPdu)));
    ASSERT_TRUE(RunUntil([&] { return Count(phone.Received(), "AT+CMGD=1") > 0; }, 5000))
        << testing::PrintToString(phone.Received()) << Status();
    ASSERT_TRUE(RunUntil([this] { return view->Listener().Listed() == 1; }, 5000));
    auto after = ArchivedIn();
    ASSERT_EQ(after.size(), before.size() + 1);
    EXPECT_EQ(after.back(),
              (std::pair<std::string, std::string>{"+393471234567", "Ci vediamo domani alle 10?"}));
    // Erased after it was stored: the read of index 1 comes before the erase.
    const Texts received = phone.Received();
    EXPECT_LT(std::ranges::find(received, "AT+CMGR=1"), std::ranges::find(received, "AT+CMGD=1"));
}

TEST_F(NewMessageWindowTest, ARefusedCommitErasesNothingAndSaysSo) {
    ASSERT_TRUE(RunSql(Database(), "CREATE TRIGGER full BEFORE INSERT ON SMS_In BEGIN "
                                   "SELECT RAISE(ABORT, 'database or disk is full'); END"));
    PhoneSim phone(Options("capacity SM 10\n"));
    OpenArchivingWithMove(phone);
    const auto before = ArchivedIn();
    ASSERT_TRUE(phone.Arrive("1"));
    ASSERT_TRUE(RunUntil([this] { return Status().starts_with("New message not archived"); }, 5000))
        << Status();
    EXPECT_NE(Status().find("full"), std::string::npos) << Status();
    EXPECT_EQ(Rows(), 1) << "listed all the same";
    EXPECT_EQ(ArchivedIn().size(), before.size());
    RunUntil([] { return false; }, 300);
    EXPECT_EQ(Starting(phone, "AT+CMGD"), Texts{});
    frame->close();
    RunSql(Database(), "DROP TRIGGER full");
}

TEST_F(NewMessageWindowTest, APhoneThatRefusesIsToldOnceAndTheSessionGoesOn) {
    PhoneSim phone(Options("reply AT+CNMI=? ERROR\n"));
    Start(phone, true);
    ToggleSession();
    EXPECT_TRUE(view->Listener().Ended()) << "nothing to listen for";
    EXPECT_EQ(Starting(phone, "AT+CNMI"), Texts{"AT+CNMI=?"});
    EXPECT_EQ(Starting(phone, "AT+CPMS"), (Texts{R"(AT+CPMS="SM")", R"(AT+CPMS="ME")"}));
    EXPECT_TRUE(boxes.empty());
}

TEST_F(NewMessageWindowTest, TheCheckItemsAreKeptInTheSettings) {
    PhoneSim phone(Options(""));
    Start(phone, true);
    frame->Action(kCmdNotifyNewMessages)->setChecked(false);
    frame->Action(kCmdArchiveNewMessages)->setChecked(true);
    RecordingMessageSink recorder;
    CSettingsStore store(recorder);
    EXPECT_EQ(store.ReadSetting("NotifyNewMessages"), "0");
    EXPECT_EQ(store.ReadSetting("ArchiveNewMessages"), "1");
    // Off: the session is today's, and an arrival is only stored by the phone.
    ToggleSession();
    EXPECT_EQ(phone.Received(), (Texts{"ATE0", "AT+CMGF=0", R"(AT+CPMS="SM")", R"(AT+CPMS="ME")"}));
    ASSERT_TRUE(phone.Arrive("1"));
    RunUntil([] { return false; }, 300);
    EXPECT_EQ(Rows(), 0);
    EXPECT_EQ(phone.Received().size(), 4u);
}

} // namespace
