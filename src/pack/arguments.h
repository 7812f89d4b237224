#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace vm::pack {

// A command line that does not fit the command's synopsis. It ends the program with exit code 2
// and a hint to --help, unlike a refusal of the input itself.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct KnownOption {
  std::string LongName;   // "--session"
  std::string ShortName;  // "-o", or empty
  bool TakesValue = false;
};

// One item of a parsed command line, in the order given, so that an option may apply to the
// operands after it.
struct ArgumentItem {
  std::string Option;  // the option's long name; empty for an operand
  std::string Value;   // the option's value, or the operand
};

// Splits args into options and operands. A value follows its option as the next argument, or
// after "=" (--session=NAME) or directly (-oOUT.exe); "--" ends the options. Unknown options and
// missing values raise UsageError.
std::vector<ArgumentItem> ParseArguments(const std::vector<std::string>& args,
                                         const std::vector<KnownOption>& knownOptions);

bool HasOption(const std::vector<ArgumentItem>& items, const std::string& longName);
// The value of an option that may be given once; UsageError when it is given twice.
std::optional<std::string> SingleValue(const std::vector<ArgumentItem>& items,
                                       const std::string& longName);
std::vector<std::string> Operands(const std::vector<ArgumentItem>& items);
// The one operand a command takes; UsageError naming `what` when there is none or more.
std::string SingleOperand(const std::vector<ArgumentItem>& items, const std::string& what);

extern const KnownOption kHelpOption;
// --codepage N: the code page of the names and passwords in the payload (code_page.h).
extern const KnownOption kCodePageOption;

}  // namespace vm::pack
