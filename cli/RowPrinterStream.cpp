#include "cli/RowPrinterStream.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <numeric>

namespace {

// Output and spool writes go in blocks of about this size.
constexpr std::size_t kBlockBytes = 1U << 16U;

// A spooled cell's second word: its length in characters, and this bit when it is plain.
constexpr std::uint32_t kPlainBit = 1U << 31U;

// The rows of a stretch of the spool, one at a time, as views into it.
class RowReader {
public:
    explicit RowReader(std::string_view spoolBytes) : bytes(spoolBytes) {}

    // The next whole row; false at the end, or where the bytes end inside a row (Used then
    // tells where that row begins).
    bool Next(std::vector<MeasuredCell>& cells) {
        std::size_t at = used;
        std::uint32_t count = 0;
        if (!Word(at, count))
            return false;
        cells.resize(count);
        for (MeasuredCell& cell : cells) {
            std::uint32_t length = 0;
            std::uint32_t chars = 0;
            if (!Word(at, length) || !Word(at, chars) || bytes.size() - at < length)
                return false;
            cell = {bytes.substr(at, length), chars & ~kPlainBit, (chars & kPlainBit) != 0};
            at += length;
        }
        used = at;
        return true;
    }
    std::size_t Used() const { return used; }

private:
    bool Word(std::size_t& at, std::uint32_t& word) const {
        if (bytes.size() - at < sizeof word)
            return false;
        std::memcpy(&word, bytes.data() + at, sizeof word);
        at += sizeof word;
        return true;
    }

    std::string_view bytes;
    std::size_t used = 0;
};

// Writes `word` at `at` of a buffer already long enough; where the next byte goes.
std::size_t PutWord(std::string& out, std::size_t at, std::uint32_t word) {
    std::memcpy(out.data() + at, &word, sizeof word);
    return at + sizeof word;
}

} // namespace

RowStream::RowStream(std::vector<std::string> columnHeadings, OutputFormat outputFormat,
                     std::size_t shownAlways, std::FILE* output, std::size_t lookAhead)
    : headings(std::move(columnHeadings)), format(outputFormat),
      shown(std::min(shownAlways, headings.size())), out(output), lookAheadBytes(lookAhead),
      widths(headings.size(), 0) {
    holding = format == OutputFormat::Text || shown < headings.size();
    Widen(widths, headings);
    if (!holding)
        WriteHeadings();
}

RowStream::~RowStream() = default;

template <typename Cell> void RowStream::WriteLine(std::span<const Cell> cells) {
    const std::span<const Cell> used = cells.first(std::min(cells.size(), shown));
    switch (format) {
    case OutputFormat::Text:
        measured.resize(used.size());
        std::ranges::transform(used, measured.begin(),
                               [](const Cell& cell) { return Measure(cell); });
        AppendTextLine(buffer, measured, widths);
        break;
    case OutputFormat::Csv:
        AppendCsvLine(buffer, used);
        break;
    case OutputFormat::Json:
        // The keys are made once for the columns shown (which only grow while held).
        if (jsonKeys.size() != shown)
            jsonKeys = JsonKeys(std::span(headings).first(shown));
        AppendKeyedJsonLine(buffer, jsonKeys, used);
        break;
    }
    if (buffer.size() >= kBlockBytes)
        Flush();
}

void RowStream::WriteSpooled(std::span<const MeasuredCell> cells) {
    if (format == OutputFormat::Text) {
        AppendTextLine(buffer, cells.first(std::min(cells.size(), shown)), widths);
        if (buffer.size() >= kBlockBytes)
            Flush();
        return;
    }
    views.resize(cells.size());
    std::ranges::transform(cells, views.begin(), &MeasuredCell::text);
    WriteLine(std::span<const std::string_view>(views));
}

void RowStream::WriteHeadings() {
    if (format == OutputFormat::Text || format == OutputFormat::Csv)
        WriteLine(std::span<const std::string>(headings));
}

void RowStream::Flush() {
    if (buffer.empty())
        return;
    std::fwrite(buffer.data(), 1, buffer.size(), out);
    buffer.clear();
}

