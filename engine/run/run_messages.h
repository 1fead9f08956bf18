#pragma once
// The lines a run shows outside its log: the task window's status line and folder labels,
// and the main window's caption-bar tip or warning. Each is sent, so the text only has to
// live for the call; a run whose task has no such window sends nothing.

#include <string>

#include "platform/core/win_types.h"

struct SyncRunBlock;

// WM_SYNC_LOG_LINE's l to a task window and to the main window.
inline constexpr LPARAM kLeftLabel = 0;
inline constexpr LPARAM kRightLabel = 1;
inline constexpr LPARAM kStatusLine = 2;
inline constexpr LPARAM kCaptionTip = 0;
inline constexpr LPARAM kCaptionWarning = 255;

// The main window of the thread that asked for the run (the task's startThread).
HWND RunMainWindow(const SyncRunBlock& run);

// The task window's answer to WM_SYNC_QUERY_STOP: true once its Stop button was pressed.
// A run without a task window is never stopped.
bool StopPressedIn(HWND taskWindow);

// Sends `text` to a task window's label or status line (`where`); null sends nothing.
void SendWindowLine(HWND window, const char* text, LPARAM where);

void SendTaskLine(const SyncRunBlock& run, const std::string& text, LPARAM where);
void SendMainWindowLine(const SyncRunBlock& run, const std::string& text, LPARAM kind);
