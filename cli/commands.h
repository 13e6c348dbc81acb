// The commands of orlent-cli. Each runs the main window's own handlers, as the
// window's controls would, and returns the process's exit status.
#pragma once

#include <optional>
#include <string>

#include "cli/session.h"

int ListTerminals(Session& session);
int AddTerminal(Session& session, const std::string& address);
int DeleteTerminal(Session& session, int number);
int ChangeTerminal(Session& session, int number, const std::string& address);
int TickTerminal(Session& session, int number, bool ticked);
int SetPort(Session& session, const std::string& port);

struct SendOptions {
  std::string kind;  // empty: the data kind in force at start-up
  std::string file;  // empty: the Send File of the chosen kind
  int pauseMs = 3000;
  int answerTimeoutMs = 10000;
};
int Send(Session& session, const SendOptions& options);

struct UploadOptions {
  std::string kind;
  std::string terminal;
  std::string out;  // empty: the kind's upload file name
  int answerTimeoutMs = 10000;
};
int Upload(Session& session, const UploadOptions& options);

int Read(Session& session, const std::string& file);
