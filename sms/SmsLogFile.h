#pragma once
// "Read From File": a text or log file of captured modem output goes into the line store as if
// its lines had come from the phone, and its "+CMGR:" and "+CMGL:" groups become rows of the SMS
// list.

#include "sms/AddSmsRows.h"

#include <functional>
#include <string>
#include <string_view>

// The open-file dialog's filter, in the description|patterns|...|| form.
inline constexpr std::string_view kLogFileFilter =
    "Text/Log files (*.TXT, *.LOG)|*.txt;*.log|Log files (*.log)|*.log|All files (*.*)|*.*||";

// A line longer than this is taken in pieces of this many characters.
inline constexpr std::size_t kLogPieceChars = 499;

// Appends the file's lines to the store (after ClearLines): each line, or each piece of a long
// one, is counted and stored without its carriage returns and line feeds unless nothing is left.
// Returns the count, or -1 when the file does not open (nothing changed then). Any bytes at all,
// of any length, are read safely.
long LoadLogLines(const std::string& path, serialdata& store);

// The whole operation after the dialog: loads the file with the read controls disabled, shows
// "Read succesfully %ld lines", empties the SMS list and lists the loaded groups (ordinals from
// 1). "Cannot open file" when the file does not open. Runs on any thread but the
// user-interface thread.
void ReadSmsFromFile(const std::string& path, serialdata& store, const SmsReadContext& context);

// As ReadSmsFromFile, for a capture of any size: the groups are listed as the file is read, a
// few dozen lines at a time (each batch inserted at the top of what the form gets), so that
// neither the lines nor the rows of the whole file are ever held. The form sees the rows in the
// order of the groups, one InsertSmsRows per batch. The lines pass the store by: it is left empty.
// beforeRows, when given, is told before the first row (after the count) whether a row may fill
// the part column: false when no line of the file is a PDU with a user data header.
void StreamSmsFromFile(const std::string& path, serialdata& store, const SmsReadContext& context,
                       const std::function<void(bool partsPossible)>& beforeRows = {});
