#include "sms/SmsLogFile.h"

#include "core/TextHelpers.h"
#include "pdu/HexText.h"
#include "pdu/UserData.h"
#include "serial/serialdata.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <deque>
#include <functional>
#include <memory>
#include <span>
#include <vector>

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// Turns "\r\n" into "\n", as a text-mode read does, also across two blocks.
class TextModeFilter {
public:
    std::string_view Translate(std::string_view bytes) {
        out.clear();
        if (carriageReturnHeld && !bytes.starts_with('\n'))
            out.push_back('\r');
        carriageReturnHeld = false;
        while (!bytes.empty()) {
            const std::size_t cr = bytes.find('\r');
            out.append(bytes.substr(0, cr));
            if (cr == std::string_view::npos)
                break;
            bytes.remove_prefix(cr + 1);
            if (bytes.empty())
                carriageReturnHeld = true;
            else if (bytes.front() != '\n')
                out.push_back('\r');
        }
        return out;
    }
    // A carriage return ended the last text: whether it is one depends on what comes next.
    bool Holding() const { return carriageReturnHeld; }
    // What is still held at the end of the file.
    std::string_view Finish() {
        out.assign(carriageReturnHeld ? "\r" : "");
        carriageReturnHeld = false;
        return out;
    }

private:
    std::string out;
    bool carriageReturnHeld = false;
};

// A piece as it is stored: a piece never holds a line feed, so only carriage returns can be left
// to take out (into `buffer`, when there are any).
std::string_view CleanPiece(std::string_view piece, std::string& buffer) {
    if (piece.find('\r') == std::string_view::npos)
        return piece;
    buffer.assign(piece);
    StripLineEnd(buffer);
    return buffer;
}

// A piece watcher that looks at nothing. A watcher is told whether the piece is a view into
// the block that was read (valid until the next read) or into a buffer of the cutter's.
struct NoPieceWatch {
    void operator()(std::string_view /*piece*/, bool /*inBlock*/) const {}
};

// What is told when a block's pieces are all cut, before the next read: nothing.
struct NoBlockWatch {
    void operator()() const {}
};

// Cuts text into the pieces a 500-character line buffer takes: up to a line feed, or
// kLogPieceChars characters. Each piece is counted and, cleaned, stored unless empty. The
// watcher is a type of its own, not a std::function: it is called for every line of a capture.
template <typename OnPiece = NoPieceWatch> class PieceCutter {
public:
    // No store: the pieces are only counted. onPiece sees each piece about to be stored (or, with
    // no store, each piece that would be). Without `cleanPieces` it sees each piece as it was
    // cut instead, carriage returns and empty ones included, so that no piece is scanned or
    // copied to clean it.
    explicit PieceCutter(serialdata* lineStore, OnPiece onPiece = {}, bool cleanPieces = true)
        : store(lineStore), beforeStore(std::move(onPiece)), clean(cleanPieces) {}

    void Feed(std::string_view text) {
        while (!text.empty()) {
            const std::string_view window = text.substr(0, kLogPieceChars - piece.size());
            const std::size_t lineFeed = window.find('\n');
            if (lineFeed != std::string_view::npos) {
                piece.append(window.substr(0, lineFeed));
                text.remove_prefix(lineFeed + 1);
                EndPiece();
                continue;
            }
            piece.append(window);
            text.remove_prefix(window.size());
            if (piece.size() == kLogPieceChars)
                EndPiece();
        }
    }

    // No piece begun: the next text starts a piece of its own.
    bool BetweenPieces() const { return piece.empty(); }

    // The bytes of a line as the file holds them, its line feed taken off, when what a text-mode
    // read gives of them (a carriage return before the line feed is not given) is shorter than a
    // piece: the one piece they make, with no copy unless they need cleaning.
    void FeedWholeLine(std::string_view line) {
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        ++count;
        Keep(line, true);
    }

    void Finish() {
        if (!piece.empty())
            EndPiece();
    }

    long Count() const { return count; }

private:
    void EndPiece() {
        ++count;
        Keep(piece, false);
        piece.clear();
    }

    void Keep(std::string_view text, bool inBlock) {
        if (!clean) {
            beforeStore(text, inBlock);
            return;
        }
        const std::string_view stored = CleanPiece(text, cleaned);
        if (stored.empty())
            return;
        beforeStore(stored, inBlock && stored.data() == text.data());
        text = stored;
        if (store != nullptr)
            AddString(text, *store);
    }

    serialdata* store;
    OnPiece beforeStore;
    std::string piece;
    std::string cleaned;
    bool clean;
    long count = 0;
};

// Whether the PDU parser could read a user data header from the line: all hex digits (trailing
// blanks aside), with the header bit set in the first octet after the service centre's address.
// The header bit is looked at first: most lines fail there, before the scan of every character.
bool MayHoldUserDataHeader(std::string_view line) {
    const auto isBlank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!line.empty() && isBlank(line.back()))
        line.remove_suffix(1);
    if (line.size() < 4)
        return false;
    const auto at = 2 + 2 * static_cast<std::size_t>(read_byte(line.substr(0, 2)));
    return at + 2 <= line.size() && (read_byte(line.substr(at, 2)) & kUdhiBit) != 0 &&
           std::ranges::all_of(line, is_hex_digit);
}

