// Drives vpn.exe from a test, as a user would: a throwaway installation,
// the process, its windows and message boxes, all reached from outside.
#pragma once

#include <windows.h>

#include <chrono>
#include <string>
#include <vector>

namespace e2e {

// A copy of the build's installation (bin/: deliverables and conf/) in a
// fresh temporary folder, removed again at the end.
class Installation {
 public:
  Installation();
  ~Installation();
  Installation(const Installation&) = delete;
  Installation& operator=(const Installation&) = delete;

  const std::wstring& Folder() const { return folder_; }
  std::wstring Path(const std::wstring& relative) const { return folder_ + L"\\" + relative; }
  void WriteFile(const std::wstring& relative, const std::string& bytes) const;
  std::string ReadFile(const std::wstring& relative) const;
  void Remove(const std::wstring& relative) const;

 private:
  std::wstring folder_;
};

// One running vpn.exe; ended at destruction if still running.
class Program {
 public:
  explicit Program(const Installation& installation, const std::wstring& currentFolder = L"");
  ~Program();
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  bool Running() const;
  // Waits for the process to end; true when it did within the time.
  bool WaitForExit(std::chrono::milliseconds timeout) const;

  // A visible top-level window of the process with this class and, when
  // given, this title; null after the time-out.
  HWND WaitForWindow(const wchar_t* windowClass, const std::wstring& title = L"",
                     std::chrono::milliseconds timeout = std::chrono::seconds(15)) const;
  // The dialog window of the given template: first visible #32770 that is
  // not a message box.
  HWND WaitForDialog(std::chrono::milliseconds timeout = std::chrono::seconds(15)) const;
  // A message box of the process: its text (control 0xFFFF) and window.
  struct MessageBox {
    HWND window = nullptr;
    std::wstring text;
    std::wstring caption;
  };
  MessageBox WaitForMessageBox(std::chrono::milliseconds timeout = std::chrono::seconds(15)) const;

 private:
  std::vector<HWND> TopLevelWindows() const;
  PROCESS_INFORMATION info_{};
};

std::wstring TextOf(HWND window);
std::wstring ItemText(HWND dialog, int id);
bool IsItemChecked(HWND dialog, int id);
void Click(HWND dialog, int id);
// Presses a message box's button (IDOK, IDYES, IDNO, ...).
void Answer(const Program::MessageBox& box, int button);

// A key of the installation's conf\config.ini, as the program writes it.
void Configure(const Installation& installation, const wchar_t* key, const std::wstring& value);
// The text enciphered under the service's key by the built dravik.dll.
std::wstring Encipher(const std::wstring& text);

}  // namespace e2e
