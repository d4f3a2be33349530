#pragma once
// The rows of the SMS list: the only in-memory form of the messages read. Each row holds its
// column texts as decoded (a message's line breaks included) and, unseen, the key that links
// the parts of a long message; the list shows the text column with line breaks as spaces. Plain
// data: the window keeps one SmsList and shows it through its own item model; one thread at a time.

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

inline constexpr int kSmsNumberColumn = 0;
inline constexpr int kSmsTypeColumn = 1;
inline constexpr int kSmsStatColumn = 2;
inline constexpr int kSmsTextColumn = 3;
inline constexpr int kSmsDateColumn = 4;
inline constexpr int kSmsTimeColumn = 5;
inline constexpr int kSmsSenderColumn = 6;
inline constexpr int kSmsNameColumn = 7;
inline constexpr int kSmsScaColumn = 8;
// The nine columns the archive viewer shares.
inline constexpr int kSmsColumnCount = 9;
// The SMS list's tenth column: "k/n" for part k of a long message of n parts, else empty.
inline constexpr int kSmsPartColumn = 9;
inline constexpr int kSmsListColumnCount = 10;
// Not shown: the concatenation reference of a part ("8:<ref>" or "16:<ref>"), else empty.
inline constexpr int kSmsConcatKeyField = 10;
// Not shown: what the row is when it is no message to archive: kSmsUndecodedKind for a PDU that
// did not decode (its raw line in the text column), else empty.
inline constexpr int kSmsKindField = 11;
// Not shown: the message reference (TP-MR) a status report's row reports on, else empty.
inline constexpr int kSmsReferenceField = 12;
inline constexpr int kSmsRowFields = 13;

inline constexpr std::string_view kSmsUndecodedKind = "undecoded";
// The TYPE of a status report's row; "IN" and "OUT" are the messages'.
inline constexpr std::string_view kSmsReportType = "REPORT";

using SmsRow = std::array<std::string, kSmsRowFields>;

struct SmsColumn {
    std::string_view heading;
    int width; // pixels, left-aligned
};

// Headings and widths of the SMS list's ten columns, in column order; the archive viewer shows
// the first nine.
const std::array<SmsColumn, kSmsListColumnCount>& SmsListColumns();

// The text as the list shows it: every carriage return and line feed becomes a space.
std::string DisplayText(std::string_view text);

class SmsList {
public:
    // Puts the rows, in their order, at `position`; a position past the end appends them.
    void Insert(int position, const std::vector<SmsRow>& rows);
    void Append(const SmsRow& row) { rows.push_back(row); }
    void Clear() { rows.clear(); }

    int Count() const { return static_cast<int>(rows.size()); }
    // Valid for 0 <= index < Count().
    const SmsRow& Row(int index) const { return rows[static_cast<std::size_t>(index)]; }
    // The cell as the list shows it; empty outside the list.
    std::string DisplayCell(int index, int column) const;

private:
    std::vector<SmsRow> rows;
};
