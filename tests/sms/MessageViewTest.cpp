// The message view's text for rows of the SMS list: which parts belong together.

#include "sms/MessageView.h"

#include <gtest/gtest.h>

namespace {

SmsRow Part(std::string sender, std::string key, std::string part, std::string text) {
    SmsRow row;
    row[kSmsSenderColumn] = std::move(sender);
    row[kSmsConcatKeyField] = std::move(key);
    row[kSmsPartColumn] = std::move(part);
    row[kSmsTextColumn] = std::move(text);
    return row;
}

TEST(MessageView, JoinsOnlyPartsOfTheSameSenderReferenceAndLength) {
    SmsList list;
    list.Insert(0, {Part("+39111", "8:7", "2/2", "B"), Part("+39222", "8:7", "1/2", "x"),
                    Part("+39111", "16:7", "1/2", "y"), Part("+39111", "8:7", "1/3", "z"),
                    Part("+39111", "8:7", "1/2", "A"), Part("+39111", "8:7", "2/2", "again")});
    EXPECT_EQ(MessageViewOf(list, 0).text, "AB") << "a part read twice counts once";
    EXPECT_EQ(MessageViewOf(list, 4).text, "AB");
    EXPECT_EQ(MessageViewOf(list, 1).text, "x[...]");
    EXPECT_EQ(MessageViewOf(list, 2).text, "y[...]");
    EXPECT_EQ(MessageViewOf(list, 3).text, "z[...][...]");
    EXPECT_EQ(MessageViewOf(list, 6).text, "");
}

TEST(MessageView, ARowWithoutPartShowsItsOwnTextAndFields) {
    SmsRow row;
    row[kSmsSenderColumn] = "+39111";
    row[kSmsNameColumn] = "Anna";
    row[kSmsDateColumn] = "29/03/99";
    row[kSmsTimeColumn] = "15:16.59 (8)";
    row[kSmsScaColumn] = "+12345678901";
    row[kSmsTextColumn] = "ciao";
    row[kSmsPartColumn] = "1/2"; // an archived text has no reference: shown as it is
    SmsList list;
    list.Append(row);
    const MessageView view = MessageViewOf(list, 0);
    EXPECT_EQ(view.text, "ciao");
    EXPECT_EQ(view.name, "Anna");
    EXPECT_EQ(view.sca, "+12345678901");
    EXPECT_EQ(view.time, "15:16.59 (8)");
}

} // namespace
