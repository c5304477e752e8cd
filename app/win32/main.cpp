// The entry point of KESTRUNE.EXE: hands over to the application object.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include "app/win32/convert_app.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  kestrune::TheApp().InitInstance();
  return 0;
}
