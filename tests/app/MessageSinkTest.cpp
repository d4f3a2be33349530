// Message boxes and form calls asked from a worker thread reach the user-interface thread, and
// the worker waits for the answer.
#include "app/GuiThread.h"
#include "app/QtDatabaseDialogs.h"
#include "app/QtMessageSink.h"
#include "tests/app/ModalAnswer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QThread>
#include <atomic>
#include <gtest/gtest.h>
#include <thread>

namespace {

// Runs work on a thread while the user-interface thread turns its event loop.
template <typename Work> void RunOnWorker(Work work) {
    std::atomic<bool> done = false;
    std::thread worker([&] {
        work();
        done = true;
    });
    while (!done)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    worker.join();
}

struct SeenBox {
    QString text;
    QString caption;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    bool onGuiThread = false;
};

void Answer(SeenBox& seen, QMessageBox::StandardButton button) {
    WhenModalShows([&seen, button](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (box == nullptr)
            return;
        seen = {box->text(), box->windowTitle(), box->icon(), box->standardButtons(),
                QThread::currentThread() == qApp->thread()};
        box->button(button)->click();
    });
}

TEST(QtMessageSink, WorkerGetsTheAnswerOfARealBox) {
    QtMessageSink sink;
    SeenBox seen;
    Answer(seen, QMessageBox::No);
    BoxAnswer answer = BoxAnswer::Ok;
    RunOnWorker([&] {
        answer = sink.ShowMessage({"Cannot open DB, do you want to select another file ?",
                                   "Question", BoxButtons::YesNo, BoxIcon::Question, true});
    });
    EXPECT_EQ(answer, BoxAnswer::No);
    EXPECT_EQ(seen.text, QStringLiteral("Cannot open DB, do you want to select another file ?"));
    EXPECT_EQ(seen.caption, QStringLiteral("Question"));
    EXPECT_EQ(seen.icon, QMessageBox::Question);
    EXPECT_EQ(seen.buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_TRUE(seen.onGuiThread);
}

TEST(QtMessageSink, BoxOnTheGuiThreadWithErrorIconAndEmptyCaption) {
    QtMessageSink sink;
    SeenBox seen;
    Answer(seen, QMessageBox::Ok);
    EXPECT_EQ(sink.ShowMessage({"Error opening key", "", BoxButtons::Ok, BoxIcon::Error, false}),
              BoxAnswer::Ok);
    EXPECT_EQ(seen.icon, QMessageBox::Critical);
    EXPECT_TRUE(seen.caption.isEmpty());
    Answer(seen, QMessageBox::Retry);
    EXPECT_EQ(sink.ShowMessage({"x", "Telvane", BoxButtons::RetryCancel, BoxIcon::Warning, true}),
              BoxAnswer::Retry);
    EXPECT_EQ(seen.icon, QMessageBox::Warning);
}

TEST(RunOnGuiThread, RunsOnTheGuiThreadAndReturnsItsValue) {
    QThread* ranOn = nullptr;
    int result = 0;
    RunOnWorker([&] {
        result = RunOnGuiThread([&ranOn] {
            ranOn = QThread::currentThread();
            return 42;
        });
    });
    EXPECT_EQ(result, 42);
    EXPECT_EQ(ranOn, qApp->thread());
    // On the user-interface thread itself it simply calls.
    EXPECT_EQ(RunOnGuiThread([] { return std::string("direct"); }), "direct");
}

TEST(QtDatabaseDialogs, QuestionIsAYesNoBoxAndFiltersBecomeNameFilters) {
    QtMessageSink sink;
    QtDatabaseDialogs dialogs(sink);
    SeenBox seen;
    Answer(seen, QMessageBox::Yes);
    EXPECT_TRUE(
        dialogs.AskYesNo("Cannot open DB, do you want to select another file ?", "Question"));
    EXPECT_EQ(seen.icon, QMessageBox::Question);
    EXPECT_EQ(seen.buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(ToNameFilters("Access files (*.mdb)|*.mdb|All files|*.*||"),
              QStringLiteral("Access files (*.mdb) (*.mdb);;All files (*.*)"));
    EXPECT_EQ(ToNameFilters("Logs|*.log;*.txt||"), QStringLiteral("Logs (*.log *.txt)"));
}

} // namespace
