#include "core/main_window_creation_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "support/errors.h"

namespace {

// A window that cannot be created ends the run by the error box instead of leaving the Runner
// spinning without a window: here the class was never registered.
TEST(CreateMainWindow, AWindowThatCannotBeCreatedIsAnErrorNamingTheCall) {
  vm::WindowLayout layout;
  layout.Style = WS_POPUP | WS_SYSMENU;
  layout.Width = 640;
  layout.Height = 480;
  try {
    vm::CreateMainWindow(layout, GetModuleHandleA(nullptr));
    FAIL() << "created a window of a class that is not registered";
  } catch (const vm::Exception& e) {
    const std::string text = e.what();
    EXPECT_EQ(text.rfind("CreateWindowExA failed for GaGaMossantWindow (error ", 0), 0u) << text;
    EXPECT_EQ(text.back(), ')') << text;
  }
}

}  // namespace
