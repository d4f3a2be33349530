#pragma once
// The search of "SMS View": which rows hold the typed text in their message, their sender's
// number or their phonebook name, case and accents ignored (see FoldForSearch). The folded texts
// are made once per listing, so each keystroke is one pass over them. Plain data, one thread.

#include "sms/SmsList.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class ArchiveSearch {
public:
    // Folds the searchable columns of the rows; replaces what was there.
    void Index(std::span<const SmsRow> rows);
    // The same, a row at a time: Clear, then Add each row in order.
    void Clear();
    void Add(const SmsRow& row);
    // A row whose text and number are already folded, apart by a zero byte (a kept search key).
    void AddFolded(std::string_view foldedTextAndSender, std::string_view name);

    // Positions (ascending) of the rows holding needle; every row for an empty needle.
    std::vector<int> Matching(std::string_view needle) const;

    int RowCount() const { return static_cast<int>(starts.size()); }

private:
    // The rows' folded texts one after the other, each row's fields and the row itself ended by
    // a zero byte so that no match runs from one into the next.
    std::string keys;
    std::vector<std::size_t> starts; // where each row's texts begin in keys
};

// The same test one row at a time, for rows that are never all held: whether the row holds the
// typed text, as Matching would find it.
class ArchiveRowFilter {
public:
    explicit ArchiveRowFilter(std::string_view typed);
    bool Holds(const SmsRow& row);
    // The same for the three searched texts of a row not yet made.
    bool Holds(std::string_view text, std::string_view sender, std::string_view name);
    // Whether an already folded text holds it.
    bool HoldsFolded(std::string_view folded) const;
    // An empty text: every row is held.
    bool HoldsEverything() const { return needle.empty() && !never; }

private:
    std::string needle; // folded
    bool never;         // a zero byte can only be typed on purpose
    std::string key;    // the row's folded texts, reused
};
