#include "tests/e2e/program_driver.h"

#include <cstring>
#include <thread>

namespace e2e {
namespace {

std::wstring TestFolder() {
  wchar_t path[MAX_PATH * 2];
  DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH * 2);
  std::wstring full(path, length);
  return full.substr(0, full.find_last_of(L'\\'));
}

void CopyTree(const std::wstring& from, const std::wstring& to) {
  CreateDirectoryW(to.c_str(), nullptr);
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((from + L"\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    std::wstring name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
      CopyTree(from + L"\\" + name, to + L"\\" + name);
    else
      CopyFileW((from + L"\\" + name).c_str(), (to + L"\\" + name).c_str(), FALSE);
  } while (FindNextFileW(search, &found));
  FindClose(search);
}

void RemoveTree(const std::wstring& folder) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      std::wstring path = folder + L"\\" + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        RemoveTree(path);
      else
        DeleteFileW(path.c_str());
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  RemoveDirectoryW(folder.c_str());
}

bool HasMessageText(HWND window) { return GetDlgItem(window, 0xFFFF) != nullptr; }

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

template <typename Found>
auto Poll(std::chrono::milliseconds timeout, Found found) -> decltype(found()) {
  auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    auto result = found();
    if (result || std::chrono::steady_clock::now() > deadline) return result;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
}

}  // namespace

Installation::Installation() {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  static int counter = 0;
  folder_ = std::wstring(temp) + L"lumetra-e2e-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
            std::to_wstring(counter++);
  RemoveTree(folder_);
  CreateDirectoryW(folder_.c_str(), nullptr);
  const std::wstring bin = TestFolder();
  for (const wchar_t* file : {L"vpn.exe", L"dravik.dll", L"metric.dll"})
    CopyFileW((bin + L"\\" + file).c_str(), Path(file).c_str(), FALSE);
  CopyFileW((bin + L"\\fixtures\\update.exe").c_str(), Path(L"update.exe").c_str(), FALSE);
  CopyTree(bin + L"\\conf", Path(L"conf"));
}

Installation::~Installation() { RemoveTree(folder_); }

void Installation::WriteFile(const std::wstring& relative, const std::string& bytes) const {
  HANDLE file = CreateFileW(Path(relative).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

std::string Installation::ReadFile(const std::wstring& relative) const {
  HANDLE file = CreateFileW(Path(relative).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  std::string bytes;
  char buffer[4096];
  DWORD read = 0;
  while (::ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) bytes.append(buffer, read);
  CloseHandle(file);
  return bytes;
}

void Installation::Remove(const std::wstring& relative) const { DeleteFileW(Path(relative).c_str()); }

Program::Program(const Installation& installation, const std::wstring& currentFolder) {
  std::wstring commandLine = L"\"" + installation.Path(L"vpn.exe") + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  const std::wstring& folder = currentFolder.empty() ? installation.Folder() : currentFolder;
  CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup, &info_);
}

Program::~Program() {
  if (Running()) {
    TerminateProcess(info_.hProcess, 1);
    WaitForSingleObject(info_.hProcess, 5000);
  }
  if (info_.hProcess) CloseHandle(info_.hProcess);
  if (info_.hThread) CloseHandle(info_.hThread);
}

bool Program::Running() const { return info_.hProcess && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT; }

bool Program::WaitForExit(std::chrono::milliseconds timeout) const {
  return info_.hProcess && WaitForSingleObject(info_.hProcess, static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0;
}

std::vector<HWND> Program::TopLevelWindows() const {
  struct Search {
    DWORD processId;
    std::vector<HWND> windows;
  } search{info_.dwProcessId, {}};
  EnumWindows(
      [](HWND window, LPARAM context) -> BOOL {
        auto* s = reinterpret_cast<Search*>(context);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == s->processId && IsWindowVisible(window)) s->windows.push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.windows;
}

HWND Program::WaitForWindow(const wchar_t* windowClass, const std::wstring& title,
                            std::chrono::milliseconds timeout) const {
  return Poll(timeout, [&]() -> HWND {
    for (HWND window : TopLevelWindows())
      if (ClassOf(window) == windowClass && (title.empty() || TextOf(window) == title)) return window;
    return nullptr;
  });
}

HWND Program::WaitForDialog(std::chrono::milliseconds timeout) const {
  return Poll(timeout, [&]() -> HWND {
    for (HWND window : TopLevelWindows())
      if (ClassOf(window) == L"#32770" && !HasMessageText(window)) return window;
    return nullptr;
  });
}

Program::MessageBox Program::WaitForMessageBox(std::chrono::milliseconds timeout) const {
  HWND box = Poll(timeout, [&]() -> HWND {
    for (HWND window : TopLevelWindows())
      if (ClassOf(window) == L"#32770" && HasMessageText(window)) return window;
    return nullptr;
  });
  if (!box) return {};
  return {box, TextOf(GetDlgItem(box, 0xFFFF)), TextOf(box)};
}

std::wstring TextOf(HWND window) {
  wchar_t text[2048] = {};
  DWORD_PTR copied = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, 2048, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, &copied);
  return text;
}

std::wstring ItemText(HWND dialog, int id) { return TextOf(GetDlgItem(dialog, id)); }

bool IsItemChecked(HWND dialog, int id) {
  return SendMessageW(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Click(HWND dialog, int id) { SendMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

void Answer(const Program::MessageBox& box, int button) {
  PostMessageW(box.window, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
}

void Configure(const Installation& installation, const wchar_t* key, const std::wstring& value) {
  WritePrivateProfileStringW(L"string", key, value.c_str(), installation.Path(L"conf\\config.ini").c_str());
}

std::wstring Encipher(const std::wstring& text) {
  using CipherFn = char* (*)(const char*, const char*, char*, int);
  static HMODULE dravik = LoadLibraryW(L"dravik.dll");
  auto opa = reinterpret_cast<CipherFn>(reinterpret_cast<void*>(GetProcAddress(dravik, "opa")));
  if (!opa) return {};
  char ansi[4096] = {};
  WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, ansi, sizeof ansi - 1, nullptr, nullptr);
  char out[4096] = {};
  opa(ansi, "kt204719", out, sizeof out);
  return std::wstring(out, out + strlen(out));
}

}  // namespace e2e
