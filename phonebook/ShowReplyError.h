#pragma once
// The warning box for a command of the phonebook read that did not end in "OK".

#include "core/MessageSink.h"

// Result 2 (error): "ERROR ricevuto!" with Abort, Retry and Ignore; result 3 (time-out):
// "TIMEOUT, nessun dato ricevuto" with Retry and Cancel; both captioned "ATTENZIONE" with a
// stop icon. 1 when the user chose Retry, 0 otherwise (and for any other result, which shows
// nothing).
int ShowReplyError(IMessageSink& messages, int result);
