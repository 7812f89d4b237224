#pragma once

#include <windows.h>

#include <exception>

#include "support/ansi_path_win.h"

namespace vm {

// The "Exception occured: " box, owned by the main window, for an error that escaped the
// handling of a message.
void ReportException(HWND owner, const std::exception& error);

// The task-modal "Application Error" box for an error that escaped start-up.
void ReportFatalException(const std::exception& error);

// The task-modal box that names a folder the Runner cannot use for its name and says what to do.
void ReportUnheldPath(const UnheldPathError& error);

}  // namespace vm
