#include "cli/RowPrinterStream.h"

#include <array>
#include <cstdint>

namespace {

// Output and spool writes go in blocks of about this size.
constexpr std::size_t kBlockBytes = 1U << 16U;

bool ReadExactly(std::FILE* file, void* into, std::size_t bytes) {
    return bytes == 0 || std::fread(into, 1, bytes, file) == bytes;
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
        AppendJsonLine(buffer, std::span(headings).first(shown), used);
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
    std::fwrite(&count, sizeof count, 1, spool.get());
    for (std::uint32_t column = 0; column < count; ++column) {
        const auto length = static_cast<std::uint32_t>(cells[column].size());
        std::fwrite(&length, sizeof length, 1, spool.get());
        std::fwrite(cells[column].data(), 1, length, spool.get());
    }
    if (std::ferror(spool.get()) != 0)
        spoolFailed = true;
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
    if (std::fflush(spool.get()) != 0 || std::fseek(spool.get(), 0, SEEK_SET) != 0)
        return false;
    std::vector<std::string> cells;
    std::uint32_t count = 0;
    while (std::fread(&count, sizeof count, 1, spool.get()) == 1) {
        cells.resize(count);
        for (std::string& cell : cells) {
            std::uint32_t length = 0;
            if (!ReadExactly(spool.get(), &length, sizeof length))
                return false;
            cell.resize(length);
            if (!ReadExactly(spool.get(), cell.data(), length))
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
