#pragma once
// The 8-bit reference that links the parts of one long message (3GPP TS 23.040 9.2.3.24.1).
// Any thread.

// A fresh reference for each message: it starts at a value taken from the clock so that messages of
// two runs of the program do not share one, and goes up by one per call (0 to 255, then round
// again).
int NextConcatReference();
