#include "cli/RowPrinterStream.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

namespace {

// Output and spool writes go in blocks of about this size.
constexpr std::size_t kBlockBytes = 1U << 16U;

// The spool read back a block at a time, the rows taken from memory.
class SpoolReader {
public:
    explicit SpoolReader(std::FILE* spoolFile) : file(spoolFile) {}

    // False at the end of the spool, or when it ends inside the bytes.
    bool Read(void* into, std::size_t bytes) {
        auto* at = static_cast<char*>(into);
        while (bytes > 0) {
            if (next == filled && !Refill())
                return false;
            const std::size_t taken = std::min(bytes, filled - next);
            std::memcpy(at, block.data() + next, taken);
            next += taken;
            at += taken;
            bytes -= taken;
        }
        return true;
    }

private:
    bool Refill() {
        filled = std::fread(block.data(), 1, block.size(), file);
        next = 0;
        return filled > 0;
    }

    std::FILE* file;
    std::array<char, kBlockBytes> block{};
    std::size_t filled = 0;
    std::size_t next = 0;
};

void AppendWord(std::string& out, std::uint32_t word) {
    std::array<char, sizeof word> bytes{};
    std::memcpy(bytes.data(), &word, sizeof word);
    out.append(bytes.data(), bytes.size());
}

} // namespace

RowStream::RowStream(std::vector<std::string> columnHeadings, OutputFormat outputFormat,
                     std::size_t shownAlways, std::FILE* output)
    : headings(std::move(columnHeadings)), format(outputFormat),
      shown(std::min(shownAlways, headings.size())), out(output), widths(headings.size(), 0) {
    const bool settledNow = format != OutputFormat::Text && shown == headings.size();
    holding = !settledNow;
    // Without a temporary file the rows are held in memory instead.
    if (holding)
        spool.reset(std::tmpfile());
    Widen(widths, headings);
    if (settledNow && format == OutputFormat::Csv)
        WriteLine(headings);
}

RowStream::~RowStream() = default;

void RowStream::WriteLine(std::span<const std::string> cells) {
    const std::span<const std::string> used = cells.first(std::min(cells.size(), shown));
    switch (format) {
    case OutputFormat::Text:
        AppendTextLine(buffer, used, widths);
        break;
    case OutputFormat::Csv:
        AppendCsvLine(buffer, used);
        break;
    case OutputFormat::Json:
        // The keys are made once for the columns shown (which only grow while spooling).
        if (jsonKeys.size() != shown)
            jsonKeys = JsonKeys(std::span(headings).first(shown));
        AppendKeyedJsonLine(buffer, jsonKeys, used);
        break;
    }
    if (buffer.size() >= kBlockBytes)
        Flush();
}

void RowStream::Flush() {
    if (buffer.empty())
        return;
    std::fwrite(buffer.data(), 1, buffer.size(), out);
    buffer.clear();
}

void RowStream::Spool(std::span<const std::string> cells) {
    Widen(widths, cells);
    for (std::size_t column = shown; column < cells.size() && column < headings.size(); ++column)
        if (!cells[column].empty())
            shown = column + 1;
    if (!spool) {
        held.emplace_back(cells.begin(), cells.end());
        return;
    }
    // Each row: its cell count, then each cell's length and bytes.
    const auto count = static_cast<std::uint32_t>(std::min(cells.size(), headings.size()));
    AppendWord(spoolBuffer, count);
    for (std::uint32_t column = 0; column < count; ++column) {
        AppendWord(spoolBuffer, static_cast<std::uint32_t>(cells[column].size()));
        spoolBuffer.append(cells[column]);
    }
    if (spoolBuffer.size() >= kBlockBytes)
        FlushSpool();
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

bool RowStream::Replay() {
    if (format == OutputFormat::Text || format == OutputFormat::Csv)
        WriteLine(headings);
    if (!spool) {
        for (const auto& row : held)
            WriteLine(row);
        return true;
    }
    FlushSpool();
    if (spoolFailed || std::fflush(spool.get()) != 0 || std::fseek(spool.get(), 0, SEEK_SET) != 0)
        return false;
    SpoolReader reader(spool.get());
    std::vector<std::string> cells;
    std::uint32_t count = 0;
    while (reader.Read(&count, sizeof count)) {
        cells.resize(count);
        for (std::string& cell : cells) {
            std::uint32_t length = 0;
            if (!reader.Read(&length, sizeof length))
                return false;
            cell.resize(length);
            if (length > 0 && !reader.Read(cell.data(), length))
                return false;
        }
        WriteLine(cells);
    }
    return std::ferror(spool.get()) == 0;
}

bool RowStream::Finish() {
    const bool replayed = !holding || (!spoolFailed && Replay());
    holding = false;
    Flush();
    spool.reset();
    return replayed && std::fflush(out) == 0 && std::ferror(out) == 0;
}
