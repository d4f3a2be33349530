#include "sms/SmsLogFile.h"

#include "core/TextHelpers.h"
#include "serial/serialdata.h"

#include <array>
#include <cstdio>
#include <memory>

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

// Cuts text into the pieces a 500-character line buffer takes: up to a line feed, or
// kLogPieceChars characters. Each piece is counted and, cleaned, stored unless empty.
class PieceCutter {
public:
    explicit PieceCutter(serialdata& lineStore) : store(lineStore) {}

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

    void Finish() {
        if (!piece.empty())
            EndPiece();
    }

    long Count() const { return count; }

private:
    void EndPiece() {
        ++count;
        StripLineEnd(piece);
        if (!piece.empty())
            AddString(piece, store);
        piece.clear();
    }

    serialdata& store;
    std::string piece;
    long count = 0;
};

} // namespace

long LoadLogLines(const std::string& path, serialdata& store) {
    const FilePtr file(std::fopen(path.c_str(), "rb"));
    if (!file)
        return -1;
    ClearLines(store);
    TextModeFilter filter;
    PieceCutter cutter(store);
    std::array<char, 65536> block{};
    // A read error ends the loop as the end of the file does.
    for (;;) {
        const std::size_t got = std::fread(block.data(), 1, block.size(), file.get());
        cutter.Feed(filter.Translate({block.data(), got}));
        if (got < block.size())
            break;
    }
    cutter.Feed(filter.Finish());
    cutter.Finish();
    return cutter.Count();
}

void ReadSmsFromFile(const std::string& path, serialdata& store, const SmsReadContext& context) {
    context.form.EnableReadControls(1);
    const long count = LoadLogLines(path, store);
    if (count < 0) {
        ShowOk(context.messages, "Cannot open file", kAppTitle);
        context.form.EnableReadControls(0);
        return;
    }
    char text[64];
    std::snprintf(text, sizeof text, "Read succesfully %ld lines", count);
    context.messages.ShowMessage({text, "Information", BoxButtons::Ok, BoxIcon::Information, true});
    context.form.DeleteAllSmsRows();
    AddSmsRows(store, 1, context);
    context.form.EnableReadControls(0);
}
