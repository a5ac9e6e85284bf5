// The one process-wide state of the program, shared by its dialogs and its
// worker threads. Texts are written on the user-interface thread before any
// worker that reads them starts; the flags are atomics.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

class CTableDlg;
class CMainDlg;
class CBuyDlg;
class CHelpDlg;

// Window and module handles, opaque to portable code.
using WindowHandle = void*;
using ModuleHandle = void*;

// Protocol of the current attempt or connection.
enum DialMode : std::int32_t { kDialNone = 0, kDialPptp = 1, kDialL2tp = 2, kDialOpenVpnUdp = 3, kDialOpenVpnTcp = 4 };

inline constexpr char16_t kDefaultWindowTitle[] = u"Lumetra v3.1.1";
inline constexpr char16_t kDefaultOrigin[] = u"0";

struct ClientState {
  std::u16string appFolder;     // folder of vpn.exe, no trailing backslash
  std::u16string configPath;    // appFolder + "\conf\config.ini"
  std::u16string languagePath;  // language file chosen at start-up
  std::u16string userName;
  std::u16string password;  // lower-cased, in clear
  std::u16string sessionId;
  std::u16string serverHost;
  std::u16string apiBase;
  std::u16string origin = kDefaultOrigin;
  std::u16string jxKey;
  std::u16string jxAnswer;
  std::u16string loginAnswer;
  std::u16string windowTitle = kDefaultWindowTitle;
  std::atomic<std::int32_t> connected{0};
  std::atomic<std::int32_t> updateAvailable{0};
  std::atomic<std::int32_t> dialMode{kDialNone};
  ModuleHandle dravikModule = nullptr;  // loaded once, never unloaded
  CTableDlg* mainFrame = nullptr;
  WindowHandle mainFrameWindow = nullptr;
  CMainDlg* acceleratePage = nullptr;
  WindowHandle acceleratePageWindow = nullptr;
  CBuyDlg* rechargePage = nullptr;
  CHelpDlg* faqPage = nullptr;
};

// appFolder is the program file's path cut before its last backslash.
std::u16string FolderOfProgram(std::u16string_view programPath);
std::u16string ConfigPathOf(std::u16string_view appFolder);
