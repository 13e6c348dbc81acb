#include "termlink/link_test_support.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <random>

#include "termlink/record_table.h"
#include "termlink/wire_codec.h"

AnswerRecorder& AnswerRecorder::Get() {
  // Never destroyed: a connection's reader thread may still call back while
  // the test process exits.
  static AnswerRecorder* recorder = new AnswerRecorder;
  return *recorder;
}

void AnswerRecorder::Reset() {
  std::lock_guard lock(mutex_);
  answers_.clear();
  losses_ = 0;
  hook_ = nullptr;
}

bool AnswerRecorder::WaitForAnswers(size_t count, std::chrono::milliseconds timeout) {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, timeout, [&] { return answers_.size() >= count; });
}

bool AnswerRecorder::WaitForLosses(int count, std::chrono::milliseconds timeout) {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, timeout, [&] { return losses_ >= count; });
}

std::vector<RecordedAnswer> AnswerRecorder::Answers() {
  std::lock_guard lock(mutex_);
  return answers_;
}

int AnswerRecorder::Losses() {
  std::lock_guard lock(mutex_);
  return losses_;
}

void AnswerRecorder::SetHook(void (*hook)(const RequestPacket&)) {
  std::lock_guard lock(mutex_);
  hook_ = hook;
}

int AnswerRecorder::DataCallback(RequestPacket answer) {
  AnswerRecorder& self = Get();
  const auto* data = static_cast<const uint8_t*>(answer.Data);
  RecordedAnswer copy{answer.Address ? answer.Address : "",
                      answer.Id,
                      answer.Channel,
                      answer.Code,
                      answer.InterpreterGroup,
                      answer.InterpreterId,
                      answer.Direction,
                      std::vector<uint8_t>(data, data + answer.DataLength),
                      std::this_thread::get_id()};
  void (*hook)(const RequestPacket&);
  {
    std::lock_guard lock(self.mutex_);
    self.answers_.push_back(std::move(copy));
    hook = self.hook_;
  }
  self.changed_.notify_all();
  if (hook) hook(answer);
  return 1;
}

int AnswerRecorder::SecondCallback() {
  AnswerRecorder& self = Get();
  {
    std::lock_guard lock(self.mutex_);
    ++self.losses_;
  }
  self.changed_.notify_all();
  return 1;
}

void RegisterLibrary() {
  SetCommLibrary(1, "TLTCPIP.DLL");
  AddInterpreter(100, 5000, "Interp5000.dll");
  AddInterpreter(100, 5010, "Interp5010.dll");
  AddInterpreter(100, 16, "Interp16.dll");
}

int AddConnection(const std::string& address, int port, int interval, int retry) {
  return AddProcConnection(1, address.c_str(), port, 100, 5010, interval, retry, 9,
                           &AnswerRecorder::DataCallback, &AnswerRecorder::SecondCallback);
}

RequestPacket Request(const std::string& address, uint8_t code, uint16_t direction,
                      std::vector<uint8_t>& record) {
  RequestPacket packet{};
  packet.Id = -1;
  packet.Address = address.c_str();
  packet.Channel = 1;
  packet.Code = code;
  packet.InterpreterGroup = 100;
  packet.InterpreterId = 5010;
  packet.Direction = direction;
  packet.DataLength = static_cast<uint16_t>(record.size());
  packet.Data = record.data();
  return packet;
}

std::vector<uint8_t> FilledRecord(uint8_t code, int64_t number, unsigned seed) {
  const termlink::RecordKind& kind = *termlink::FindRecordKind(code);
  std::vector<uint8_t> record(kind.size);
  std::mt19937 random(seed);
  for (uint8_t& byte : record) byte = static_cast<uint8_t>(random());
  termlink::SetRecordNumber(kind, record, number);
  return record;
}

std::vector<uint8_t> AskFor(uint8_t code, int64_t number) {
  const termlink::RecordKind& kind = *termlink::FindRecordKind(code);
  std::vector<uint8_t> record(kind.size, 0);
  termlink::SetRecordNumber(kind, record, number);
  return record;
}

std::string StatusCode(const RecordedAnswer& answer) {
  const termlink::RecordKind& kind = *termlink::FindRecordKind(answer.code);
  std::string text(termlink::StatusText(kind, answer.data));
  size_t colon = text.find(':');
  if (colon == std::string::npos || colon + 3 >= text.size()) return "";
  return text.substr(colon + 2, 2);
}

int64_t NumberOf(const RecordedAnswer& answer) {
  return termlink::RecordNumber(*termlink::FindRecordKind(answer.code), answer.data);
}

bool WaitForIsConnect(const std::string& address, int wanted, std::chrono::milliseconds timeout) {
  auto deadline = std::chrono::steady_clock::now() + timeout;
  while (IsConnect(address.c_str(), -1) != wanted) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}

int Listen(const std::string& address, int& port, int receiveBuffer) {
  int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (receiveBuffer > 0) {
    setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
  }
  sockaddr_in where{};
  where.sin_family = AF_INET;
  inet_pton(AF_INET, address.c_str(), &where.sin_addr);
  bind(fd, reinterpret_cast<sockaddr*>(&where), sizeof where);
  listen(fd, 4);
  socklen_t size = sizeof where;
  getsockname(fd, reinterpret_cast<sockaddr*>(&where), &size);
  port = ntohs(where.sin_port);
  return fd;
}

std::vector<uint8_t> Greeting() {
  termlink::FrameHeader header;
  header.type = termlink::FrameType::kGreeting;
  std::vector<uint8_t> bytes;
  termlink::AppendFrame(bytes, header, nullptr);
  return bytes;
}
