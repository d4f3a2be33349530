#pragma once
// A test fixture for the application against the phone simulator: points the stored port
// settings at the simulator, starts the application, and turns its event loop until something
// has happened, answering every message box meanwhile (from a timer: a box runs its own loop)
// with the prepared answers, or its accepting button when none is left.

#include "app/CMainFrame.h"
#include "app/CTelvaneApp.h"
#include "app/CTelvaneView.h"
#include "common/PhoneSim.h"
#include "common/RecordingMessageSink.h"
#include "res/form/MenuTable.h"
#include "serial/settings/CSettingsStore.h"
#include "tests/app/SettingsFolder.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <chrono>
#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

class PhoneWindowTest : public testing::Test {
protected:
    using Texts = std::vector<std::string>;

    PhoneWindowTest() {
        // Always on: a box may also come from a click the test makes outside RunUntil.
        QObject::connect(&answerer, &QTimer::timeout, [this] { AnswerModal(); });
        answerer.start(20);
    }

    // "Notify new messages" is left off unless asked for: the session is then the one the
    // window has always had.
    void Start(const PhoneSim& phone, bool notifyNew = false) {
        RecordingMessageSink recorder;
        CSettingsStore store(recorder);
        for (auto [name, text] : std::vector<std::pair<const char*, std::string>>{
                 {"COM", phone.LinkPath()},
                 {"Baud", "115200"},
                 {"Data", "8"},
                 {"Parity", "0"},
                 {"Flow", "0"},
                 {"NotifyNewMessages", notifyNew ? "1" : "0"}})
            store.WriteSetting(name, text);
        ASSERT_TRUE(app.InitInstance());
        frame = app.MainFrame();
        view = frame->View();
    }

    // Turns the event loop, answering boxes, until done() holds; false after timeoutMs.
    bool RunUntil(const std::function<bool()>& done, int timeoutMs = 15000) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        bool held = done();
        while (!held && std::chrono::steady_clock::now() < end) {
            QApplication::processEvents(QEventLoop::AllEvents, 10);
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
            held = done();
        }
        return held;
    }

    // Triggers "Open COM" and waits until the session has opened or closed and the task that
    // opening starts has ended.
    void ToggleSession() {
        bool done = false;
        const auto connection =
            QObject::connect(view, &CTelvaneView::sessionTaskDone, [&done](bool) { done = true; });
        frame->Action(kCmdOpenCom)->trigger();
        const bool finished = RunUntil([&done] { return done; });
        QObject::disconnect(connection);
        ASSERT_TRUE(finished);
        // An opened session asks the message counts on the reader's thread; a task started
        // before they have come back would be refused.
        ASSERT_TRUE(RunUntil([this] { return !view->Session().PortTaken(); }));
    }

    // The phone's command lines that start so.
    static Texts Starting(const PhoneSim& phone, std::string_view prefix) {
        Texts found;
        for (const std::string& line : phone.Received())
            if (line.starts_with(prefix))
                found.push_back(line);
        return found;
    }

    // The next boxes are answered with these buttons, in order.
    void QueueAnswer(QMessageBox::StandardButton button) { answers.push_back(button); }

    // A modal window that is no message box goes to this (which must close it).
    std::function<void(QWidget*)> onDialog;

    SettingsFolder folder;
    CTelvaneApp app;
    CMainFrame* frame = nullptr;
    CTelvaneView* view = nullptr;
    Texts boxes;

private:
    void AnswerModal() {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr)
            return;
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (box == nullptr) {
            if (onDialog)
                onDialog(modal);
            return;
        }
        boxes.push_back(box->text().toStdString());
        QAbstractButton* button = nullptr;
        if (!answers.empty()) {
            button = box->button(answers.front());
            answers.pop_front();
        }
        for (QAbstractButton* candidate : box->buttons()) {
            const auto role = box->buttonRole(candidate);
            if (button == nullptr &&
                (role == QMessageBox::AcceptRole || role == QMessageBox::YesRole))
                button = candidate;
        }
        if (button == nullptr)
            button = box->buttons().value(0);
        if (button != nullptr)
            button->click();
    }

    QTimer answerer;
    std::deque<QMessageBox::StandardButton> answers;
};
