#include "config/password_hash.h"
#include "pack/arguments.h"
#include "pack/commands.h"

namespace vm::pack {
namespace {

constexpr char kHelp[] =
    "Usage: vmpack password-hash TEXT\n"
    "\n"
    "Prints, as an unsigned decimal number, the check value that the settings store for the\n"
    "password TEXT. Blanks and control characters around TEXT do not count; letter case does.\n"
    "Put -- before a TEXT that starts with a dash.\n"
    "\n"
    "Options:\n"
    "  -h, --help  show this help\n";

}  // namespace

int RunPasswordHash(const std::vector<std::string>& args, Console& console) {
  const std::vector<ArgumentItem> items = ParseArguments(args, {kHelpOption});
  if (HasOption(items, kHelpOption.LongName)) {
    console.Out << kHelp;
    return kExitSuccess;
  }
  const std::string text = SingleOperand(items, "TEXT");
  RandomGenerator rng;
  console.Out << PasswordHash(text, true, rng) << "\n";
  return kExitSuccess;
}

}  // namespace vm::pack
