// The warning box of the memory and range commands, and what the user's answer means.

#include "phonebook/ShowReplyError.h"

#include "common/RecordingMessageSink.h"
#include "serial/CModemSession.h"

#include <gtest/gtest.h>

namespace {

TEST(ShowReplyErrorTest, ErrorAsksAbortRetryIgnoreAndOnlyRetryCounts) {
    RecordingMessageSink sink;
    sink.QueueAnswer(BoxAnswer::Retry);
    sink.QueueAnswer(BoxAnswer::Abort);
    sink.QueueAnswer(BoxAnswer::Ignore);
    EXPECT_EQ(ShowReplyError(sink, kAnswerError), 1);
    EXPECT_EQ(ShowReplyError(sink, kAnswerError), 0);
    EXPECT_EQ(ShowReplyError(sink, kAnswerError), 0);
    const MessageBoxRequest box = sink.Requests().at(0);
    EXPECT_EQ(box.text, "ERROR ricevuto!");
    EXPECT_EQ(box.caption, "ATTENZIONE");
    EXPECT_EQ(box.buttons, BoxButtons::AbortRetryIgnore);
    EXPECT_EQ(box.icon, BoxIcon::Error);
}

TEST(ShowReplyErrorTest, TimeoutAsksRetryCancel) {
    RecordingMessageSink sink;
    sink.QueueAnswer(BoxAnswer::Retry);
    sink.QueueAnswer(BoxAnswer::Cancel);
    EXPECT_EQ(ShowReplyError(sink, kAnswerTimeout), 1);
    EXPECT_EQ(ShowReplyError(sink, kAnswerTimeout), 0);
    const MessageBoxRequest box = sink.Requests().at(0);
    EXPECT_EQ(box.text, "TIMEOUT, nessun dato ricevuto");
    EXPECT_EQ(box.caption, "ATTENZIONE");
    EXPECT_EQ(box.buttons, BoxButtons::RetryCancel);
    EXPECT_EQ(box.icon, BoxIcon::Error);
}

TEST(ShowReplyErrorTest, OkShowsNothing) {
    RecordingMessageSink sink;
    EXPECT_EQ(ShowReplyError(sink, kAnswerOk), 0);
    EXPECT_TRUE(sink.Requests().empty());
}

} // namespace
