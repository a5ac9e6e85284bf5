#include "netcore/library_win32.h"

#include <mutex>
#include <thread>

namespace netcore {
namespace {

std::wstring ModuleFolder() {
  HMODULE self = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&ModuleFolder), &self);
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD n = GetModuleFileNameW(self, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return L"";
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    path.resize(path.size() * 2);
  }
  return path.substr(0, path.find_last_of(L"\\/") + 1);
}

class Win32Event : public CompletionEvent {
 public:
  explicit Win32Event(HANDLE event) : event_(event) {}
  ~Win32Event() override { CloseHandle(event_); }
  void Signal() override { SetEvent(event_); }
  bool Wait(std::uint32_t milliseconds) override { return WaitForSingleObject(event_, milliseconds) == WAIT_OBJECT_0; }

 private:
  HANDLE event_;
};

}  // namespace

HMODULE LoadOwnLibrary(const wchar_t* fileName) {
  std::wstring folder = ModuleFolder();
  if (folder.empty()) return nullptr;
  return LoadLibraryExW((folder + fileName).c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

HMODULE LoadSystemLibrary(const wchar_t* fileName) {
  wchar_t folder[MAX_PATH];
  UINT n = GetSystemDirectoryW(folder, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return nullptr;
  return LoadLibraryW((std::wstring(folder, n) + L"\\" + fileName).c_str());
}

std::unique_ptr<CompletionEvent> SyncWin32::NewCompletionEvent(std::uint32_t& error) {
  HANDLE event = ::CreateEventW(nullptr, FALSE, FALSE, nullptr);
  if (!event) {
    error = GetLastError();
    return nullptr;
  }
  return std::make_unique<Win32Event>(event);
}

void SyncWin32::Sleep(std::uint32_t milliseconds) { ::Sleep(milliseconds); }

void SyncWin32::StartWorker(std::function<void()> work) {
  // Workers own their job and end on their own; the library is never unloaded.
  try {
    std::thread(std::move(work)).detach();
  } catch (...) {
  }
}

Library& TheLibrary() {
  static Library* library = [] {
    // Workers and the Remote Access notifier run our code on their own
    // threads: the module must outlive any FreeLibrary of a caller.
    HMODULE self = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                       reinterpret_cast<LPCWSTR>(&TheLibrary), &self);
    HMODULE metric = LoadOwnLibrary(L"metric.dll");
    if (!metric) MessageBoxA(nullptr, "load metric.dll fail!", "dravik", MB_OK);
    return new Library(metric);  // lives as long as the process
  }();
  return *library;
}

}  // namespace netcore
