// The data kinds and files the commands' arguments name.
#pragma once

#include <string>

#include "model/data_kind.h"

// The kind or report --kind names, as the table of record kinds names it
// ("plu", "report-time"), or the reports as a data kind ("report"); ends the
// command with exit status 2 for any other name.
KindChoice KindChoiceNamed(const std::string& name);
// The name --kind gives `kind`.
std::string KindName(DataKind kind);
// A path of the command line, taken from the current directory.
std::string Absolute(const std::string& path);
