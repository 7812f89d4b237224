#include <map>
#include <set>

#include "pack/arguments.h"
#include "pack/code_page.h"
#include "pack/commands.h"
#include "pack/extract_layout.h"
#include "pack/host_files.h"
#include "pack/payload_end.h"
#include "pack/terminal_progress.h"
#include "payload/exe_appender.h"
#include "payload/name_rules.h"
#include "payload/session_files.h"
#include "payload/session_lookup.h"
#include "support/errors.h"

namespace vm::pack {
namespace {

constexpr char kDefaultTarget[] = ".";

constexpr char kHelp[] =
    "Usage: vmpack extract FILE [--session NAME] [-C DIR] [--codepage N]\n"
    "\n"
    "Unpacks a session of FILE into DIR with the Runner's own extractor, setting each file's\n"
    "last-write time. A file's group is a folder below DIR (Media/tune.mid lands as\n"
    "DIR/Media/tune.mid); the files of the group \".\" and of tool groups (VTOOL.) land in\n"
    "DIR itself, as the Runner places them. Existing files of the same names are replaced.\n"
    "Nothing is written when a name in the session is one the Runner refuses (a group with\n"
    "\"..\", a rooted or drive group among them), or when two files would land on one, as\n"
    "Windows compares names (without letter case). When the session's data are damaged,\n"
    "the files before the damage stay and the rest are not written. Data after the last\n"
    "session, such as a signature, are reported and left alone.\n"
    "\n"
    "Options:\n"
    "  --session NAME      the session to unpack (default Session1)\n"
    "  -C, --directory DIR the folder to unpack into, which must exist (default .)\n"
    "  --codepage N        the code page of the names (default 1252), from which\n"
    "                      they are converted\n"
    "  -h, --help          show this help\n";

// Reads every prefix of the session first, so that a name the Runner would refuse, or two files
// that would land on one, stop the extraction before any file is written.
void CheckSessionPrefixes(FileStream& source, const std::string& storedSession,
                          const CodePage& codePage) {
  const TrailerAt session = FindSession(source, storedSession, true);
  if (session.Trailer.TotalSize == 0) return;
  std::map<std::string, std::string> shown;  // by destination: the first file's group/name
  for (int32_t i = 0; i < session.Trailer.FileCount; ++i) {
    const FilePrefix prefix = ReadFilePrefix(source, session.Offset, codePage.LeadBytes());
    CheckStoredNames(prefix, source.Path(), codePage.LeadBytes());
    for (const std::string* stored : {&prefix.GroupName, &prefix.FileName})
      if (!codePage.ToHostName(*stored))
        throw Exception("The name \"" + codePage.ToHost(*stored) + "\" is no text of code page " +
                        std::to_string(codePage.Number()) + "; choose another one with --codepage");
    const std::string name = codePage.ToHost(prefix.GroupName) +
                             (prefix.GroupName.empty() ? "" : "/") + codePage.ToHost(prefix.FileName);
    auto [first, isNew] = shown.emplace(
        DestinationKey(prefix.GroupName, prefix.FileName, codePage.LeadBytes()), name);
    if (!isNew)
      throw Exception("Two files would land on one: " + first->second + " and " + name +
                      " (Windows compares names without letter case)");
    source.Seek(source.Position() + prefix.StoredSize);
  }
}

}  // namespace

int RunExtract(const std::vector<std::string>& args, Console& console) {
  const std::vector<ArgumentItem> items = ParseArguments(
      args, {{"--session", "", true}, {"--directory", "-C", true}, kCodePageOption, kHelpOption});
  if (HasOption(items, kHelpOption.LongName)) {
    console.Out << kHelp;
    return kExitSuccess;
  }
  const std::string path = SingleOperand(items, "FILE");
  const CodePage codePage = CodePage::FromOption(SingleValue(items, kCodePageOption.LongName));
  const std::string session = SingleValue(items, "--session").value_or(kRunnerSession);
  if (session.empty()) throw UsageError("--session needs a name");
  const std::string storedSession = codePage.FromHost(session, "The session name");
  const std::string target = SingleValue(items, "--directory").value_or(kDefaultTarget);
  if (KindOf(target) != PathKind::Directory) throw Exception("Folder not found: " + target);

  std::optional<PayloadEnd> end;
  try {
    FileStream source = FileStream::OpenRead(path);
    end = FindPayloadEnd(source);
    CheckSessionPrefixes(source, storedSession, codePage);
  } catch (const Exception& e) {
    throw Exception("Cannot extract session \"" + session + "\" from " + path + ": " + e.what());
  }

  TExeAppender appender;
  appender.UseOwnFile = false;
  appender.SourceFile = path;
  appender.TargetDir = target;
  appender.IsLeadByte = codePage.LeadBytes();
  int files = 0;
  std::set<std::string> madeFolders;
  // Names are written as the author wrote them: the stored bytes read in the code page, then
  // written in the tool's own text (checked above, so every byte is a character).
  appender.OnFile = [&](TExeAppender& sender, std::string& fileName, std::string& dir, bool&) {
    fileName = codePage.ToHostName(fileName).value_or(fileName);
    const std::string folder =
        codePage.ToHostName(GroupFolder(sender.GroupName, codePage.LeadBytes())).value_or("");
    if (!folder.empty()) {
      dir = WithTrailingDelimiter(target) + folder;
      if (madeFolders.insert(folder).second) MakeFolders(dir);
    }
    ++files;
  };
  {
    TerminalProgress progress(console.Err, console.ErrIsTerminal, "Extracting");
    appender.OnFileProgress = [&](TExeAppender& sender, const std::string& name, int, bool&) {
      progress.Update(int64_t{sender.TotalDone} + sender.FileDone, sender.TotalSize, name);
    };
    try {
      appender.Extract(storedSession);
    } catch (const Exception& e) {
      throw Exception("Cannot extract session \"" + session + "\" from " + path + ": " +
                      e.what());
    }
  }
  console.Out << "Extracted " << files << (files == 1 ? " file" : " files") << " of session \""
              << session << "\" to " << target << "\n";
  if (end && end->BytesAfter > 0) console.Out << BytesAfterText(end->BytesAfter) << "\n";
  return kExitSuccess;
}

}  // namespace vm::pack
