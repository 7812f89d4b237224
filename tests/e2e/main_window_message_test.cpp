#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <list>
#include <string>
#include <vector>

#include "e2e/runner_harness.h"
#include "engine/runner_messages.h"

// The main window's messages as other processes send them: the hook library inside the
// projector, the system, and other Runners. Every movie here ends with the Runner's exit and an
// empty temporary base directory.
namespace {

using vmtest::PackedRunner;
using vmtest::TraceHas;

constexpr DWORD kRunTimeoutMs = 60000;
constexpr DWORD kPollMs = 20;
// How long the Runner is given to act on a message that must change nothing.
constexpr DWORD kQuietMs = 2000;
constexpr UINT kSendTimeoutMs = 10000;
constexpr char kMainClass[] = "GaGaMossantWindow";
constexpr char kMovieClass[] = "ShockwaveFlash";
constexpr char kSettings[] = "[Settings]\r\nPassword=0\r\nCurrentDir=1\r\n";
// A framed window where it is asked to be, so that the movie and the screen around it are known.
constexpr char kWindowed[] =
    "CustomSize=1\r\nLeft=100\r\nTop=80\r\nWidth=640\r\nHeight=480\r\nAlignmentH=0\r\nAlignmentV=0\r\n";

// Waits at most timeoutMs for done, handling this thread's own messages meanwhile: the Runner's
// activation changes reach the test's windows and must not wait for it.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  for (DWORD waited = 0;; waited += kPollMs) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    if (done()) return true;
    if (waited >= timeoutMs) return false;
    Sleep(kPollMs);
  }
}

void PumpFor(DWORD ms) {
  PumpUntil([] { return false; }, ms);
}

struct WindowSearch {
  DWORD ProcessId;
  HWND Found;
};

BOOL CALLBACK FindVisibleMainWindow(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<WindowSearch*>(param);
  char className[64] = {};
  GetClassNameA(window, className, sizeof className);
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  if (processId != search->ProcessId || lstrcmpA(className, kMainClass) != 0 || !IsWindowVisible(window)) return TRUE;
  search->Found = window;
  return FALSE;
}

RECT RectOf(HWND window) {
  RECT rect = {};
  GetWindowRect(window, &rect);
  return rect;
}

POINT TopLeftOf(HWND window) {
  const RECT rect = RectOf(window);
  return {rect.left, rect.top};
}

// A point of the movie away from the demo's link and button, which a click there would open.
POINT InsideMovie(HWND movie) {
  const RECT rect = RectOf(movie);
  return {rect.left + (rect.right - rect.left) / 4, rect.top + (rect.bottom - rect.top) / 4};
}

// True when window a lies above window b among the top-level windows.
bool IsAbove(HWND a, HWND b) {
  for (HWND w = GetWindow(b, GW_HWNDPREV); w != nullptr; w = GetWindow(w, GW_HWNDPREV))
    if (w == a) return true;
  return false;
}

std::string Number(uintptr_t value) { return std::to_string(value); }

// A global atom for the time a test needs it.
class Atom {
 public:
  explicit Atom(const std::string& name) : atom_(GlobalAddAtomA(name.c_str())) {}
  ~Atom() {
    if (atom_) GlobalDeleteAtom(atom_);
  }
  Atom(const Atom&) = delete;
  Atom& operator=(const Atom&) = delete;
  LPARAM Value() const { return atom_; }

 private:
  ATOM atom_;
};

const UINT kGlobalClose = RegisterWindowMessageA(vm::kGlobalCloseMessageName);

// One packed movie, played until the hook library has reported the projector ready, so that the
// Runner's window is up and the movie embedded in it.
class Movie {
 public:
  Movie(const std::string& name, const std::string& settings)
      : name_(name),
        runner_(name, {{"settings.ini", kSettings + settings}, vmtest::StandinProjector(), vmtest::HookLibrary()}) {
    runner_.StandinScript = "ready";
    runner_.Start(started_);
  }

  ::testing::AssertionResult BecomesReady() {
    WindowSearch search = {started_.ProcessId, nullptr};
    const bool up = PumpUntil(
        [&] {
          if (search.Found == nullptr) EnumWindows(FindVisibleMainWindow, reinterpret_cast<LPARAM>(&search));
          return search.Found != nullptr && TraceHas(runner_.TraceLines(), "the projector is ready");
        },
        kRunTimeoutMs);
    if (!up) return ::testing::AssertionFailure() << name_ << ": no ready movie in a visible main window";
    main_ = search.Found;
    movie_ = FindWindowExA(main_, nullptr, kMovieClass, nullptr);
    if (movie_ == nullptr) return ::testing::AssertionFailure() << name_ << ": no movie window in the main window";
    return ::testing::AssertionSuccess();
  }

