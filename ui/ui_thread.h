// Work for the user-interface thread, and worker threads that hand their
// results back to it. All windows live on the UI thread; a worker never
// touches one: it posts a closure, which the UI thread runs in posting order.
#pragma once

#include <windows.h>

#include <functional>

namespace ui {

// Call once on the UI thread before anything is posted.
bool AttachUiThread();

// Queues `work` for the UI thread; callable from any thread. Work posted after
// the UI thread has gone is dropped (and destroyed) without running.
void PostToUi(std::function<void()> work);

// Like PostToUi, but runs only when `window` still exists at that moment.
void PostToWindow(HWND window, std::function<void()> work);

// Starts a worker thread that owns `job` and ends when it returns.
void StartWorker(std::function<void()> job);

}  // namespace ui
