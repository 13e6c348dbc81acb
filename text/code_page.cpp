#include "text/code_page.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <mutex>
#include <stdexcept>

#include "text/utf8.h"

namespace {

// One direction of conversion. An iconv descriptor holds a state, so one
// conversion at a time uses it.
class Converter {
 public:
  Converter(const std::string& to, const std::string& from)
      : cd_(iconv_open(to.c_str(), from.c_str())) {}
  ~Converter() {
    if (Opened()) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  bool Opened() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  // Converts `in` onto the end of `out` until it is done or a byte cannot
  // be taken; returns the number of bytes of `in` taken.
  std::size_t Convert(std::string_view in, std::string& out) {
    const std::lock_guard lock(mutex_);
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char* inPtr = const_cast<char*>(in.data());
    std::size_t inLeft = in.size();
    for (;;) {
      const std::size_t used = out.size();
      out.resize(used + inLeft * 4 + 16);
      char* outPtr = out.data() + used;
      std::size_t outLeft = out.size() - used;
      const std::size_t result = iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft);
      const int error = errno;
      if (result != static_cast<std::size_t>(-1)) {
        iconv(cd_, nullptr, nullptr, &outPtr, &outLeft);  // a final shift back
      }
      out.resize(static_cast<std::size_t>(outPtr - out.data()));
      if (result == static_cast<std::size_t>(-1) && error == E2BIG) continue;
      return in.size() - inLeft;
    }
  }

 private:
  iconv_t cd_;
  std::mutex mutex_;
};

constexpr const char* kUtf8 = "UTF-8";
constexpr const char* kReplacement = "\xEF\xBF\xBD";  // U+FFFD

bool NamesNone(std::string_view name) {
  return name.size() == 4 && (name[0] | 0x20) == 'n' && (name[1] | 0x20) == 'o' &&
         (name[2] | 0x20) == 'n' && (name[3] | 0x20) == 'e';
}

// Whether the set gives every ASCII byte back as it is, in both directions,
// each byte on its own: a set that puts letters below 32 (TCVN, VISCII) would
// pass a control character through a file's check and print a letter for it.
// A set with shift states (ISO-2022-*) takes ESC, SO or SI as the start of a
// shift, which a byte on its own cannot end, and UTF-7 writes "+" as "+-".
bool KeepsAscii(Converter& toTerminal, Converter& toUtf8) {
  for (int c = 0; c < 0x80; ++c) {
    const std::string byte(1, static_cast<char>(c));
    std::string terminal, back;
    toTerminal.Convert(byte, terminal);
    toUtf8.Convert(byte, back);
    if (terminal != byte || back != byte) return false;
  }
  return true;
}

}  // namespace

struct CodePage::Conversions {
  explicit Conversions(const std::string& name) : toTerminal(name, kUtf8), toUtf8(kUtf8, name) {}
  Converter toTerminal;
  Converter toUtf8;
};

CodePage::CodePage() {
  static const CodePage defaultPage = [] {
    auto page = Named(kDefaultCodePage);
    if (!page) throw std::runtime_error(UnknownCodePageMessage(kDefaultCodePage));
    return *page;
  }();
  *this = defaultPage;
}

std::optional<CodePage> CodePage::Named(std::string_view name) {
  CodePage page(name);
  if (NamesNone(name)) return page;
  if (name.empty() || name.find('/') != std::string_view::npos) return std::nullopt;
  page.conversions_ = std::make_shared<Conversions>(page.name_);
  if (!page.conversions_->toTerminal.Opened() || !page.conversions_->toUtf8.Opened()) {
    return std::nullopt;
  }
  if (!KeepsAscii(page.conversions_->toTerminal, page.conversions_->toUtf8)) return std::nullopt;
  return page;
}

TerminalText CodePage::FromUtf8(std::string_view utf8) const {
  if (PassesBytes() || IsAscii(utf8)) return {std::string(utf8), std::nullopt};
  TerminalText text;
  const std::size_t taken = conversions_->toTerminal.Convert(utf8, text.bytes);
  if (taken == utf8.size()) return text;
  const auto rest = utf8.substr(taken);
  const std::size_t length = std::min(Utf8CharacterLength(static_cast<unsigned char>(rest[0])),
                                      std::max<std::size_t>(ValidUtf8Prefix(rest), 1));
  text.missing = MissingCharacter{std::string(rest.substr(0, length)),
                                  CharactersIn(utf8.substr(0, taken)) + 1};
  text.bytes.clear();
  return text;
}

std::string CodePage::ToUtf8(std::string_view bytes) const {
  if (PassesBytes() || IsAscii(bytes)) return std::string(bytes);
  std::string utf8;
  while (!bytes.empty()) {
    const std::size_t taken = conversions_->toUtf8.Convert(bytes, utf8);
    if (taken == bytes.size()) break;
    utf8 += kReplacement;
    bytes.remove_prefix(taken + 1);
  }
  return utf8;
}

std::string UnknownCodePageMessage(std::string_view name) {
  return "The character set '" + std::string(name) +
         "' is not one the system converts, or it does not keep ASCII and its control "
         "characters as they are: name one "
         "such as windows-1252, ISO-8859-2 or CP437, or none !";
}
