// Which terminal an address of the terminal list stands for, whichever way it
// is written: the one-sender rule (one session per terminal in a cycle, one
// Orlent process per terminal in a folder) goes by it. What is shown and
// dialled stays the address as typed.
#pragma once

#include <string>

// The terminal `address` stands for: an IPv4 address in its dotted form (also
// when written as an IPv4-mapped IPv6 address), an IPv6 address in its
// compressed lower-case form, any other text (a host name) in lower case.
std::string TerminalIdentity(const std::string& address);
