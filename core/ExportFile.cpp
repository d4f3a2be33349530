#include "core/ExportFile.h"

#include "core/AtomicFile.h"

std::string RowCountText(std::size_t rows) {
    return std::to_string(rows) + (rows == 1 ? " row" : " rows");
}

void ShowFileError(IMessageSink& sink, const std::string& text) {
    sink.ShowMessage({text, std::string(kAppTitle), BoxButtons::Ok, BoxIcon::Error, true});
}

void ShowFileDone(IMessageSink& sink, const std::string& text) {
    sink.ShowMessage({text, "Info", BoxButtons::Ok, BoxIcon::Information, true});
}

int WriteExportFile(IMessageSink& sink, const std::string& path, std::string_view contents,
                    std::size_t rows) {
    const FileWriteResult written = SaveAskingToReplace(
        path, [&](Overwrite overwrite) { return WriteFileAtomically(path, contents, overwrite); },
        [&sink](const std::string& question) {
            return sink.ShowMessage({question, "Question", BoxButtons::YesNo, BoxIcon::Question,
                                     true}) == BoxAnswer::Yes;
        });
    if (!written.ok) {
        if (!written.error.empty())
            ShowFileError(sink, written.error);
        return -1;
    }
    ShowFileDone(sink, RowCountText(rows) + " written to " + path);
    return static_cast<int>(rows);
}
