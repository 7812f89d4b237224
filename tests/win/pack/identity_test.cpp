#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "win/create_process_retrying.h"
#include "unit/pack/icon_fixture.h"
#include "unit/pack/pack_test_support.h"
#include "unit/test_files.h"

// A packed program's identity as Windows reads it: the shell's icon extraction, the version API,
// and the loader, which starts the program only when its image is well-formed.
namespace {

struct RunnerUnderTest {
  const char* Name;
  bool BesideTheTest;  // the Runner built with this test; otherwise the i686 release build's
};

constexpr uint32_t kRed = 0xFFFF0000, kBlue = 0xFF0000FF, kYellow = 0xFFFFFF00, kGreen = 0xFF00FF00;

std::string BesideThisProgram(const char* name) {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path, length);
  return folder.substr(0, folder.find_last_of("\\/") + 1) + name;
}

// The colour of the icon's middle pixel, and its width, as the system drew it into a bitmap.
struct IconLook {
  int Width = 0;
  uint32_t Middle = 0;
};

IconLook LookOf(HICON icon) {
  IconLook look;
  ICONINFO info{};
  if (!GetIconInfo(icon, &info)) return look;
  BITMAP bitmap{};
  GetObjectA(info.hbmColor, sizeof bitmap, &bitmap);
  look.Width = bitmap.bmWidth;
  BITMAPINFO format{};
  format.bmiHeader.biSize = sizeof format.bmiHeader;
  format.bmiHeader.biWidth = bitmap.bmWidth;
  format.bmiHeader.biHeight = bitmap.bmHeight;
  format.bmiHeader.biPlanes = 1;
  format.bmiHeader.biBitCount = 32;
  std::vector<uint32_t> pixels(static_cast<size_t>(bitmap.bmWidth) * bitmap.bmHeight);
  HDC dc = GetDC(nullptr);
  GetDIBits(dc, info.hbmColor, 0, bitmap.bmHeight, pixels.data(), &format, DIB_RGB_COLORS);
  ReleaseDC(nullptr, dc);
  look.Middle = pixels[pixels.size() / 2 + bitmap.bmWidth / 2] | 0xFF000000;
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  return look;
}

uint32_t ColourOfSize(int size) {
  switch (size) {
    case 16: return kRed;
    case 32: return kBlue;
    case 48: return kYellow;
    default: return kGreen;
  }
}

class IdentityTest : public ::testing::TestWithParam<RunnerUnderTest> {
 protected:
  void SetUp() override {
    const std::string runner = GetParam().BesideTheTest ? BesideThisProgram(RUNNER_PROGRAM) : I686_RUNNER;
    if (GetFileAttributesA(runner.c_str()) == INVALID_FILE_ATTRIBUTES)
      GTEST_SKIP() << runner << " is not built";
    vmtest::WriteBytes(runner_, vmtest::ReadBytes(runner));
    vmtest::WriteBytes(icon_, vmtest::IconFileOf({
                                  {16, vmtest::SolidBitmapImage(16, kRed)},
                                  {32, vmtest::SolidBitmapImage(32, kBlue)},
                                  {48, vmtest::SolidBitmapImage(48, kYellow)},
                                  {256, vmtest::SolidPngImage(256, kGreen)},
                              }));
    vmtest::WriteBytes(movie_, vmtest::Compressible(1000));
    const vmtest::VmpackResult built = vmtest::Vmpack(
        {"build", "--runner", runner_, "-o", out_, "--icon", icon_, "--product", "Cloud Atlas",
         "--company", "Author Films", "--copyright", copyright_, "--version", "2.3.4.5", movie_});
    ASSERT_EQ(built.ExitCode, 0) << built.Err;
  }

  std::string VersionText(const std::string& name) {
    const DWORD size = GetFileVersionInfoSizeA(out_.c_str(), nullptr);
    std::vector<char> block(size);
    if (size == 0 || !GetFileVersionInfoA(out_.c_str(), 0, size, block.data())) return "(none)";
    struct Translation {
      WORD Language, CodePage;
    }* translation = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(block.data(), "\\VarFileInfo\\Translation",
                        reinterpret_cast<void**>(&translation), &length))
      return "(no translation)";
    char key[128];
    wsprintfA(key, "\\StringFileInfo\\%04x%04x\\%s", translation->Language, translation->CodePage,
              name.c_str());
    char* text = nullptr;
    if (!VerQueryValueA(block.data(), key, reinterpret_cast<void**>(&text), &length)) return "(missing)";
    return text;
  }

  vmtest::TempDir dir_;
  const std::string runner_ = dir_.File("runner.exe");
  const std::string out_ = dir_.File("Cloud Atlas.exe");
  const std::string icon_ = dir_.File("author.ico");
  const std::string movie_ = dir_.File("movie.swf");
  // vmpack's own text here is the ANSI code page, and the version API answers in it.
  const std::string copyright_ = GetACP() == 1252 ? "\xA9 2024 M. Author" : "(c) 2024 M. Author";
};

