#pragma once
// Reading the header lines of the phone's message answers (3GPP TS 27.005): "+CMGR: <stat>,..."
// and "+CMGL: <index>,<stat>,<alpha>,<length>", and the count answer "+CPMS: <used>,...".

#include <string>
#include <string_view>

// The text after the first ':' and the one character after it (normally a blank); a line
// without ':' gives the line without its first character.
std::string HeaderTail(std::string_view line);

// The text after the first ':' and before the next ','; empty when no ',' follows.
std::string FirstFieldAfterColon(std::string_view line);

// The number at the start of HeaderTail(line): the index of a "+CMGL:" line.
int HeaderIndex(std::string_view line);
// The number of HeaderTail(line) before its first ',': the status of a "+CMGR:" line. 0 when
// there is no ','.
int HeaderFirstField(std::string_view line);
// The number of the second comma-separated field of HeaderTail(line): the status of a "+CMGL:"
// line. 0 when there is no second field.
int HeaderSecondField(std::string_view line);
