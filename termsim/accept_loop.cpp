#include "termsim/accept_loop.h"

#include <cerrno>
#include <iostream>

namespace {

// Failures that last until something else frees descriptors or memory.
bool OutOfResources(const asio::error_code& error) {
  if (error.category() != asio::system_category()) return false;
  const int value = error.value();
  return value == EMFILE || value == ENFILE || value == ENOBUFS || value == ENOMEM;
}

}  // namespace

AcceptLoop::AcceptLoop(asio::ip::tcp::acceptor& acceptor, std::string name, OnAccept onAccept)
    : acceptor_(acceptor),
      retry_(acceptor.get_executor()),
      name_(std::move(name)),
      onAccept_(std::move(onAccept)) {}

void AcceptLoop::Start() {
  acceptor_.async_accept([this](const asio::error_code& error, asio::ip::tcp::socket socket) {
    OnAccepted(error, std::move(socket));
  });
}

void AcceptLoop::OnAccepted(const asio::error_code& error, asio::ip::tcp::socket socket) {
  if (error == asio::error::operation_aborted) return;
  if (OutOfResources(error)) {
    ++refusedTries_;
    if (!starved_) {
      starved_ = true;
      std::cerr << name_ << ": cannot accept a connection: " << error.message()
                << "; trying again every " << kAcceptRetryTime.count() << " ms" << std::endl;
    }
    retry_.expires_after(kAcceptRetryTime);
    retry_.async_wait([this](const asio::error_code& waitError) {
      if (!waitError) Start();
    });
    return;
  }
  if (!error) {
    if (starved_) {
      starved_ = false;
      std::cerr << name_ << ": accepting connections again after " << refusedTries_ << " tries"
                << std::endl;
      refusedTries_ = 0;
    }
    onAccept_(std::move(socket));
  }
  Start();
}
