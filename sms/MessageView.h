#pragma once
// What the read-only message view shows for a row of the SMS list or of the archive viewer: the
// sender with the phonebook's name, date and time, service centre, and the whole text. Plain
// data and pure functions, any thread.

#include "sms/SmsList.h"

#include <string>
#include <vector>

// Stands for each part of a long message that the list does not hold.
inline constexpr const char* kMissingPart = "[...]";

struct MessageView {
    std::string sender;
    std::string name;
    std::string date;
    std::string time;
    std::string sca;
    std::string text;
    // The delivery state of each part of a sent message, where reports were asked for
    // ("Part 1/2: delivered 12/09/26 18:20:10"); empty otherwise. Filled by AddDeliveryLines.
    std::vector<std::string> delivery;
};

// The row as it is: its own text (the archive's rows hold the text as archived).
MessageView MessageViewOf(const SmsRow& row);

// Row `index` of the list. For a part of a long message the text is every part of the same
// sender and reference that the list holds, joined in sequence order, with kMissingPart for each
// part it lacks. An index outside the list gives an empty view.
MessageView MessageViewOf(const SmsList& list, int index);
