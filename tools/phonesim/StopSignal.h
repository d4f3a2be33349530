#pragma once
// SIGTERM, SIGINT and SIGHUP ask the simulator to stop; it then removes its link and exits.

// Installs the handlers (without SA_RESTART, so a blocking call returns early) and ignores
// SIGPIPE.
void InstallStopHandlers();
bool StopRequested();

// From now on a stop is also requested once the parent process has ended (a test killed
// outright must not leave its simulator running).
void StopWhenParentEnds();

// Sleeps `ms` milliseconds, or less when a stop is requested meanwhile.
void SleepUnlessStopped(long ms);
