// What /proc tells of a running process from outside: how many files it
// holds open, for tests that check a process does not leak descriptors.
#pragma once

#include <sys/types.h>

int OpenFiles(pid_t pid);  // entries in /proc/PID/fd, -1 when it cannot be read
