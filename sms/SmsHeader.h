#pragma once
// Reading the header lines of the phone's message answers (3GPP TS 27.005): "+CMGR: <stat>,..."
// and "+CMGL: <index>,<stat>,<alpha>,<length>", and the count answer "+CPMS: <used>,...". The
// fields are read with AtFields from behind the line's first ':'; a line without one is read from
// its second character.

#include <string>
#include <string_view>

// The text after the first ':' and before the next ','; empty when no ',' follows. The count
// edits show it as it is, the blank after the colon included.
std::string FirstFieldAfterColon(std::string_view line);
// The number of messages in a "+CPMS:" answer (read from behind the first ':', or from the start
// without one): its first field when a ',' ends it, else 0 - the edit shows nothing then.
int CountAnswerUsed(std::string_view line);

// The first field's number: the index of a "+CMGL:" line; 0 when it is no number.
int HeaderIndex(std::string_view line);
// The first field's number when a ',' ends it: the status of a "+CMGR:" line. 0 otherwise.
int HeaderFirstField(std::string_view line);
// The second field's number: the status of a "+CMGL:" line. 0 when there is no second field or
// it is no number.
int HeaderSecondField(std::string_view line);
