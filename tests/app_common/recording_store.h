// Test helper: a settings store in memory that records every access in order.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "app/common/settings_schema.h"

namespace kestrune::test {

// Records each access as "<op> <section>/<key>[=value]", and "flush".
class RecordingStore : public ProfileStore {
 public:
  std::map<std::string, std::string> strings;
  std::map<std::string, int> ints;
  std::vector<std::string> log;
  bool flush_succeeds = true;

  std::string ReadString(const char* section, const char* key, const char* fallback) override {
    const std::string name = Name(section, key);
    log.push_back("read " + name);
    const auto found = strings.find(name);
    return found == strings.end() ? fallback : found->second;
  }
  int ReadInt(const char* section, const char* key, int fallback) override {
    const std::string name = Name(section, key);
    log.push_back("read " + name);
    const auto found = ints.find(name);
    return found == ints.end() ? fallback : found->second;
  }
  void WriteString(const char* section, const char* key, const std::string& value) override {
    log.push_back("write " + Name(section, key) + "=" + value);
    strings[Name(section, key)] = value;
  }
  void WriteInt(const char* section, const char* key, int value) override {
    log.push_back("write " + Name(section, key) + "=" + std::to_string(value));
    ints[Name(section, key)] = value;
  }
  bool Flush() override {
    log.push_back("flush");
    return flush_succeeds;
  }

 private:
  static std::string Name(const char* section, const char* key) {
    return std::string(section) + "/" + key;
  }
};

}  // namespace kestrune::test
