#include <gtest/gtest.h>
#include <shlwapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

#include "e2e/runner_harness.h"
#include "standin/demo_layout.h"

namespace {

using vmtest::PackedFile;
using vmtest::PackedRunner;
using vmtest::TraceHas;

constexpr DWORD kRunTimeoutMs = 40000;
constexpr DWORD kPollMs = 20;
constexpr char kMainClass[] = "GaGaMossantWindow";
constexpr char kSettings[] = "[Settings]\r\nPassword=0\r\nCurrentDir=1\r\n";
constexpr char kClasses[] = "Software\\Classes";
constexpr char kApplication[] = "VardelBrowser";
constexpr char kTopic[] = "WWW_OpenURL";
constexpr char kMovieClass[] = "ShockwaveFlash";
constexpr char kCwdPrefix[] = "cwd ";

PackedRunner Movie(const std::string& name, const std::string& settings) {
  return PackedRunner(name, {{"settings.ini", settings}, vmtest::StandinProjector(), vmtest::HookLibrary()});
}

size_t Count(const std::vector<std::string>& lines, const std::string& line) {
  return static_cast<size_t>(std::count(lines.begin(), lines.end(), line));
}

// The default value of a key below the machine's classes, or nothing.
std::optional<std::string> ReadDefault(const std::string& path) {
  char value[1024];
  DWORD size = sizeof value;
  DWORD type = REG_NONE;
  if (SHGetValueA(HKEY_LOCAL_MACHINE, (std::string(kClasses) + "\\" + path).c_str(), nullptr, &type, value,
                  &size) != ERROR_SUCCESS ||
      type != REG_SZ)
    return std::nullopt;
  return std::string(value);
}

void WriteDefault(const std::string& path, const std::string& value) {
  HKEY key;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, (std::string(kClasses) + "\\" + path).c_str(), 0, nullptr, 0,
                            KEY_SET_VALUE, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>(value.size() + 1));
  RegCloseKey(key);
}

// The prefix's HKEY_CLASSES_ROOT is the machine's classes alone, so the test registers its web-page
// class and its http handler there, and puts the prefix's own values back afterwards.
class MovieRequests : public ::testing::Test {
 protected:
  void SetUp() override {
    savedHtm_ = ReadDefault(".htm");
    savedHtml_ = ReadDefault(".html");
    savedHttp_ = ReadDefault("http\\shell\\open\\command");
    savedMailto_ = ReadDefault("mailto\\shell\\open\\command");
    savedPdf_ = ReadDefault(".pdf");
    probe_ = dir_.File("browser.exe");
    vmtest::WriteBytes(probe_, vmtest::ReadBytes(vmtest::ProgramDir() + "\\command_line_probe.exe"));
    WriteDefault(".htm", "VardelTestPage");
    WriteDefault(".html", "VardelTestPage");
    WriteDefault("VardelTestPage\\shell\\open\\command", "\"" + probe_ + "\" \"%1\"");
    WriteDefault("VardelTestPage\\shell\\open\\ddeexec\\Application", kApplication);
    WriteDefault("VardelTestPage\\shell\\open\\ddeexec\\Topic", kTopic);
    WriteDefault("http\\shell\\open\\command", "\"" + probe_ + "\" \"%1\"");
    WriteDefault(".vdoc", "VardelTestDocument");
    WriteDefault("VardelTestDocument\\shell\\open\\command", "\"" + probe_ + "\" \"%1\"");
  }
  void TearDown() override {
    Restore(".htm", savedHtm_);
    Restore(".html", savedHtml_);
    Restore("http\\shell\\open\\command", savedHttp_);
    Restore("mailto\\shell\\open\\command", savedMailto_);
    Restore(".pdf", savedPdf_);
    SHDeleteKeyA(HKEY_LOCAL_MACHINE, (std::string(kClasses) + "\\VardelTestPdf").c_str());
    SHDeleteKeyA(HKEY_LOCAL_MACHINE, (std::string(kClasses) + "\\VardelTestPage").c_str());
    SHDeleteKeyA(HKEY_LOCAL_MACHINE, (std::string(kClasses) + "\\VardelTestDocument").c_str());
    SHDeleteKeyA(HKEY_LOCAL_MACHINE, (std::string(kClasses) + "\\.vdoc").c_str());
  }
  static void Restore(const std::string& path, const std::optional<std::string>& value) {
    if (value)
      WriteDefault(path, *value);
    else
      SHDeleteValueA(HKEY_LOCAL_MACHINE, (std::string(kClasses) + "\\" + path).c_str(), nullptr);
  }

