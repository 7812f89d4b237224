#pragma once

#include <windows.h>

#include <exception>

namespace vm {

// The "Exception occured: " box, owned by the main window, for an error that escaped the
// handling of a message.
void ReportException(HWND owner, const std::exception& error);

// The task-modal "Application Error" box for an error that escaped start-up.
void ReportFatalException(const std::exception& error);

}  // namespace vm
