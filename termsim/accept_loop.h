// Taking a terminal's connections one after another. When the process has
// no file descriptor left, accepting fails at once for as long as
// connections wait; trying again at once would spin a core, so the next try
// waits kAcceptRetryTime and the waiting connections are taken once
// descriptors are free again.
#pragma once

#include <chrono>
#include <functional>
#include <string>

#include <asio/ip/tcp.hpp>
#include <asio/steady_timer.hpp>

inline constexpr std::chrono::milliseconds kAcceptRetryTime{100};

class AcceptLoop {
 public:
  using OnAccept = std::function<void(asio::ip::tcp::socket)>;

  // `name` starts the loop's lines on standard error. The loop must outlive
  // the runs of the acceptor's I/O context.
  AcceptLoop(asio::ip::tcp::acceptor& acceptor, std::string name, OnAccept onAccept);
  AcceptLoop(const AcceptLoop&) = delete;
  AcceptLoop& operator=(const AcceptLoop&) = delete;

  void Start();

 private:
  void OnAccepted(const asio::error_code& error, asio::ip::tcp::socket socket);

  asio::ip::tcp::acceptor& acceptor_;
  asio::steady_timer retry_;
  std::string name_;
  OnAccept onAccept_;
  bool starved_ = false;  // out of descriptors since the last line said so
  int refusedTries_ = 0;  // accepts that failed while starved
};