  HWND Main() const { return main_; }
  HWND MovieWindow() const { return movie_; }
  const std::string& ExeName() const { return exeName_; }
  DWORD ThreadId() const { return GetWindowThreadProcessId(main_, nullptr); }
  const PackedRunner& Runner() const { return runner_; }

  bool Traces(const std::string& text, DWORD timeoutMs) const {
    return PumpUntil([&] { return TraceHas(runner_.TraceLines(), text); }, timeoutMs);
  }
  // True when, after a while, the projector has not been closed.
  bool KeepsPlaying() {
    PumpFor(kQuietMs);
    return !HasExited() && !TraceHas(runner_.StandinLines(), "closed");
  }

  // The Runner has closed the projector politely, exited, and left nothing behind.
  void ExpectEndsCleanly() {
    ASSERT_TRUE(PumpUntil([&] { return HasExited(); }, kRunTimeoutMs)) << name_ << ": the Runner did not end";
    EXPECT_TRUE(TraceHas(runner_.StandinLines(), "closed")) << name_;
    const auto left = runner_.LeftInBase();
    EXPECT_TRUE(left.empty()) << name_ << ": " << left.front();
  }
  void CloseAndExpectClean() {
    PostMessageA(main_, WM_CLOSE, 0, 0);
    ExpectEndsCleanly();
  }

 private:
  bool HasExited() const { return WaitForSingleObject(started_.Process, 0) == WAIT_OBJECT_0; }

  std::string name_;
  std::string exeName_ = name_ + ".exe";
  PackedRunner runner_;
  PackedRunner::Started started_;
  HWND main_ = nullptr;
  HWND movie_ = nullptr;
};

// A press on the movie, moves of the cursor while the button is down, and its release, as a user
// drags: the hook library reports the press and the release, the Runner follows the cursor.
TEST(MainWindowMessages, ADragMovesTheWindowOnlyOnceTheCursorHasLeftTheDeadZone) {
  struct Step {
    POINT Cursor;  // from where the button went down
    POINT Moved;   // the window's offset from where it was then
  };
  struct Case {
    const char* Name;
    std::vector<Step> Steps;
  } cases[] = {
      {"seven each way, then eight across", {{{7, 7}, {0, 0}}, {{-7, -7}, {0, 0}}, {{8, 0}, {8, 0}}}},
      {"eight down, then every further pixel", {{{0, 8}, {0, 8}}, {{1, 9}, {1, 9}}, {{1, 7}, {1, 7}}}},
      {"seven up, then eight up and left", {{{0, -7}, {0, 0}}, {{-3, -8}, {-3, -8}}}},
  };
  Movie movie("Dragged", std::string(kWindowed) + "Draggable=1\r\nInteraction=1\r\n");
  ASSERT_TRUE(movie.BecomesReady());
  int drags = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    const POINT press = InsideMovie(movie.MovieWindow());
    const POINT before = TopLeftOf(movie.Main());
    SetCursorPos(press.x, press.y);
    mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
    ++drags;
    ASSERT_TRUE(PumpUntil(
        [&] {
          const auto trace = movie.Runner().TraceLines();
          int begun = 0;
          for (const auto& line : trace) begun += line.find("a drag begins") != std::string::npos;
          return begun == drags;
        },
        kRunTimeoutMs));
    for (const Step& step : c.Steps) {
      SetCursorPos(press.x + step.Cursor.x, press.y + step.Cursor.y);
      const POINT expected = {before.x + step.Moved.x, before.y + step.Moved.y};
      auto there = [&] {
        const POINT now = TopLeftOf(movie.Main());
        return now.x == expected.x && now.y == expected.y;
      };
      if (step.Moved.x == 0 && step.Moved.y == 0) PumpFor(kQuietMs);
      else PumpUntil(there, kRunTimeoutMs);
      const POINT now = TopLeftOf(movie.Main());
      EXPECT_EQ((std::vector<LONG>{now.x, now.y}), (std::vector<LONG>{expected.x, expected.y}))
          << "cursor moved by " << step.Cursor.x << ", " << step.Cursor.y;
    }
    mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
    PumpFor(kQuietMs);
  }
  // Released, the window stays where the last drag left it.
  const POINT left = TopLeftOf(movie.Main());
  SetCursorPos(left.x + 300, left.y + 200);
  PumpFor(kQuietMs);
  const POINT after = TopLeftOf(movie.Main());
  EXPECT_EQ((std::vector<LONG>{after.x, after.y}), (std::vector<LONG>{left.x, left.y}));
  movie.CloseAndExpectClean();
}

