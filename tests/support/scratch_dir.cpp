// A fresh temporary directory per test, made with std::filesystem so the helper builds on any
// platform.
#include "tests/support/scratch_dir.h"

#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#endif

namespace kestrune::test {
namespace {

// Names are drawn at random until one is free, so parallel test runs never share a directory.
std::filesystem::path CreateUniqueDirectory() {
  const std::filesystem::path base = std::filesystem::temp_directory_path();
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::filesystem::path candidate = base / ("kestrune-" + std::to_string(random()));
    if (std::filesystem::create_directory(candidate)) return candidate;
  }
  throw std::runtime_error("no free name for a scratch directory in " + base.string());
}

}  // namespace

ScratchDir::ScratchDir() : path_(CreateUniqueDirectory()) {}

ScratchDir::~ScratchDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string ScratchDir::PathOf(const std::string& name) const { return (path_ / name).string(); }

#ifdef _WIN32
std::string NativePath(const std::filesystem::path& path) {
  const std::wstring& wide = path.native();
  const int size = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
  if (size <= 0) throw std::runtime_error("no ANSI form of " + path.string());
  std::string text(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, &text[0], size, nullptr, nullptr);
  text.resize(static_cast<std::size_t>(size) - 1);
  return text;
}
#else
std::string NativePath(const std::filesystem::path& path) { return path.string(); }
#endif

void WriteWholeFile(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  file.close();
  if (!file) throw std::runtime_error("cannot write " + path.string());
}

std::string ReadWholeFile(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) throw std::runtime_error("cannot read " + path.string());
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

}  // namespace kestrune::test
