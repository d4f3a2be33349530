#pragma once
// Ctrl+C on the command line: the handler only raises atomics - the flag the program checks
// between its steps and the session's stopRequest, as "Stop current task" raises it - so that
// the running worker ends after the exchange under way and the program closes the port and the
// database on its normal way out.

#include <atomic>

// Raised once SIGINT (or SIGTERM) has arrived.
const std::atomic<bool>& Interrupted();

// Installs the handlers; `stopRequest` (the session's) gets the stop value as well. The flag
// must outlive the program's use of the handlers (DetachStopRequest before it goes).
void InstallInterruptHandlers(std::atomic<int>& stopRequest);
void DetachStopRequest();