  // What the browser stand-in was started with, once it has written it.
  std::string BrowserCommandLine() const {
    for (DWORD waited = 0; waited < kRunTimeoutMs; waited += kPollMs) {
      std::ifstream log(probe_ + ".log", std::ios::binary);
      if (log) {
        std::stringstream text;
        text << log.rdbuf();
        return text.str();
      }
      Sleep(kPollMs);
    }
    return "(the browser was not started)";
  }

  void ForgetBrowserStart() const { DeleteFileA((probe_ + ".log").c_str()); }
  bool BrowserStarted() const { return GetFileAttributesA((probe_ + ".log").c_str()) != INVALID_FILE_ATTRIBUTES; }

  vmtest::TempDir dir_;
  std::string probe_;
  std::optional<std::string> savedHtm_, savedHtml_, savedHttp_, savedMailto_, savedPdf_;
};

// The main window once it is visible, or null.
HWND VisibleMainWindow() {
  for (DWORD waited = 0; waited < kRunTimeoutMs; waited += kPollMs) {
    HWND main = FindWindowA(kMainClass, nullptr);
    if (main && IsWindowVisible(main)) return main;
    Sleep(kPollMs);
  }
  return nullptr;
}

// A program of the session, grouped into the movie's folder so that it is not taken for the
// projector.
PackedFile SessionProgram(const std::string& name, const std::string& builtProgram) {
  return {name, vmtest::ReadBytes(vmtest::ProgramDir() + "\\" + builtProgram), "."};
}

// The folder the movie runs in, as the stand-in reports it once it has started.
std::string MovieDirectory(const PackedRunner& runner) {
  for (DWORD waited = 0; waited < kRunTimeoutMs; waited += kPollMs) {
    for (const std::string& line : runner.StandinLines())
      if (line.rfind(kCwdPrefix, 0) == 0) return line.substr(sizeof kCwdPrefix - 1);
    Sleep(kPollMs);
  }
  return "(no cwd line)";
}

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Waits at most kRunTimeoutMs for the condition.
template <typename Condition>
bool Eventually(Condition condition) {
  for (DWORD waited = 0; waited < kRunTimeoutMs; waited += kPollMs) {
    if (condition()) return true;
    Sleep(kPollMs);
  }
  return condition();
}

