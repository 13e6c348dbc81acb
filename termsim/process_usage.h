// What /proc tells of a running process from outside: how many files it
// holds open and how much processor time it has used, for tests that check
// a process neither leaks descriptors nor spins.
#pragma once

#include <sys/types.h>

int OpenFiles(pid_t pid);            // entries in /proc/PID/fd, -1 when it cannot be read
double ProcessorSeconds(pid_t pid);  // user and system time, from /proc/PID/stat