void RowStream::Spool(std::span<const std::string> cells) {
    for (std::size_t column = shown; column < cells.size() && column < headings.size(); ++column)
        if (!cells[column].empty())
            shown = column + 1;
    if (!lookingAhead && !spool) {
        Widen(widths, cells);
        held.emplace_back(cells.begin(), cells.end());
        return;
    }
    // Each row: its cell count, then each cell's length, its measure (aligned text only) and its
    // bytes, copied in at one growth. The measure taken here for the widths is not taken again.
    const auto count = static_cast<std::uint32_t>(std::min(cells.size(), headings.size()));
    const std::span<const std::string> kept = cells.first(count);
    std::size_t at = spoolBuffer.size();
    spoolBuffer.resize(std::accumulate(
        kept.begin(), kept.end(), at + (2 * count + 1) * sizeof count,
        [](std::size_t sum, const std::string& cell) { return sum + cell.size(); }));
    at = PutWord(spoolBuffer, at, count);
    for (std::uint32_t column = 0; column < count; ++column) {
        const std::string& cell = kept[column];
        std::uint32_t measure = 0;
        if (format == OutputFormat::Text) {
            const MeasuredCell cellMeasure = Measure(cell);
            widths[column] = std::max(widths[column], cellMeasure.chars);
            // A count that would reach the bit is held at the most the word takes.
            measure = static_cast<std::uint32_t>(
                          std::min<std::size_t>(cellMeasure.chars, kPlainBit - 1)) |
                      (cellMeasure.plain ? kPlainBit : 0);
        }
        at = PutWord(spoolBuffer, at, static_cast<std::uint32_t>(cell.size()));
        at = PutWord(spoolBuffer, at, measure);
        std::memcpy(spoolBuffer.data() + at, cell.data(), cell.size());
        at += cell.size();
    }
    if (lookingAhead && spoolBuffer.size() >= lookAheadBytes)
        EndLookAhead();
    else if (!lookingAhead && spoolBuffer.size() >= kBlockBytes)
        FlushSpool();
}

// The rows held so far settle what they can: with every column known they are written, and so is
// each row after them as it comes; otherwise they, and the rows after them, go to the spool.
void RowStream::EndLookAhead() {
    lookingAhead = false;
    if (shown == headings.size()) {
        WriteLookAhead();
        holding = false;
        return;
    }
    // Without a temporary file the rows are held in memory instead.
    spool.reset(std::tmpfile());
    if (spool)
        FlushSpool();
    else
        HoldSpooledRows();
}

void RowStream::WriteLookAhead() {
    WriteHeadings();
    WriteSpooledRows(spoolBuffer);
    spoolBuffer.clear();
}

void RowStream::HoldSpooledRows() {
    RowReader rows(spoolBuffer);
    while (rows.Next(spooledCells)) {
        std::vector<std::string>& row = held.emplace_back(spooledCells.size());
        std::ranges::transform(spooledCells, row.begin(),
                               [](const MeasuredCell& cell) { return std::string(cell.text); });
    }
    spoolBuffer.clear();
}

void RowStream::FlushSpool() {
    if (!spoolBuffer.empty() &&
        std::fwrite(spoolBuffer.data(), 1, spoolBuffer.size(), spool.get()) != spoolBuffer.size())
        spoolFailed = true;
    spoolBuffer.clear();
}

void RowStream::Write(std::span<const std::string> cells) {
    if (!holding)
        WriteLine(cells);
    else if (!spoolFailed)
        Spool(cells);
}

// Writes the whole rows `bytes` of the spool begin with; the bytes they took.
std::size_t RowStream::WriteSpooledRows(std::string_view bytes) {
    RowReader rows(bytes);
    while (rows.Next(spooledCells))
        WriteSpooled(spooledCells);
    return rows.Used();
}

bool RowStream::Replay() {
    if (lookingAhead) {
        WriteLookAhead();
        return true;
    }
    WriteHeadings();
    if (!spool) {
        for (const auto& row : held)
            WriteLine(std::span<const std::string>(row));
        return true;
    }
    FlushSpool();
    if (spoolFailed || std::fflush(spool.get()) != 0 || std::fseek(spool.get(), 0, SEEK_SET) != 0)
        return false;
    // A block at a time; a row the block ends inside waits for the next one.
    std::string pending;
    for (;;) {
        const std::size_t kept = pending.size();
        pending.resize(kept + kBlockBytes);
        const std::size_t got = std::fread(pending.data() + kept, 1, kBlockBytes, spool.get());
        pending.resize(kept + got);
        if (got == 0)
            return pending.empty() && std::ferror(spool.get()) == 0;
        pending.erase(0, WriteSpooledRows(pending));
    }
}

bool RowStream::Finish() {
    const bool replayed = !holding || (!spoolFailed && Replay());
    holding = false;
    Flush();
    spool.reset();
    return replayed && std::fflush(out) == 0 && std::ferror(out) == 0;
}
