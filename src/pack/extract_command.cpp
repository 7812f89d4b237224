#include "pack/arguments.h"
#include "pack/commands.h"
#include "pack/host_files.h"
#include "pack/terminal_progress.h"
#include "payload/exe_appender.h"
#include "support/errors.h"

namespace vm::pack {
namespace {

constexpr char kDefaultSession[] = "Session1";
constexpr char kDefaultTarget[] = ".";

constexpr char kHelp[] =
    "Usage: vmpack extract FILE [--session NAME] [-C DIR]\n"
    "\n"
    "Unpacks a session of FILE into DIR with the Runner's own extractor, setting each file's\n"
    "last-write time. Existing files of the same names are replaced. When the newest session\n"
    "called NAME is damaged, the files before the damage stay and the rest are not written.\n"
    "\n"
    "Options:\n"
    "  --session NAME      the session to unpack (default Session1)\n"
    "  -C, --directory DIR the folder to unpack into, which must exist (default .)\n"
    "  -h, --help          show this help\n";

}  // namespace

int RunExtract(const std::vector<std::string>& args, Console& console) {
  const std::vector<ArgumentItem> items = ParseArguments(
      args, {{"--session", "", true}, {"--directory", "-C", true}, kHelpOption});
  if (HasOption(items, kHelpOption.LongName)) {
    console.Out << kHelp;
    return kExitSuccess;
  }
  const std::string path = SingleOperand(items, "FILE");
  const std::string session = SingleValue(items, "--session").value_or(kDefaultSession);
  const std::string target = SingleValue(items, "--directory").value_or(kDefaultTarget);
  if (KindOf(target) != PathKind::Directory) throw Exception("Folder not found: " + target);

  TExeAppender appender;
  appender.UseOwnFile = false;
  appender.SourceFile = path;
  appender.TargetDir = target;
  int files = 0;
  appender.OnFile = [&](TExeAppender&, std::string&, std::string&, bool&) { ++files; };
  {
    TerminalProgress progress(console.Err, console.ErrIsTerminal, "Extracting");
    appender.OnFileProgress = [&](TExeAppender& sender, const std::string& name, int, bool&) {
      progress.Update(int64_t{sender.TotalDone} + sender.FileDone, sender.TotalSize, name);
    };
    try {
      appender.Extract(session);
    } catch (const Exception& e) {
      throw Exception("Cannot extract session \"" + session + "\" from " + path + ": " +
                      e.what());
    }
  }
  console.Out << "Extracted " << files << (files == 1 ? " file" : " files") << " of session \""
              << session << "\" to " << target << "\n";
  return kExitSuccess;
}

}  // namespace vm::pack
