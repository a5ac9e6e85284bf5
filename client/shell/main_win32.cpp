#include <windows.h>

#include "client/shell/roze_app.h"

namespace {

// Libraries load from the program folder (by full path) or System32 only:
// never from the current folder or PATH, where a planted DLL could wait.
void RestrictLibrarySearch() {
  SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_APPLICATION_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32);
  SetDllDirectoryW(L"");
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  RestrictLibrarySearch();
  RozeApp app;
  app.InitInstance();
  return 0;
}
