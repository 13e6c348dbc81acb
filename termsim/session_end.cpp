// The sending half of a session and the end of its connection. A connection
// that ends still delivers the answers already due: the sending side ends
// only once they have gone out, and the socket closes only once the
// library's side has ended too, for closing over unread input would reset
// the connection and could take those answers with it. Input that comes
// after the end is read and dropped; kEndingTime bounds the whole end.
#include "termsim/session.h"

#include <iostream>

#include <asio/write.hpp>

#include "termlink/send_now.h"

void Session::Send(const std::vector<uint8_t>& bytes) {
  if (closed_) return;
  const size_t queued = queued_.size() + unsent_ + bytes.size();
  if (queued > kMaxQueuedAnswerBytes) {
    CloseNow("answers not read: " + std::to_string(queued) + " bytes queued, limit " +
                 std::to_string(kMaxQueuedAnswerBytes),
             true);
    return;
  }
  queued_.insert(queued_.end(), bytes.begin(), bytes.end());
  if (!writing_) StartWrite();
}

void Session::StartWrite() {
  size_t sent = 0;
  do {
    if (closed_ || queued_.empty()) {
      writing_ = false;
      FinishIfDone();
      return;
    }
    writing_ = true;
    sending_.swap(queued_);
    queued_.clear();
    std::string error;
    sent = termlink::SendNow(socket_.native_handle(), sending_, error);
    if (!error.empty()) {
      CloseNow(error);
      return;
    }
  } while (sent == sending_.size());
  // The socket's buffer is full: the rest goes out when the library reads.
  unsent_ = sending_.size() - sent;
  asio::async_write(socket_, asio::buffer(sending_.data() + sent, unsent_),
                    [self = shared_from_this()](const asio::error_code& error, size_t) {
                      self->unsent_ = 0;
                      if (error) {
                        self->CloseNow(error.message());
                        return;
                      }
                      self->StartWrite();
                    });
}

void Session::Close(const std::string& why, bool protocolError) {
  if (ending_) return;
  ending_ = true;
  // A library that breaks the protocol is worth a line even when not verbose.
  if (protocolError || verbose_) {
    std::cerr << terminal_.address() << ": connection closed: " << why << std::endl;
  }
  delay_.cancel();
  endBy_.expires_after(kEndingTime);
  endBy_.async_wait([self = shared_from_this()](const asio::error_code& error) {
    if (!error) self->CloseNow("");
  });
  ReadMore();
  FinishIfDone();
}

void Session::EndOfInput(const asio::error_code& error) {
  inputEnded_ = true;
  if (error != asio::error::eof) {
    CloseNow(error.message());
    return;
  }
  Close("closed by the library");
  FinishIfDone();
}

void Session::FinishIfDone() {
  if (!ending_ || writing_ || closed_) return;
  asio::error_code ignored;
  if (!sendEnded_) {
    sendEnded_ = true;
    socket_.shutdown(asio::ip::tcp::socket::shutdown_send, ignored);
  }
  if (inputEnded_) CloseNow("");
}

void Session::CloseNow(const std::string& why, bool always) {
  if (closed_) return;
  // After Close the reason has been told already.
  if (!why.empty() && !ending_ && (always || verbose_)) {
    std::cerr << terminal_.address() << ": connection closed: " << why << std::endl;
  }
  ending_ = true;
  closed_ = true;
  asio::error_code ignored;
  delay_.cancel();
  endBy_.cancel();
  socket_.close(ignored);
}
