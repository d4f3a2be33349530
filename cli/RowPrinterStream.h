#pragma once
// The command line's output written as the rows come, so a listing of a million rows takes no
// more memory than a few of them. CSV and JSON lines go out at once. What cannot be known before
// the last row - the widths of aligned text, and whether a column shown only when some row fills
// it is there at all - is settled by holding the rows in a temporary spool file (on disk, not in
// memory) and writing them at Finish.

#include "cli/RowPrinter.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

class RowStream {
public:
    // The columns from `shownAlways` on appear only when some row has a text in one of them.
    RowStream(std::vector<std::string> headings, OutputFormat format, std::size_t shownAlways,
              std::FILE* out = stdout);
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
    void FlushSpool();
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
    bool holding = false; // rows go to the spool (or, without one, to held) until Finish
    std::unique_ptr<std::FILE, SpoolCloser> spool;
    std::vector<std::vector<std::string>> held;
    bool spoolFailed = false;
    std::string spoolBuffer; // rows on their way to the spool, written a block at a time
    std::vector<std::size_t> widths;
    std::vector<std::string> jsonKeys;   // JsonKeys of the columns shown
    std::vector<std::string_view> views; // a spooled row's cells, for CSV and JSON
    std::string buffer;
};
