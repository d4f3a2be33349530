#pragma once
// The command line's output written as the rows come, so a listing of a million rows takes no
// more memory than a few of them. CSV and JSON lines go out at once. What cannot be known before
// some rows are seen - the widths of aligned text, and whether a column shown only when some row
// fills it is there at all - is settled by a look-ahead: the first rows (up to a megabyte) are
// held, then written with the widths they give, and the rows after them at once (a cell wider
// than its column pushes the rest of its own line). A column still unsettled then keeps every
// row in a temporary spool file (on disk, not in memory) until Finish.

#include "cli/RowPrinter.h"

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class RowStream {
public:
    static constexpr std::size_t kLookAheadBytes = 1U << 20U;

    // The columns from `shownAlways` on appear only when some row has a text in one of them.
    // `lookAhead`: the bytes of rows held before the widths are settled.
    RowStream(std::vector<std::string> headings, OutputFormat format, std::size_t shownAlways,
              std::FILE* out = stdout, std::size_t lookAhead = kLookAheadBytes);
    ~RowStream();
    RowStream(const RowStream&) = delete;
    RowStream& operator=(const RowStream&) = delete;

    // A row of as many cells as there are headings (missing ones count as empty).
    void Write(std::span<const std::string> cells);
    // Writes what is held and flushes; false when the spool could not be read back or the
    // output took no more (the rows are then incomplete).
    bool Finish();

private:
    void Flush();
    void Spool(std::span<const std::string> cells);
    void EndLookAhead();
    void WriteLookAhead();
    void HoldSpooledRows();
    void FlushSpool();
    void WriteHeadings();
    std::size_t WriteSpooledRows(std::string_view bytes);
    bool Replay();
    template <typename Cell> void WriteLine(std::span<const Cell> cells);
    void WriteSpooled(std::span<const MeasuredCell> cells);

    std::vector<std::string> headings;
    OutputFormat format;
    std::size_t shown; // columns written: grows up to headings.size() while spooling
    std::FILE* out;
    struct SpoolCloser {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    bool holding = false;     // rows are not written as they come
    bool lookingAhead = true; // held rows are all in spoolBuffer, none in the spool file
    std::size_t lookAheadBytes;
    // After the look-ahead: the spool, or without a temporary file, held.
    std::unique_ptr<std::FILE, SpoolCloser> spool;
    std::vector<std::vector<std::string>> held;
    bool spoolFailed = false;
    std::string spoolBuffer; // rows on their way to the spool, written a block at a time
    std::vector<std::size_t> widths;
    std::vector<std::string> jsonKeys;      // JsonKeys of the columns shown
    std::vector<std::string_view> views;    // a spooled row's cells, for CSV and JSON
    std::vector<MeasuredCell> measured;     // a row's cells, for aligned text
    std::vector<MeasuredCell> spooledCells; // a spooled row's, read back
    std::string buffer;
};
