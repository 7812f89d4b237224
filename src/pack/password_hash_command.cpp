#include "config/password_hash.h"
#include "pack/arguments.h"
#include "pack/code_page.h"
#include "pack/commands.h"

namespace vm::pack {
namespace {

constexpr char kHelp[] =
    "Usage: vmpack password-hash TEXT [--codepage N]\n"
    "\n"
    "Prints, as an unsigned decimal number, the check value that the settings store for the\n"
    "password TEXT, as the Runner computes it from the bytes a user types in the code page N.\n"
    "Blanks and control characters around TEXT do not count; letter case does. Put -- before\n"
    "a TEXT that starts with a dash. vmpack build --password stores the value for you.\n"
    "\n"
    "Options:\n"
    "  --codepage N  the code page of the users' Windows (default 1252)\n"
    "  -h, --help    show this help\n";

}  // namespace

int RunPasswordHash(const std::vector<std::string>& args, Console& console) {
  const std::vector<ArgumentItem> items = ParseArguments(args, {kCodePageOption, kHelpOption});
  if (HasOption(items, kHelpOption.LongName)) {
    console.Out << kHelp;
    return kExitSuccess;
  }
  const std::string text = SingleOperand(items, "TEXT");
  const CodePage codePage = CodePage::FromOption(SingleValue(items, kCodePageOption.LongName));
  RandomGenerator rng;
  console.Out << PasswordHash(codePage.FromHost(text, "The password"), true, rng) << "\n";
  return kExitSuccess;
}

}  // namespace vm::pack
