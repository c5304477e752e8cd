// Test fixture: the main dialog running on a thread of its own, with settings of its own in the
// registry.
#include "tests/win32/convert_dialog_fixture.h"

#include "app/common/settings_schema.h"
#include "app/win32/convert_dlg.h"
#include "app/win32/registry_profile_store.h"

namespace kestrune::test {

ConvertDialogTest::ConvertDialogTest() {
  const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
  application_ = std::string("KestruneTest.") + test->test_suite_name() + "." + test->name();
  DeleteApplicationKey(application_);
}

ConvertDialogTest::~ConvertDialogTest() {
  thread_.reset();
  DeleteApplicationKey(application_);
}

HWND ConvertDialogTest::Open() {
  thread_ = std::make_unique<DialogThread>([application = application_] {
    RegistryProfileStore store(kSettingsCompanyKey, application);
    CConvertDlg dlg(store);
    dlg.DoModal(nullptr);
  });
  dialog_ = thread_->WaitForDialog(kMainCaption);
  return dialog_;
}

}  // namespace kestrune::test