// The bytes a PDU line may begin with, as it was cut: a hex digit, or a carriage return the stored
// line will not hold.
constexpr std::array<bool, 256> kPduHeadByte = [] {
    std::array<bool, 256> table{};
    for (std::size_t c = 0; c != table.size(); ++c)
        table[c] = c == '\r' || is_hex_digit(static_cast<char>(c));
    return table;
}();

// MayHoldUserDataHeader of a piece as it is stored, carriage returns taken out, asked of the
// piece as it was cut (of every line of a capture), mostly without the copy that takes them out.
// A character that is neither a hex digit nor a carriage return, before the header octet, says
// no at once: the stored line is then not all hex digits, or ends in blanks before the octet.
// Where only hex digits come before it, the octets stand where they will.
class HeaderWatch {
public:
    // Most lines of a capture are told at their first two bytes: asked inline of each.
    bool MayHold(std::string_view piece) {
        if (piece.size() >= 2 && (!kPduHeadByte[static_cast<unsigned char>(piece[0])] ||
                                  !kPduHeadByte[static_cast<unsigned char>(piece[1])]))
            return false;
        return MayHoldPast(piece);
    }

private:
    [[gnu::noinline]] bool MayHoldPast(std::string_view piece) {
        if (piece.size() >= 2 && piece[0] != '\r' && piece[1] != '\r') {
            const std::size_t at = 2 + 2 * static_cast<std::size_t>(hex_pair_at(piece, 0));
            if (at + 2 > piece.size())
                return false;
            // Without a carriage return before it the octet stands where it will: not hex
            // digits, or without the bit, it says no (the look at every character comes after).
            const int octet = hex_pair_at(piece, at);
            if ((octet < 0 || (octet & kUdhiBit) == 0) &&
                piece.substr(0, at + 2).find('\r') == std::string_view::npos)
                return false;
        }
        cleaned.assign(piece);
        std::erase(cleaned, '\r');
        return MayHoldUserDataHeader(cleaned);
    }

    std::string cleaned;
};

} // namespace

void ShowReadCount(const SmsReadContext& context, long count) {
    char text[64];
    std::snprintf(text, sizeof text, "Read succesfully %ld lines", count);
    context.messages.ShowMessage({text, "Information", BoxButtons::Ok, BoxIcon::Information, true});
}

FilePtr OpenLog(const std::string& path) {
    return FilePtr(std::fopen(path.c_str(), "rb"));
}

// A line of a block through the filter, as a text-mode read gives it: out of line, so that the
// loop over the block's lines, which calls it for the odd line only, keeps its own in registers.
template <typename Cutter>
[[gnu::noinline]] void CutThroughFilter(std::string_view line, TextModeFilter& filter,
                                        Cutter& cutter) {
    cutter.Feed(filter.Translate(line));
}

// Hands a block to the cutter a line at a time. Most lines end inside the block and fit one
// piece: those go as they stand; the others pass the filter as a text-mode read gives them.
template <typename Cutter>
void CutBlock(std::string_view bytes, TextModeFilter& filter, Cutter& cutter) {
    while (!bytes.empty()) {
        const std::size_t lineFeed = bytes.find('\n');
        const std::size_t end = lineFeed == std::string_view::npos ? bytes.size() : lineFeed + 1;
        if (lineFeed != std::string_view::npos && cutter.BetweenPieces() && !filter.Holding()) {
            const std::string_view line = bytes.substr(0, lineFeed);
            if (line.size() - (line.ends_with('\r') ? 1 : 0) < kLogPieceChars) {
                cutter.FeedWholeLine(line);
                bytes.remove_prefix(end);
                continue;
            }
        }
        CutThroughFilter(bytes.substr(0, end), filter, cutter);
        bytes.remove_prefix(end);
    }
}

// Hands the file's bytes, from where it stands, to onBlock a block at a time, each valid until
// onBlock returns. A read error ends the reading as the end of the file does.
template <typename OnBlock> void ReadBlocks(std::FILE* file, OnBlock onBlock) {
    std::array<char, 65536> block{};
    for (;;) {
        const std::size_t got = std::fread(block.data(), 1, block.size(), file);
        onBlock(std::string_view(block.data(), got));
        if (got < block.size())
            break;
    }
}

// Feeds the file's pieces to the cutter, from where the file stands; their count. afterBlock is
// told when the pieces of a block are all cut, before the next read replaces it.
template <typename Cutter, typename AfterBlock = NoBlockWatch>
long CutFile(std::FILE* file, Cutter& cutter, AfterBlock afterBlock = {}) {
    TextModeFilter filter;
    ReadBlocks(file, [&](std::string_view block) {
        CutBlock(block, filter, cutter);
        afterBlock();
    });
    cutter.Feed(filter.Finish());
    cutter.Finish();
    return cutter.Count();
}