TEST_P(IdentityTest, TheShellShowsTheNewIconInEachSize) {
  EXPECT_EQ(ExtractIconExA(out_.c_str(), -1, nullptr, nullptr, 0), 1u);
  // One at a time: Wine 8, asked for both at once, scales the large image down for the small.
  for (int metric : {SM_CXICON, SM_CXSMICON}) {
    HICON icon = nullptr;
    ASSERT_EQ(ExtractIconExA(out_.c_str(), 0, metric == SM_CXICON ? &icon : nullptr,
                             metric == SM_CXICON ? nullptr : &icon, 1),
              1u);
    const IconLook look = LookOf(icon);
    EXPECT_EQ(look.Width, GetSystemMetrics(metric));
    EXPECT_EQ(look.Middle, ColourOfSize(GetSystemMetrics(metric))) << metric;
    DestroyIcon(icon);
  }

  // Each size is its own image; the 256-pixel one is a PNG.
  for (int size : {16, 32, 48, 256}) {
    HICON icon = nullptr;
    UINT id = 0;
    ASSERT_EQ(PrivateExtractIconsA(out_.c_str(), 0, size, size, &icon, &id, 1, 0), 1u) << size;
    const IconLook look = LookOf(icon);
    EXPECT_EQ(look.Width, size);
    EXPECT_EQ(look.Middle, ColourOfSize(size)) << size;
    DestroyIcon(icon);
  }
}

TEST_P(IdentityTest, TheVersionApiGivesTheNewTextsAndNumbers) {
  EXPECT_EQ(VersionText("ProductName"), "Cloud Atlas");
  EXPECT_EQ(VersionText("CompanyName"), "Author Films");
  EXPECT_EQ(VersionText("LegalCopyright"), copyright_);
  EXPECT_EQ(VersionText("FileVersion"), "2.3.4.5");
  EXPECT_EQ(VersionText("ProductVersion"), "2.3.4.5");
  EXPECT_EQ(VersionText("FileDescription"), "Vardel Mossant movie runner");

  const DWORD size = GetFileVersionInfoSizeA(out_.c_str(), nullptr);
  std::vector<char> block(size);
  ASSERT_TRUE(GetFileVersionInfoA(out_.c_str(), 0, size, block.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00020003u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0x00040005u);
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00020003u);
  EXPECT_EQ(fixed->dwProductVersionLS, 0x00040005u);
}

// Starts the program suspended and ends it again: the loader maps the image before the program
// runs a single instruction, and refuses one whose sections, image size or headers do not fit
// together. The error code when it does not start.
DWORD StartSuspended(const std::string& program, const std::string& folder) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  std::string commandLine = "\"" + program + "\"";
  if (!vmtest::CreateProcessRetrying(program.c_str(), commandLine.data(), FALSE, CREATE_SUSPENDED,
                                     nullptr, folder.c_str(), &startup, &process))
    return GetLastError();
  TerminateProcess(process.hProcess, 0);
  WaitForSingleObject(process.hProcess, 10000);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return ERROR_SUCCESS;
}

TEST_P(IdentityTest, TheLoaderStartsThePackedProgram) {
  if (DWORD error = StartSuspended(runner_, dir_.Path()))
    GTEST_SKIP() << "the Runner itself does not start here (error " << error
                 << "): 32-bit programs need the emulator and a prefix with a 32-bit system";
  EXPECT_EQ(StartSuspended(out_, dir_.Path()), static_cast<DWORD>(ERROR_SUCCESS)) << out_;
}

INSTANTIATE_TEST_SUITE_P(Runners, IdentityTest,
                         ::testing::Values(RunnerUnderTest{"BesideTheTest", true},
                                           RunnerUnderTest{"I686Release", false}),
                         [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
