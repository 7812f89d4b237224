#pragma once

// The names of the Runner's resources (runner.rc), which its code loads by name.
namespace vm {

constexpr char kMainIconName[] = "MAINICON";
constexpr char kPasswordDialogName[] = "PW_DIALOG";

}  // namespace vm