// Keeps the lines that make groups - each header line and the line after it, its PDU whatever
// that holds, as the row builder pairs them - and lists them once a batch is kept and a new group
// begins: each batch then holds whole groups only, listed as one store of the whole file would
// list them. Other lines are no group's and are not kept. A line is kept as a view into the block
// read where it can be, so the blocks end batches too: a header whose PDU line is in the next
// block is copied and begins the next batch. The phonebook stays open from the first batch to
// the last.
class GroupBatcher {
public:
    explicit GroupBatcher(const SmsReadContext& readContext) : lister(readContext, false) {}

    // A piece as it was cut, carriage returns in it. Most are neither a header nor the line after
    // one: passed by on their first character, without the scan that would clean them.
    void KeepPiece(std::string_view piece, bool inBlock) {
        if (!pduNext) {
            const std::size_t first =
                !piece.empty() && piece[0] != '\r' ? 0 : piece.find_first_not_of('\r');
            if (first == std::string_view::npos || piece[first] != '+')
                return;
        }
        const std::string_view line = CleanPiece(piece, cleaned);
        if (!line.empty())
            Keep(line, inBlock && line.data() == piece.data());
    }

    // The block the views point into is about to be read over.
    void BlockEnds() {
        if (lines.empty())
            return;
        if (!pduNext) {
            ListBatch();
            return;
        }
        const std::string header(lines.back());
        lines.pop_back();
        readHeaders -= OrdinalsTaken(header);
        ListBatch();
        lines.push_back(Own(header));
        readHeaders = OrdinalsTaken(header);
    }

    void ListBatch() {
        lister.List(lines, ordinal);
        ordinal += readHeaders;
        readHeaders = 0;
        lines.clear();
        owned.clear();
    }

private:
    void Keep(std::string_view line, bool inBlock) {
        if (pduNext) {
            pduNext = false;
        } else if (line.starts_with("+CMGR:") || line.starts_with("+CMGL:")) {
            if (lines.size() >= kBatchLines)
                ListBatch();
            pduNext = true;
            readHeaders += OrdinalsTaken(line);
        } else {
            return;
        }
        lines.push_back(inBlock ? line : Own(line));
    }

    // A read's header takes an ordinal; a list's brings its own index.
    static int OrdinalsTaken(std::string_view header) {
        return header.starts_with("+CMGR:") ? 1 : 0;
    }

    // A copy that lives until the batch is listed.
    std::string_view Own(std::string_view line) { return owned.emplace_back(line); }

    static constexpr std::size_t kBatchLines = 32;
    SmsRowLister lister;
    std::string cleaned; // a piece with its carriage returns taken out
    std::vector<std::string_view> lines;
    std::deque<std::string> owned; // the lines of the batch that are not views into the block
    bool pduNext = false;
    int ordinal = 1;
    int readHeaders = 0; // "+CMGR:" headers of the batch: each takes an ordinal
};

long LoadLogLines(const std::string& path, serialdata& store) {
    const FilePtr file = OpenLog(path);
    if (!file)
        return -1;
    ClearLines(store);
    PieceCutter<> cutter(&store);
    return CutFile(file.get(), cutter);
}

void ReadSmsFromFile(const std::string& path, serialdata& store, const SmsReadContext& context) {
    context.form.EnableReadControls(1);
    const long count = LoadLogLines(path, store);
    if (count < 0) {
        ShowOk(context.messages, "Cannot open file", kAppTitle);
        context.form.EnableReadControls(0);
        return;
    }
    ShowReadCount(context, count);
    context.form.DeleteAllSmsRows();
    AddSmsRows(store, 1, context);
    context.form.EnableReadControls(0);
}

namespace {

// The first pass: the pieces counted, and whether a part is possible looked for when watching.
long CountPieces(std::FILE* file, bool watching, bool& partsPossible) {
    HeaderWatch watch;
    PieceCutter counter(
        nullptr,
        [&partsPossible, &watch, watching](std::string_view piece, bool /*inBlock*/) {
            if (watching && !partsPossible)
                partsPossible = watch.MayHold(piece);
        },
        false);
    const long count = CutFile(file, counter);
    std::rewind(file);
    return count;
}

} // namespace

void StreamSmsFromFile(const std::string& path, serialdata& store, const SmsReadContext& context,
                       const std::function<void(bool partsPossible)>& beforeRows) {
    context.form.EnableReadControls(1);
    const FilePtr file = OpenLog(path);
    if (!file) {
        ShowOk(context.messages, "Cannot open file", kAppTitle);
        context.form.EnableReadControls(0);
        return;
    }
    bool partsPossible = false;
    ShowReadCount(context, CountPieces(file.get(), static_cast<bool>(beforeRows), partsPossible));
    if (beforeRows)
        beforeRows(partsPossible);
    context.form.DeleteAllSmsRows();
    ClearLines(store);
    GroupBatcher batcher(context);
    PieceCutter cutter(
        nullptr,
        [&batcher](std::string_view piece, bool inBlock) { batcher.KeepPiece(piece, inBlock); },
        false);
    CutFile(file.get(), cutter, [&batcher] { batcher.BlockEnds(); });
    batcher.ListBatch();
    context.form.EnableReadControls(0);
}
