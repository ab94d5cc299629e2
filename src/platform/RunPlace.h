// What tells this machine and this process namespace apart from others that
// share a folder (a network home, a sandboxed game): a process id alone
// names another process there.
#pragma once

#include <sys/types.h>

namespace platform {

// "HOST-BOOTID-PIDNS": the host name (bytes other than letters, digits, '.'
// and '_' made '_'), the kernel's boot id without its dashes and the process
// namespace's number. Empty when any of them cannot be learnt: nothing is
// then known to be ours.
const char* runPlace();

// The process id that text starts with: digits making a number from 1 to
// the largest pid_t. 0 otherwise (a longer number names no process).
// *end is set past the digits.
pid_t leadingProcessId(const char* text, const char** end);

}  // namespace platform
