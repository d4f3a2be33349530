#pragma once
// Writing an export the user asked for: the file is written atomically, an existing one only
// replaced after the user says so, and the outcome told in a box. Any thread that may show boxes.

#include "core/MessageSink.h"

#include <string>
#include <string_view>

// "1 row" or "12 rows".
std::string RowCountText(std::size_t rows);

// A box with the error icon and the program's caption; a box with the information icon.
void ShowFileError(IMessageSink& sink, const std::string& text);
void ShowFileDone(IMessageSink& sink, const std::string& text);

// Writes contents to path and says "<rows> written to <path>", or what went wrong. The number of
// rows written, or -1 when nothing was (a refused replacement included).
int WriteExportFile(IMessageSink& sink, const std::string& path, std::string_view contents,
                    std::size_t rows);
