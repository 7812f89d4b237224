// The faces that the Runner's windows are drawn with exist: the setup and password dialogs'
// "MS Sans Serif", Marlett for the caption buttons, and the faces the system gives frames, menus
// and message boxes. A missing face is never an error: the system quietly draws another one, and
// Marlett's minimise, maximise and close symbols turn into the letters "0 1 r".
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "support/win_handles.h"

namespace {

struct Face {
  std::string Use;
  LOGFONTA Wanted;
};

LOGFONTA Named(const char* face, BYTE charset, LONG height) {
  LOGFONTA font = {};
  font.lfHeight = height;
  font.lfCharSet = charset;
  lstrcpynA(font.lfFaceName, face, LF_FACESIZE);
  return font;
}

// The face the system draws with when asked for this font.
std::string DrawnFace(const LOGFONTA& wanted) {
  vm::UniqueFont font(CreateFontIndirectA(&wanted));
  vm::UniqueMemoryDC dc(CreateCompatibleDC(nullptr));
  if (!font || !dc) return "(no font: error " + std::to_string(GetLastError()) + ")";
  HGDIOBJ old = SelectObject(dc.get(), font.get());
  char face[LF_FACESIZE] = {};
  GetTextFaceA(dc.get(), sizeof face, face);
  SelectObject(dc.get(), old);
  return face;
}

// Wine's prefixes hold its own fonts only where scripts/wine-session has put them (it names
// their folder in VARDEL_WINE_FONTS); Windows always has them.
bool InPrefixWithoutWineFonts() {
  HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  bool underWine = ntdll && GetProcAddress(ntdll, "wine_get_version");
  return underWine && !std::getenv("VARDEL_WINE_FONTS");
}

TEST(WindowFonts, EachFaceTheWindowsAskForIsDrawnAsItself) {
  std::vector<Face> faces = {
      {"the setup and password dialogs", Named("MS Sans Serif", ANSI_CHARSET, 12)},
      {"the caption buttons", Named("Marlett", SYMBOL_CHARSET, 13)},
  };
  NONCLIENTMETRICSA metrics = {};
  metrics.cbSize = sizeof metrics;
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0));
  faces.push_back({"window captions", metrics.lfCaptionFont});
  faces.push_back({"menus", metrics.lfMenuFont});
  faces.push_back({"message boxes", metrics.lfMessageFont});

  std::string missing;
  for (const Face& face : faces) {
    std::string drawn = DrawnFace(face.Wanted);
    if (drawn != face.Wanted.lfFaceName)
      missing += "\n  " + face.Use + " ask for \"" + face.Wanted.lfFaceName + "\" and get \"" + drawn + "\"";
  }
  if (!missing.empty() && InPrefixWithoutWineFonts())
    GTEST_SKIP() << "this Wine prefix lacks Wine's own fonts; scripts/wine-session links them into "
                    "C:\\windows\\Fonts:"
                 << missing;
  const char* from = std::getenv("VARDEL_WINE_FONTS");
  EXPECT_EQ(missing, "") << "the fonts in C:\\windows\\Fonts come from " << (from ? from : "the system");
}

}  // namespace
