// The application object: names the settings store and runs the main dialog.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "app/win32/registry_profile_store.h"

namespace kestrune {

class CConvertApp {
 public:
  // Names the settings store, runs the main dialog modally (input_file, when given, in its
  // input field) and returns false: the process then ends, with no message loop of its own.
  bool InitInstance(const std::optional<std::string>& input_file);

 private:
  void SetRegistryKey(const char* company);

  std::unique_ptr<RegistryProfileStore> m_profile;
};

// The program's single application object.
CConvertApp& TheApp();

}  // namespace kestrune
