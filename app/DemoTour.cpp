#include "app/DemoTour.h"

#include "app/CMainFrame.h"
#include "app/CTelvaneView.h"
#include "app/TabScreenshots.h"
#include "res/form/FormControls.h"
#include "sms/send/IWriteSmsForm.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QTimer>
#include <cstdio>
#include <functional>
#include <memory>

namespace {

constexpr int kPollMs = 100;
constexpr int kStepLimitMs = 240000; // a phonebook read asks every position of the SIM
constexpr const char* kDemoRecipient = "+393471234567";
constexpr const char* kDemoText = "Hello from Telvane: this message was composed in the demo.";

class DemoTour : public QObject {
public:
    DemoTour(CMainFrame& mainFrame, const QDir& pictures)
        : QObject(&mainFrame), frame(mainFrame), view(*mainFrame.View()), folder(pictures) {}

    void Start() {
        folder.mkpath(QStringLiteral("."));
        ShowWholeForm(frame);
        std::printf("Demo: opening the session on the simulator\n");
        connect(&view, &CTelvaneView::sessionTaskDone, this, [this](bool opened) {
            // The first tab's message counts are read first; the read waits for the port.
            if (opened)
                WaitFor([this] { return PortFree(); }, [this] { ReadSms(); });
        });
        view.OnOpenCom();
    }

private:
    bool PortFree() { return !view.Session().PortTaken() && view.busy == 0; }

    void Click(int id) const {
        if (auto* button = qobject_cast<QAbstractButton*>(view.Control(id)))
            button->click();
    }

    // Calls `next` once `done` holds, or ends the tour when it does not within the limit.
    void WaitFor(std::function<bool()> done, std::function<void()> next) {
        auto* timer = new QTimer(this);
        auto waited = std::make_shared<int>(0);
        connect(timer, &QTimer::timeout, this, [this, timer, waited, done, next] {
            *waited += kPollMs;
            if (!done() && *waited < kStepLimitMs)
                return;
            timer->deleteLater();
            if (*waited >= kStepLimitMs) {
                std::fprintf(stderr, "Demo: a step did not end in time\n");
                Finish(false);
                return;
            }
            next();
        });
        timer->start(kPollMs);
    }

    bool Save(const char* name) {
        QApplication::processEvents();
        const bool saved = SaveScreenshot(frame, folder, QString::fromLatin1(name));
        ok = saved && ok;
        return saved;
    }

    void ReadSms() {
        std::printf("Demo: reading the messages of the SIM\n");
        // The session opens on this tab; selecting it again would ask the counts again.
        Click(kReadSimRadioId);
        Click(kReadSmsButtonId);
        WaitFor([this] { return PortFree(); }, [this] { WriteSms(); });
    }

    void WriteSms() {
        Save("read-sms.png");
        view.OnJumpTo(1);
        if (auto* recipient = qobject_cast<QComboBox*>(view.Control(kRecipientComboId)))
            recipient->setEditText(QString::fromLatin1(kDemoRecipient));
        if (auto* text = qobject_cast<QPlainTextEdit*>(view.Control(kSmsTextEditId)))
            text->setPlainText(QString::fromLatin1(kDemoText));
        Save("write-sms.png");
        ReadPhonebook();
    }

    void ReadPhonebook() {
        std::printf("Demo: reading the phonebook of the SIM (every position: about a minute)\n");
        view.OnJumpTo(2);
        Click(kPhonebookSimRadioId);
        Click(kReadNamesButtonId);
        WaitFor([this] { return !view.Phonebook().Reading() && PortFree(); },
                [this] { Finish(Save("phonebook.png")); });
    }

    void Finish(bool saved) {
        ok = saved && ok;
        frame.close();
        QApplication::exit(ok ? 0 : 1);
    }

    CMainFrame& frame;
    CTelvaneView& view;
    QDir folder;
    bool ok = true;
};

} // namespace

void StartDemoTour(CMainFrame& frame, const QDir& folder) {
    (new DemoTour(frame, folder))->Start();
}
