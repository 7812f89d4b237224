#include "pack/arguments.h"
#include "pack/commands.h"
#include "pack/payload_check.h"
#include "pack/terminal_progress.h"

namespace vm::pack {
namespace {

constexpr char kHelp[] =
    "Usage: vmpack verify FILE\n"
    "\n"
    "Checks the payload of FILE as vmpack lays it out: every session trailer and file prefix,\n"
    "the offsets and sizes that tie them together, unique session names, and the stored data\n"
    "of every file, compressed ones inflated in full. Exits with 0 when all is sound, and with\n"
    "1 naming the first problem (session, file and offset) when not.\n"
    "\n"
    "Options:\n"
    "  -h, --help  show this help\n";

}  // namespace

int RunVerify(const std::vector<std::string>& args, Console& console) {
  const std::vector<ArgumentItem> items = ParseArguments(args, {kHelpOption});
  if (HasOption(items, kHelpOption.LongName)) {
    console.Out << kHelp;
    return kExitSuccess;
  }
  const std::string path = SingleOperand(items, "FILE");

  FileStream source = FileStream::OpenRead(path);
  PayloadSummary summary;
  {
    TerminalProgress progress(console.Err, console.ErrIsTerminal, "Verifying");
    summary = CheckPayload(source, [&](int64_t done, int64_t total, const std::string& name) {
      progress.Update(done, total, name);
    });
  }
  console.Out << path << ": sound; " << summary.Sessions
              << (summary.Sessions == 1 ? " session, " : " sessions, ") << summary.Files
              << (summary.Files == 1 ? " file, " : " files, ") << summary.Bytes << " bytes\n";
  return kExitSuccess;
}

}  // namespace vm::pack
