#include "pack/vmpack.h"

#include <algorithm>
#include <exception>
#include <iterator>

#include "pack/arguments.h"
#include "pack/commands.h"
#include "pack/version.h"

namespace vm::pack {
namespace {

constexpr Command kCommands[] = {
    {"build", "copy a Runner and append a session of files to it", RunBuild},
    {"list", "show the sessions of a payload and their files", RunList},
    {"verify", "check a payload's layout and stored data", RunVerify},
    {"extract", "unpack a session into a folder", RunExtract},
    {"password-hash", "print the check value stored for a password", RunPasswordHash},
    {"settings", "print a settings file with every key and its default", RunSettings},
};

constexpr size_t kCommandColumnWidth = 15;

void PrintHelp(std::ostream& out) {
  out << "Usage: vmpack COMMAND [OPTION]... [ARGUMENT]...\n"
         "\n"
         "Builds the payload of files that the Vardel Mossant Runner carries, and lists,\n"
         "verifies and extracts payloads.\n"
         "\n"
         "Commands:\n";
  for (const Command& command : kCommands) {
    const std::string name = command.Name;
    out << "  " << name << std::string(kCommandColumnWidth - name.size(), ' ') << command.Summary
        << "\n";
  }
  out << "\n"
         "Options:\n"
         "  -h, --help     show this help\n"
         "  --version      show the version\n"
         "\n"
         "Run 'vmpack COMMAND --help' for the options of a command.\n"
         "Exit codes: 0 success, 1 failure, 2 usage error.\n";
}

const Command* FindCommand(const std::string& name) {
  auto it = std::find_if(std::begin(kCommands), std::end(kCommands),
                         [&](const Command& c) { return name == c.Name; });
  return it == std::end(kCommands) ? nullptr : it;
}

}  // namespace

int RunVmpack(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
              bool errIsTerminal) {
  std::string helpTopic = "vmpack";
  try {
    if (args.empty()) throw UsageError("missing COMMAND");
    const std::string& name = args.front();
    if (name == kHelpOption.LongName || name == kHelpOption.ShortName) {
      PrintHelp(out);
      return kExitSuccess;
    }
    if (name == "--version") {
      out << "vmpack " << kVmpackVersion << "\n";
      return kExitSuccess;
    }
    const Command* command = FindCommand(name);
    if (command == nullptr) throw UsageError("unknown command " + name);
    helpTopic += " " + name;
    Console console{out, err, errIsTerminal};
    return command->Run(std::vector<std::string>(args.begin() + 1, args.end()), console);
  } catch (const UsageError& e) {
    err << "vmpack: " << e.what() << "\n"
        << "Try '" << helpTopic << " --help' for more information.\n";
    return kExitUsage;
  } catch (const std::exception& e) {
    err << "vmpack: " << e.what() << "\n";
    return kExitFailure;
  }
}

}  // namespace vm::pack
