#include "pack/arguments.h"
#include "pack/code_page.h"
#include "pack/commands.h"
#include "pack/payload_check.h"
#include "pack/payload_end.h"
#include "pack/terminal_progress.h"

namespace vm::pack {
namespace {

constexpr char kHelp[] =
    "Usage: vmpack verify FILE [--codepage N]\n"
    "\n"
    "Checks the payload of FILE as vmpack lays it out: every session trailer and file prefix,\n"
    "the offsets and sizes that tie them together, unique session names, file and group names\n"
    "that the Runner can write safely, and the stored data of every file, compressed ones\n"
    "inflated in full. Data after the last session, such as a signature, are reported and\n"
    "allowed. Exits with 0 when all is sound, and with 1 naming the first problem (session,\n"
    "file and offset) when not.\n"
    "\n"
    "Options:\n"
    "  --codepage N  the code page the names were written for (default 1252)\n"
    "  -h, --help    show this help\n";

}  // namespace

int RunVerify(const std::vector<std::string>& args, Console& console) {
  const std::vector<ArgumentItem> items = ParseArguments(args, {kCodePageOption, kHelpOption});
  if (HasOption(items, kHelpOption.LongName)) {
    console.Out << kHelp;
    return kExitSuccess;
  }
  const std::string path = SingleOperand(items, "FILE");
  const CodePage codePage = CodePage::FromOption(SingleValue(items, kCodePageOption.LongName));

  FileStream source = FileStream::OpenRead(path);
  PayloadSummary summary;
  {
    TerminalProgress progress(console.Err, console.ErrIsTerminal, "Verifying");
    summary = CheckPayload(source, codePage, [&](int64_t done, int64_t total, const std::string& name) {
      progress.Update(done, total, name);
    });
  }
  console.Out << path << ": sound; " << summary.Sessions
              << (summary.Sessions == 1 ? " session, " : " sessions, ") << summary.Files
              << (summary.Files == 1 ? " file, " : " files, ") << summary.Bytes << " bytes\n";
  if (summary.BytesAfter > 0) console.Out << BytesAfterText(summary.BytesAfter) << "\n";
  return kExitSuccess;
}

}  // namespace vm::pack
