// The application object: owns the process-wide state and runs the login
// dialog, the program's main window for the whole run.
#pragma once

#include "client/shell/app_context.h"
#include "client/shell/platform_win32.h"

class RozeApp {
 public:
  RozeApp();
  // Runs the program; returns false, so the process ends when it returns.
  bool InitInstance();

 private:
  ClientState state_;
  ProfileIniFiles ini_;
  SystemCodePage codePage_;
  DravikExports dravik_{state_};
  AppContext context_;
};
