#include "sms/MessageView.h"

#include <charconv>
#include <map>

namespace {

struct PartNumber {
    int sequence = 0;
    int total = 0;
};

// "k/n" of the PART column; nothing for an empty or malformed one.
bool ReadPart(const std::string& text, PartNumber& part) {
    const char* end = text.data() + text.size();
    const auto [slash, first] = std::from_chars(text.data(), end, part.sequence);
    if (first != std::errc{} || slash == end || *slash != '/')
        return false;
    const auto [last, second] = std::from_chars(slash + 1, end, part.total);
    return second == std::errc{} && last == end && part.total > 0 && part.total <= 255;
}

bool SameMessage(const SmsRow& a, const SmsRow& b) {
    return a[kSmsConcatKeyField] == b[kSmsConcatKeyField] &&
           a[kSmsSenderColumn] == b[kSmsSenderColumn] &&
           a[kSmsPartColumn].substr(a[kSmsPartColumn].find('/')) ==
               b[kSmsPartColumn].substr(b[kSmsPartColumn].find('/'));
}

} // namespace

MessageView MessageViewOf(const SmsRow& row) {
    return {row[kSmsSenderColumn],
            row[kSmsNameColumn],
            row[kSmsDateColumn],
            row[kSmsTimeColumn],
            row[kSmsScaColumn],
            row[kSmsTextColumn],
            {}};
}

MessageView MessageViewOf(const SmsList& list, int index) {
    if (index < 0 || index >= list.Count())
        return {};
    const SmsRow& row = list.Row(index);
    MessageView view = MessageViewOf(row);
    PartNumber part;
    if (row[kSmsConcatKeyField].empty() || !ReadPart(row[kSmsPartColumn], part))
        return view;
    // The first row of each sequence number wins: a part read twice is shown once.
    std::map<int, const std::string*> texts;
    for (int i = 0; i < list.Count(); ++i) {
        const SmsRow& other = list.Row(i);
        PartNumber number;
        if (ReadPart(other[kSmsPartColumn], number) && SameMessage(row, other))
            texts.emplace(number.sequence, &other[kSmsTextColumn]);
    }
    view.text.clear();
    for (int sequence = 1; sequence <= part.total; ++sequence) {
        const auto found = texts.find(sequence);
        view.text += found == texts.end() ? kMissingPart : *found->second;
    }
    return view;
}
