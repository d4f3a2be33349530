#pragma once
// The demo without a display: opens the session on the configured port (the simulator), reads
// the SIM's messages, fills in a message on Write SMS, reads the SIM's phonebook, and saves a
// picture after each step ("read-sms.png", "write-sms.png", "phonebook.png"), then ends the
// program. Driven by the real controls, step by step on the user-interface thread.

#include <QDir>

class CMainFrame;

// Starts the tour; the application exits with 0 once all pictures are saved, 1 otherwise.
void StartDemoTour(CMainFrame& frame, const QDir& folder);
