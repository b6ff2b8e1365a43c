#pragma once
// getrusage for the Windows test programs: what the tests read of it on
// Linux, the process's peak resident size in KiB.

struct rusage {
    long ru_maxrss = 0;
};

constexpr int RUSAGE_SELF = 0;

// Fills ru_maxrss with the peak working set of this process; 0 on success.
int getrusage(int who, rusage* usage);