std::string FileText(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

bool IsTopmost(HWND window) { return (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

std::string Caption(HWND window) {
  char caption[64] = "(unread)";
  GetWindowTextA(window, caption, sizeof caption);
  return caption;
}

TEST_F(MovieRequests, MovieCommandsAreTakenAndNeverBecomeTheCaption) {
  PackedRunner runner = Movie("Commands", std::string(kSettings) + "Vardel Screen Name=Commands\r\n");
  runner.StandinScript = "ready;sleep 500;settext 0 VCOMMAND:quit;settext 0 vcommandW:run x;sleep 2000;close-request";
  PackedRunner::Started started;
  runner.Start(started);
  HWND main = VisibleMainWindow();
  ASSERT_NE(main, nullptr);
  for (DWORD waited = 0; waited < kRunTimeoutMs && Count(runner.StandinLines(), "reply 1") < 2; waited += kPollMs)
    Sleep(kPollMs);
  EXPECT_EQ(Caption(main), "Commands");
  ASSERT_TRUE(started.WaitForExit(kRunTimeoutMs));
  EXPECT_EQ(Count(runner.StandinLines(), "reply 1"), 2u);
  EXPECT_TRUE(TraceHas(runner.TraceLines(), "movie command \"VCOMMAND:quit\""));
  EXPECT_TRUE(runner.LeftInBase().empty());
}

TEST_F(MovieRequests, ACaptionThatLooksLikeACommandLeavesTheWindowWithoutCaption) {
  PackedRunner runner = Movie("CommandCaption", std::string(kSettings) + "Vardel Screen Name=vcommand:title\r\n");
  runner.StandinScript = "ready;sleep 1500;close-request";
  PackedRunner::Started started;
  runner.Start(started);
  HWND main = VisibleMainWindow();
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(Caption(main), "");
  ASSERT_TRUE(started.WaitForExit(kRunTimeoutMs));
}

TEST_F(MovieRequests, AWebAddressIsOpenedByTheShellAndAProgramIsNot) {
  const std::string request = std::string("dde:") + kApplication + ":" + kTopic + ":";
  PackedRunner runner = Movie("WebPage", kSettings);
  runner.StandinScript = "ready;settext 1 " + request + "http://example.invalid/page.htm;settext 0 " + request +
                         "setup.exe;settext 0 " + request + "\"http://example.invalid/page.htm\",,-1;settext 0 dde:" +
                         "Other:" + kTopic + ":http://example.invalid/;sleep 500;close-request";
  ASSERT_TRUE(runner.Run(kRunTimeoutMs));
  EXPECT_NE(BrowserCommandLine().find("http://example.invalid/page.htm"), std::string::npos);
  const auto log = runner.StandinLines();
  EXPECT_EQ(Count(log, "reply 2"), 3u);
  EXPECT_EQ(Count(log, "reply 1"), 1u) << "another browser's request is a caption";
  EXPECT_TRUE(TraceHas(runner.TraceLines(), "\"setup.exe\" is refused: no such file"));
  EXPECT_TRUE(runner.LeftInBase().empty());
}

// The stand-in opens its addresses as a projector does; the hook library inside it takes them.
TEST_F(MovieRequests, AMovieThatOpensVcommandQuitEndsAndLeavesNothingBehind) {
  PackedRunner runner = Movie("QuitCommand", kSettings);
  // The Runner ends the movie on request once it has settled it after the ready notice.
  runner.StandinScript = "ready;sleep 1500;shell-open vcommand:quit";
  ASSERT_TRUE(runner.Run(kRunTimeoutMs)) << "the movie did not end";
  const auto log = runner.StandinLines();
  EXPECT_EQ(Count(log, "shell-open 33"), 1u);
  EXPECT_EQ(Count(log, "closed"), 1u);
  EXPECT_TRUE(TraceHas(runner.TraceLines(), "movie command \"vcommand:quit\""));
  EXPECT_TRUE(runner.LeftInBase().empty());
}

TEST_F(MovieRequests, AWebAddressThatTheMovieOpensEitherWayIsOpenedByTheRunner) {
  const struct {
    const char* action;
    const char* succeeded;  // the stand-in's log line for a call that succeeded
  } ways[] = {
      {"shell-open", "shell-open 33"},
      {"shell-open-ex", "shell-open-ex 1"},
      {"shell-open-w", "shell-open-w 33"},
      {"shell-open-ex-w", "shell-open-ex-w 1"},
      {"dde-open", "dde-open 1"},
  };
  for (const auto& way : ways) {
    SCOPED_TRACE(way.action);
    ForgetBrowserStart();
    const std::string address = std::string("http://example.invalid/") + way.action + ".htm";
    PackedRunner runner = Movie(std::string("Web") + way.action, kSettings);
    runner.StandinScript = std::string("ready;sleep 300;") + way.action + " " + address + ";sleep 300;close-request";
    ASSERT_TRUE(runner.Run(kRunTimeoutMs));
    EXPECT_NE(BrowserCommandLine().find(address), std::string::npos);
    EXPECT_EQ(Count(runner.StandinLines(), way.succeeded), 1u);
    EXPECT_TRUE(TraceHas(runner.TraceLines(), "the shell answered"));
    EXPECT_TRUE(runner.LeftInBase().empty());
  }
}

TEST_F(MovieRequests, OpenStartsTheProgramOfASessionDocumentAndRefusesToLeaveTheFolder) {
  PackedRunner runner("OpenDocument", {{"settings.ini", kSettings}, vmtest::StandinProjector(), vmtest::HookLibrary(),
                                       {"notes.vdoc", "notes"}});
  // The refused request comes first: the browser stand-in keeps the first command line it gets.
  runner.StandinScript =
      "ready;sleep 300;shell-open vcommand:open ..\\..\\notes.vdoc;shell-open vcommand:open %22notes.vdoc%22;"
      "sleep 500;close-request";
  ASSERT_TRUE(runner.Run(kRunTimeoutMs));
  const auto log = runner.StandinLines();
  EXPECT_EQ(Count(log, "shell-open 5"), 1u) << "the refusal is reported as access denied";
  EXPECT_EQ(Count(log, "shell-open 33"), 1u);
  EXPECT_NE(BrowserCommandLine().find(MovieDirectory(runner) + "\\notes.vdoc\""), std::string::npos);
}

TEST_F(MovieRequests, RunStartsAProgramOfTheSessionInTheMovieFolder) {
  PackedRunner runner("RunTool", {{"settings.ini", kSettings}, vmtest::StandinProjector(), vmtest::HookLibrary(),
                                  SessionProgram("tool.exe", "command_line_probe.exe")});
  runner.StandinScript = "ready;sleep 300;shell-open vcommand:RUN tool.exe \"two words\" x;sleep 3000;close-request";
  PackedRunner::Started started;
  runner.Start(started);
  const std::string toolLog = MovieDirectory(runner) + "\\tool.exe.log";
  EXPECT_TRUE(Eventually([&] { return FileExists(toolLog); }));
  EXPECT_NE(FileText(toolLog).find("tool.exe\" \"two words\" x"), std::string::npos) << FileText(toolLog);
  ASSERT_TRUE(started.WaitForExit(kRunTimeoutMs));
  EXPECT_EQ(Count(runner.StandinLines(), "shell-open 33"), 1u);
}

// While the program runs, the movie stands back; when it ends, it comes to the front again.
TEST_F(MovieRequests, VcommandwWaitsForItsProgramWithTheMovieStandingBack) {
  PackedRunner runner("WaitForTool",
                      {{"settings.ini", std::string(kSettings) + "AlwaysOnTop=1\r\n"}, vmtest::StandinProjector(),
                       vmtest::HookLibrary(),
                       SessionProgram("linger.exe", "lingering_probe.exe")});
  runner.StandinScript = "ready;sleep 1000;dde-open vcommandw:run linger.exe 2500;sleep 6000;close-request";
  PackedRunner::Started started;
  runner.Start(started);
  HWND main = VisibleMainWindow();
  ASSERT_NE(main, nullptr);
  HWND movie = nullptr;
  ASSERT_TRUE(Eventually([&] { return (movie = FindWindowExA(main, nullptr, kMovieClass, nullptr)) != nullptr; }));
  const std::string linger = MovieDirectory(runner) + "\\linger.exe";
  ASSERT_TRUE(IsTopmost(main));
  ASSERT_TRUE(Eventually([&] { return !IsWindowEnabled(movie); })) << "the movie did not stand back";
  EXPECT_TRUE(Eventually([&] { return FileExists(linger + ".log"); })) << "the program did not start";
  EXPECT_FALSE(FileExists(linger + ".done"));
  EXPECT_FALSE(IsTopmost(main));
  EXPECT_TRUE(Eventually([&] { return IsWindowEnabled(movie) != FALSE; }));
  EXPECT_TRUE(FileExists(linger + ".done")) << "the movie came back before its program ended";
  EXPECT_TRUE(IsTopmost(main));
  ASSERT_TRUE(started.WaitForExit(kRunTimeoutMs));
  EXPECT_EQ(Count(runner.StandinLines(), "dde-open 1"), 1u);
}

LPARAM CentreOf(const vm::standin::DemoRect& r) { return MAKELPARAM((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2); }

// The demo movie's link opens its page in the browser, and its button quits.
TEST_F(MovieRequests, TheDemoLinkOpensTheSessionPageAndItsButtonQuits) {
  PackedRunner runner("DemoClicks", {{"settings.ini", kSettings}, vmtest::StandinProjector(), vmtest::HookLibrary(),
                                     {vm::standin::kDemoPage, "<html></html>"}});
  runner.StandinScript = "ready";
  // Without a browser answering, the shell waits for the page class's DDE server for a long time
  // while the Runner's thread, and with it every later request of the movie, waits for the shell:
  // the page class opens its page by command alone here.
  SHDeleteKeyA(HKEY_LOCAL_MACHINE, (std::string(kClasses) + "\\VardelTestPage\\shell\\open\\ddeexec").c_str());
  PackedRunner::Started started;
  runner.Start(started);
  HWND main = VisibleMainWindow();
  ASSERT_NE(main, nullptr);
  HWND movie = nullptr;
  ASSERT_TRUE(Eventually([&] { return (movie = FindWindowExA(main, nullptr, kMovieClass, nullptr)) != nullptr; }));
  // The movie is measured once the Runner has given it its final size: a click aimed at the
  // layout of a size still changing lands elsewhere.
  ASSERT_TRUE(Eventually([&] { return TraceHas(runner.TraceLines(), "the projector is ready"); }));
  RECT client;
  GetClientRect(movie, &client);
  const vm::standin::DemoLayout layout = vm::standin::LayOutDemo(client.right, client.bottom);
  PostMessageA(movie, WM_LBUTTONUP, 0, CentreOf(layout.PageLink));
  const std::string page = "for \"" + MovieDirectory(runner) + "\\" + vm::standin::kDemoPage + "\"";
  EXPECT_TRUE(Eventually([&] { return TraceHas(runner.TraceLines(), page); }));
  PostMessageA(movie, WM_LBUTTONUP, 0, CentreOf(layout.QuitButton));
  ASSERT_TRUE(started.WaitForExit(kRunTimeoutMs)) << "the Quit button did not end the movie\n" << runner.LastSteps();
  EXPECT_EQ(Count(runner.StandinLines(), "shell-open 33"), 2u);
  EXPECT_TRUE(runner.LeftInBase().empty());
}

// The programs named by a process list, as Wine's explorer.exe shows a folder in one of its own.
size_t ProcessesNamed(const char* name) {
  size_t count = 0;
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return 0;
  PROCESSENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
    if (lstrcmpiA(entry.szExeFile, name) == 0) ++count;
  CloseHandle(snapshot);
  return count;
}

std::string Slashed(std::string path) {
  std::replace(path.begin(), path.end(), '\\', '/');
  return path;
}

// Every way a movie hands over an address, with the addresses an attacker would try: a program
// or a script outside the session, spelt as paths and "file:" addresses (a NUL after the name
// among them), the folders, other schemes, and addresses too long to read. None may start the
// marker programs or open a folder; the Runner refuses each that reaches it, saying why.
TEST_F(MovieRequests, NoHostileAddressStartsAProgramOrOpensAFolderOnAnyRoute) {
  const std::string outside = dir_.File("outside");
  CreateDirectoryA(outside.c_str(), nullptr);
  const std::string evil = outside + "\\evil.exe";
  vmtest::WriteBytes(evil, vmtest::ReadBytes(vmtest::ProgramDir() + "\\command_line_probe.exe"));
  vmtest::WriteBytes(outside + "\\evil.bat", "@echo ran> \"%~dp0evil.bat.ran\"\r\n");
  PackedRunner runner = Movie("Hostile", kSettings);
  // Beside the instance directory, where "..\\" leads.
  vmtest::WriteBytes(runner.BaseDir() + "evil.exe", vmtest::ReadBytes(evil));
  const std::string longAddress = "http://example.invalid/" + std::string(3000, 'a');
  const std::vector<std::string> addresses = {
      "file:///" + Slashed(evil) + "%00.txt",
      "file:///" + Slashed(evil),
      "FILE://localhost/" + Slashed(evil),
      "file:" + evil,
      evil,
      outside + "\\evil.bat",
      outside + "\\EVIL.EXE.",
      "..\\evil.exe",
      "../evil.exe",
      "%2e%2e%5cevil.exe",
      outside,
      ".",
      "\\\\localhost\\C$\\windows\\system32\\cmd.exe",
      "javascript:alert(1)",
      "shell:windows",
      "\"\"",
      longAddress,
  };
  const std::vector<std::string> commands = {
      "vcommand:open .",
      "vcommand:open " + outside,
      "vcommand:open " + evil,
      "vcommand:open ..\\evil.exe",
      "vcommand:run " + evil,
      "vcommand:run ..\\evil.exe",
      "vcommand:run \"" + evil + "\" x",
      "vcommand:run C:\\windows\\system32\\cmd.exe /c echo ran> " + outside + "\\cmd.ran",
      "vcommand:open %2e%2e%5cevil.exe",
  };
  const char* const routes[] = {"shell-open", "shell-open-ex", "shell-open-w", "shell-open-ex-w", "dde-open"};
  // The attempts begin once the test has counted the file managers of a running desktop.
  std::string script = "ready;sleep 1500";
  size_t runnerRequests = 0;
  for (const char* route : routes) {
    for (const std::string& address : addresses) {
      script += std::string(";") + route + " " + address;
      // The library reads no address of 2,048 characters or more, and asks the Runner about no
      // quote without an address.
      if (address != longAddress && address != "\"\"") ++runnerRequests;
    }
    for (const std::string& command : commands) script += std::string(";") + route + " " + command;
  }
  const std::string request = std::string("dde:") + kApplication + ":" + kTopic + ":";
  for (const std::string& address : addresses) script += ";settext 0 " + request + address;
  runnerRequests += addresses.size() - 1;  // the empty quote is no request the Runner takes
  runner.StandinScript = script + ";sleep 1000;close-request";
  PackedRunner::Started started;
  runner.Start(started);
  ASSERT_NE(VisibleMainWindow(), nullptr);
  const size_t explorers = ProcessesNamed("explorer.exe");
  ASSERT_TRUE(started.WaitForExit(kRunTimeoutMs)) << runner.LastSteps();

  EXPECT_FALSE(FileExists(evil + ".log")) << "the outside program ran";
  EXPECT_FALSE(FileExists(runner.BaseDir() + "evil.exe.log")) << "the program beside the session ran";
  EXPECT_FALSE(FileExists(outside + "\\evil.bat.ran")) << "the outside script ran";
  EXPECT_FALSE(FileExists(outside + "\\cmd.ran")) << "the command interpreter ran";
  EXPECT_EQ(ProcessesNamed("explorer.exe"), explorers) << "a folder was opened";
  EXPECT_FALSE(BrowserStarted()) << BrowserCommandLine();
  const auto trace = runner.TraceLines();
  EXPECT_EQ(static_cast<size_t>(std::count_if(trace.begin(), trace.end(), [](const std::string& line) {
              return line.find("\" is refused: ") != std::string::npos;
            })),
            runnerRequests)
      << runner.LastSteps();
  EXPECT_TRUE(TraceHas(trace, "evil.exe%00.txt\" is refused: a control character"));
  EXPECT_TRUE(TraceHas(trace, "\" is refused: too long"));
  // Each command the library refuses itself answers the projector "access denied".
  const auto log = runner.StandinLines();
  for (const std::string denied : {"shell-open 5", "shell-open-w 5"})
    EXPECT_EQ(Count(log, denied), commands.size() + 2) << denied;
  EXPECT_EQ(runner.LeftInBase(), std::vector<std::string>{"evil.exe"});
}

// The pages, mail addresses and documents that the session may open still open, each with the
// program the system has for it, and the page relative to the movie's folder.
TEST_F(MovieRequests, TheSessionsPagesDocumentsAndMailStillOpen) {
  const std::string mail = dir_.File("mail.exe");
  const std::string pdf = dir_.File("pdf.exe");
  vmtest::WriteBytes(mail, vmtest::ReadBytes(probe_));
  vmtest::WriteBytes(pdf, vmtest::ReadBytes(probe_));
  WriteDefault("mailto\\shell\\open\\command", "\"" + mail + "\" \"%1\"");
  WriteDefault(".pdf", "VardelTestPdf");
  WriteDefault("VardelTestPdf\\shell\\open\\command", "\"" + pdf + "\" \"%1\"");
  // Without a DDE server the page class would wait for one before the test's browser starts.
  SHDeleteKeyA(HKEY_LOCAL_MACHINE, (std::string(kClasses) + "\\VardelTestPage\\shell\\open\\ddeexec").c_str());
  PackedRunner runner("Documents", {{"settings.ini", kSettings}, vmtest::StandinProjector(), vmtest::HookLibrary(),
                                    {"page.htm", "<html></html>"}, {"manual.pdf", "%PDF"}});
  runner.StandinScript =
      "ready;sleep 300;shell-open mailto:someone@example.invalid;shell-open-ex-w page.htm;"
      "shell-open vcommand:open manual.pdf;sleep 1500;close-request";
  PackedRunner::Started started;
  runner.Start(started);
  const std::string folder = MovieDirectory(runner);
  EXPECT_TRUE(Eventually([&] { return FileExists(mail + ".log") && FileExists(pdf + ".log") && BrowserStarted(); }));
  ASSERT_TRUE(started.WaitForExit(kRunTimeoutMs));
  EXPECT_NE(FileText(mail + ".log").find("\"mailto:someone@example.invalid\""), std::string::npos);
  EXPECT_NE(BrowserCommandLine().find("\"" + folder + "\\page.htm\""), std::string::npos) << BrowserCommandLine();
  EXPECT_NE(FileText(pdf + ".log").find("\"" + folder + "\\manual.pdf\""), std::string::npos);
  EXPECT_TRUE(runner.LeftInBase().empty()) << ::testing::PrintToString(runner.LeftInBase()) << runner.LastSteps();
}

// A program that the movie started runs from the session's files: the Runner waits for it,
// hidden, before it removes them, and so leaves nothing behind.
TEST_F(MovieRequests, AProgramThatTheMovieStartedEndsBeforeTheSessionIsRemoved) {
  PackedRunner runner("ProgramOutlives", {{"settings.ini", kSettings}, vmtest::StandinProjector(),
                                          vmtest::HookLibrary(), SessionProgram("linger.exe", "lingering_probe.exe")});
  runner.StandinScript = "ready;sleep 1000;shell-open vcommand:run linger.exe 6000;shell-open vcommand:quit";
  PackedRunner::Started started;
  runner.Start(started);
  const std::string linger = MovieDirectory(runner) + "\\linger.exe";
  HWND main = VisibleMainWindow();
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(Eventually([&] { return Count(runner.StandinLines(), "closed") == 1; })) << runner.LastSteps();
  EXPECT_TRUE(Eventually([&] { return !IsWindowVisible(main); })) << "the Runner shows an ended movie";
  EXPECT_TRUE(FileExists(linger + ".log")) << "the program did not start";
  EXPECT_FALSE(FileExists(linger + ".done")) << "the program ended before the movie did";
  ASSERT_TRUE(started.WaitForExit(kRunTimeoutMs));
  EXPECT_TRUE(TraceHas(runner.TraceLines(), "the movie's programs have ended"));
  EXPECT_TRUE(runner.LeftInBase().empty()) << runner.LastSteps();
}

// While the shell waits for a page's handler, which a DDE server that never answers keeps it
// doing for as long as the handler runs, the movie's quit is still answered.
TEST_F(MovieRequests, TheRunnerAnswersTheMovieWhileTheShellWaits) {
  const std::string slow = dir_.File("slowpage.exe");
  vmtest::WriteBytes(slow, vmtest::ReadBytes(vmtest::ProgramDir() + "\\lingering_probe.exe"));
  WriteDefault("VardelTestPage\\shell\\open\\command", "\"" + slow + "\" \"%1\" 8000");
  WriteDefault("VardelTestPage\\shell\\open\\ddeexec", "\"%1\"");
  PackedRunner runner("SlowShell", {{"settings.ini", kSettings}, vmtest::StandinProjector(), vmtest::HookLibrary(),
                                    {"page.htm", "<html></html>"}});
  runner.StandinScript = "ready;sleep 300;shell-open page.htm;sleep 300;shell-open vcommand:quit";
  PackedRunner::Started started;
  runner.Start(started);
  ASSERT_TRUE(Eventually([&] { return FileExists(slow + ".log"); })) << "the page's handler did not start";
  ASSERT_TRUE(Eventually([&] { return Count(runner.StandinLines(), "closed") == 1; })) << runner.LastSteps();
  EXPECT_FALSE(FileExists(slow + ".done")) << "the movie ended only once the shell was done";
  EXPECT_TRUE(started.WaitForExit(kRunTimeoutMs));
  EXPECT_TRUE(Eventually([&] { return FileExists(slow + ".done"); }));
}

}  // namespace