// The system asks the window for a rectangle while the user drags an edge; the Runner answers
// with one of the movie's shape.
TEST(MainWindowMessages, SizingKeepsTheMoviesAspectRatioWhenAsked) {
  struct Sizing {
    WPARAM Edge;
    RECT Proposed;  // relative to the window's top left
    RECT Answered;
  };
  struct Case {
    const char* Name;
    const char* Settings;
    std::vector<Sizing> Sizings;
  } cases[] = {
      {"RatioKept",
       "MaintainRatio=1\r\n",
       {{WMSZ_RIGHT, {0, 0, 800, 480}, {0, 0, 800, 600}},
        {WMSZ_BOTTOM, {0, 0, 640, 600}, {0, 0, 800, 600}},
        {WMSZ_LEFT, {-160, 0, 640, 480}, {-160, 0, 640, 600}},
        {WMSZ_TOP, {0, -120, 640, 480}, {0, -120, 800, 480}}}},
      {"RatioFree", "MaintainRatio=0\r\n", {{WMSZ_RIGHT, {0, 0, 800, 480}, {0, 0, 800, 480}}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    Movie movie(c.Name, std::string(kWindowed) + "AllowResize=1\r\n" + c.Settings);
    ASSERT_TRUE(movie.BecomesReady());
    const POINT origin = TopLeftOf(movie.Main());
    for (const Sizing& s : c.Sizings) {
      SCOPED_TRACE("edge " + Number(s.Edge));
      RECT rect = {origin.x + s.Proposed.left, origin.y + s.Proposed.top, origin.x + s.Proposed.right,
                   origin.y + s.Proposed.bottom};
      DWORD_PTR result = 0;
      ASSERT_NE(SendMessageTimeoutA(movie.Main(), WM_SIZING, s.Edge, reinterpret_cast<LPARAM>(&rect),
                                    SMTO_ABORTIFHUNG, kSendTimeoutMs, &result),
                0);
      EXPECT_EQ((std::vector<LONG>{rect.left - origin.x, rect.top - origin.y, rect.right - origin.x,
                                   rect.bottom - origin.y}),
                (std::vector<LONG>{s.Answered.left, s.Answered.top, s.Answered.right, s.Answered.bottom}));
    }
    movie.CloseAndExpectClean();
  }
}

// A window of the test's own lies over half of the Runner's. The hook library's notice of a click
// on the movie brings the Runner forward, unless DisableClickForeground keeps it where it is in
// the z-order; then no other process can raise it either. (Under Wine a real click also raises the
// clicked window's frame by the system's own activation, which does not ask the frame first:
// measured. The test therefore posts the notice as the hook library does.)
TEST(MainWindowMessages, DisableClickForegroundKeepsTheWindowWhereItIsInTheZOrder) {
  struct Case {
    const char* Name;
    const char* Settings;
    bool Raised;  // by SetWindowPos from outside, and by the notice of a click
  } cases[] = {
      {"ClickForeground", "DisableClickForeground=0\r\n", true},
      {"NoClickForeground", "DisableClickForeground=1\r\n", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    Movie movie(c.Name, std::string(kWindowed) + c.Settings);
    ASSERT_TRUE(movie.BecomesReady());
    // The Runner brings its window forward once more just after it reports the projector ready.
    PumpFor(kQuietMs);
    const RECT main = RectOf(movie.Main());
    HWND cover = CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "cover", WS_POPUP | WS_VISIBLE, (main.left + main.right) / 2,
                                 main.top, (main.right - main.left) / 2, main.bottom - main.top, nullptr, nullptr,
                                 nullptr, nullptr);
    ASSERT_NE(cover, nullptr);
    auto coverAbove = [&] {
      SetWindowPos(cover, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
      PumpFor(kQuietMs);
      return IsAbove(cover, movie.Main());
    };
    auto raised = [&] {
      if (c.Raised) PumpUntil([&] { return IsAbove(movie.Main(), cover); }, kRunTimeoutMs);
      else PumpFor(kQuietMs);
      return IsAbove(movie.Main(), cover);
    };

    ASSERT_TRUE(coverAbove());
    SetWindowPos(movie.Main(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_EQ(raised(), c.Raised) << "by SetWindowPos";

    ASSERT_TRUE(coverAbove());
    PostMessageA(movie.Main(), vm::WM_RUNNER_MOVIE_CLICKED, 0, 0);
    ASSERT_TRUE(movie.Traces("the movie was clicked", kRunTimeoutMs));
    EXPECT_EQ(raised(), c.Raised) << "by the click";
    DestroyWindow(cover);
    movie.CloseAndExpectClean();
  }
}

// The ways that other processes end a movie: the system ending the Windows session, a WM_QUIT
// for the Runner's thread, and another Runner's close broadcast naming this executable (in any
// letter case, with a folder). A broadcast naming another executable ends nothing, and the
// Runner then ignores every later one, its own name included.
TEST(MainWindowMessages, OtherProcessesEndTheMovie) {
  enum class Target { Window, Thread, CloseBroadcast };
  struct Case {
    const char* Name;
    Target To;
    UINT Message;
    WPARAM WParam;
    const char* AtomName;  // for the close broadcast; "$" stands for this executable's name
    bool Ends;
  } cases[] = {
      {"QueryEndSession", Target::Window, WM_QUERYENDSESSION, 0, nullptr, true},
      {"EndSession", Target::Window, WM_ENDSESSION, TRUE, nullptr, true},
      {"QuitMessage", Target::Thread, WM_QUIT, 0, nullptr, true},
      {"CloseByName", Target::CloseBroadcast, 0, 0, "C:\\Elsewhere\\CLOSEBYNAME.EXE", true},
      {"CloseByOtherName", Target::CloseBroadcast, 0, 0, "C:\\Elsewhere\\Other.exe", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    Movie movie(c.Name, "");
    ASSERT_TRUE(movie.BecomesReady());
    // The Runner reads a posted broadcast's atom when it takes the message: they live as long as
    // the movie.
    std::list<Atom> atoms;
    switch (c.To) {
      case Target::Window: {
        DWORD_PTR reply = 0;
        EXPECT_NE(SendMessageTimeoutA(movie.Main(), c.Message, c.WParam, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &reply),
                  0);
        if (c.Message == WM_QUERYENDSESSION) {
          EXPECT_EQ(reply, 1u) << "the Runner lets the Windows session end";
        }
        break;
      }
      case Target::Thread:
        ASSERT_TRUE(PostThreadMessageA(movie.ThreadId(), c.Message, c.WParam, 0));
        break;
      case Target::CloseBroadcast:
        ASSERT_TRUE(PostMessageA(HWND_BROADCAST, kGlobalClose, 0, atoms.emplace_back(c.AtomName).Value()));
        if (c.Ends) break;
        EXPECT_TRUE(movie.KeepsPlaying());
        ASSERT_TRUE(PostMessageA(HWND_BROADCAST, kGlobalClose, 0, atoms.emplace_back(movie.ExeName()).Value()));
        EXPECT_TRUE(movie.KeepsPlaying()) << "a later broadcast of its own name";
        break;
    }
    if (c.Ends)
      movie.ExpectEndsCleanly();
    else
      movie.CloseAndExpectClean();
  }
}

// A Runner whose session ends broadcasts its main window with an atom naming its executable. Each
// Runner that finds that window under that name in its own environment, inherited from the ending
// one, hands the message on to its projector's window; the movie plays on.
TEST(MainWindowMessages, ACloseBroadcastByHandleReachesTheProjectorOfARunnerThatInheritedIt) {
  Movie movie("CloseByHandle", "");
  ASSERT_TRUE(movie.BecomesReady());
  const uintptr_t main = reinterpret_cast<uintptr_t>(movie.Main());
  struct Broadcast {
    uintptr_t Sender;
    std::string AtomName;
    bool HandedOn;
  } broadcasts[] = {
      {main + 4, movie.ExeName(), false},  // another window under this name
      {main, "Nobody.exe", false},         // no such variable
      {main, "MossantEngine_WH", true},    // the Runner's window under another of its variables
      {main, movie.ExeName(), true},
  };
  // The projector reads the atom when it takes the message handed on.
  std::list<Atom> atoms;
  for (const Broadcast& b : broadcasts)
    ASSERT_TRUE(PostMessageA(HWND_BROADCAST, kGlobalClose, static_cast<WPARAM>(b.Sender),
                             atoms.emplace_back(b.AtomName).Value()));
  EXPECT_TRUE(movie.KeepsPlaying());
  std::vector<std::string> handedOn;
  for (const auto& line : movie.Runner().StandinLines())
    if (line.rfind("global-close ", 0) == 0) handedOn.push_back(line);
  std::vector<std::string> expected;
  for (const Broadcast& b : broadcasts)
    if (b.HandedOn) expected.push_back("global-close " + Number(b.Sender) + " " + b.AtomName);
  EXPECT_EQ(handedOn, expected);
  movie.CloseAndExpectClean();
}

}  // namespace
