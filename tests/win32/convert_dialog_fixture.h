// Test fixture: the main dialog running on a thread of its own, with settings of its own in the
// registry.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "res/dialog_templates.h"
#include "tests/win32/dialog_driver.h"
#include "tests/win32/registry_values.h"

namespace kestrune::test {

constexpr const char* kMainCaption = kIDD_CONVERT_DIALOG.caption;

// Each test keeps its settings under an application name of its own, so tests may run
// side by side; they are removed before and after.
class ConvertDialogTest : public ::testing::Test {
 protected:
  ConvertDialogTest();
  ~ConvertDialogTest() override;

  // Opens the main dialog; null when it did not appear.
  HWND Open();
  // True when the dialog's thread ended in time.
  bool Ended() const { return thread_->WaitForEnd(); }
  std::optional<StoredValue> Stored(const char* name) const {
    return ReadStoredValue(OptionsKeyOf(application_), name);
  }
  void Store(const char* name, const StoredValue& value) const {
    StoreValue(OptionsKeyOf(application_), name, value);
  }

  std::string application_;
  std::unique_ptr<DialogThread> thread_;
  HWND dialog_ = nullptr;
};

}  // namespace kestrune::test
