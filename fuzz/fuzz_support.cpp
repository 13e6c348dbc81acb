#include "fuzz/fuzz_support.h"

#include <unistd.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

void FuzzFailure(const std::string& what) {
  std::fprintf(stderr, "fuzz invariant broken: %s\n", what.c_str());
  std::abort();
}

void FuzzLoop::RunPending() {
  while (!posted_.empty()) {
    auto fn = std::move(posted_.front());
    posted_.pop_front();
    fn();
  }
}

FuzzProgram::FuzzProgram(const LinkLibrary& link)
    : program(std::make_unique<Program>(loop, view, link, ScratchFolder() + "/orlent")) {}

namespace {

void RemoveScratchFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(ScratchFolder(), ignored);
}

}  // namespace

const std::string& ScratchFolder() {
  // Never destroyed: the removal at exit still needs the name.
  static const std::string& folder = *[] {
    auto path =
        std::filesystem::temp_directory_path() / ("orlent-fuzz-" + std::to_string(getpid()));
    std::filesystem::create_directories(path);
    auto* name = new std::string(path.string());
    std::atexit(RemoveScratchFolder);
    return name;
  }();
  return folder;
}

std::string WriteScratchFile(const std::string& name, std::string_view bytes) {
  const std::string path = ScratchFolder() + "/" + name;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) FuzzFailure("cannot write the scratch file " + path);
  return path;
}

std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
