#pragma once
// The reader thread's body: reads the store's port in portions, cuts the bytes into lines and
// stores them, pass after pass, until `stopReader` is set. A pass is one read (up to 160 ms) and
// a 100 ms pause, so the thread ends at most one pass after the flag is raised. Returns 0.
// When the device goes away (a hang-up, or an I/O error that no retry mends) it raises
// `portGone` and ends.
//
// At most one reader may run on a store; the session joins the old one before it starts anew.

struct serialdata;

unsigned SerialRead(serialdata* data);
