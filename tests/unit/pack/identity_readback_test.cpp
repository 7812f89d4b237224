#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "pack/pe_image.h"
#include "unit/pack/icon_fixture.h"
#include "unit/pack/pack_test_support.h"
#include "unit/pack/runner_fixture.h"
#include "unit/test_files.h"

// A packed program's icon and version information, read back by tools that share no code with
// vmpack: icoutils' wrestool, and osslsigncode, which signs it afterwards.
namespace {

struct RunnerSource {
  const char* Name;
  std::string BuiltAt;  // a Runner of the build tree, or empty for the fixture
  bool Pe32Plus = true;
};

std::string Utf16Bytes(const std::u16string& text) {
  std::string bytes;
  for (char16_t c : text) bytes += std::string{static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
  return bytes;
}

uint32_t FieldAt(const std::string& bytes, size_t at) {
  uint32_t value = 0;
  for (size_t i = 0; i < 4; ++i)
    value |= static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
  return value;
}

// The command's standard output, or none when it fails.
std::optional<std::string> Output(const std::string& command) {
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(("(" + command + ") 2>/dev/null").c_str(), "r"), pclose);
  if (!pipe) return std::nullopt;
  std::string out;
  char block[4096];
  while (size_t got = fread(block, 1, sizeof block, pipe.get())) out.append(block, got);
  if (pclose(pipe.release()) != 0) return std::nullopt;
  return out;
}

bool HasTool(const std::string& probe) { return Output(probe).has_value(); }

std::string Quoted(const std::string& path) { return "'" + path + "'"; }

class IdentityReadbackTest : public ::testing::TestWithParam<RunnerSource> {
 protected:
  void SetUp() override {
#ifdef _WIN32
    GTEST_SKIP() << "wrestool and osslsigncode run on the build machine";
#endif
    const RunnerSource& source = GetParam();
    if (source.BuiltAt.empty()) {
      vmtest::RunnerFixtureOptions options;
      options.Pe32Plus = source.Pe32Plus;
      vmtest::WriteBytes(runner_, vmtest::RunnerFixture(vmtest::RunnerLikeResources(), options));
    } else if (vmtest::Exists(source.BuiltAt)) {
      vmtest::WriteBytes(runner_, vmtest::ReadBytes(source.BuiltAt));
    } else {
      GTEST_SKIP() << source.BuiltAt << " is not built";
    }
    vmtest::WriteBytes(icon_, iconBytes_);
    vmtest::WriteBytes(movie_, vmtest::Compressible(2000));
  }

  void BuildIdentified() {
    const vmtest::VmpackResult built = vmtest::Vmpack(
        {"build", "--runner", runner_, "-o", out_, "--icon", icon_, "--product", "Cloud Atlas",
         "--company", "Author Films", "--copyright", "\xC2\xA9 2024 M. Author", "--version",
         "2.3.4.5", movie_});
    ASSERT_EQ(built.ExitCode, 0) << built.Err;
  }

  void ExpectWrestoolReadsTheIdentity(const std::string& file) {
    const std::string extracted = dir_.File("extracted.ico");
    ASSERT_TRUE(Output("wrestool -x -t14 -n MAINICON -o " + Quoted(extracted) + " " + Quoted(file)));
    // wrestool rebuilds the .ico from the group and its icons in the group's order, and then
    // writes as many bytes more as the group has, of whatever its buffer held (measured on a
    // windres-built icon too).
    const std::string rebuilt = vmtest::ReadBytes(extracted);
    EXPECT_TRUE(rebuilt.substr(0, iconBytes_.size()) == iconBytes_) << "wrestool's icon differs";
    EXPECT_EQ(rebuilt.size(), iconBytes_.size() + 6 + 4 * 14);

    const std::optional<std::string> version = Output("wrestool -x --raw -t16 -n1 " + Quoted(file));
    ASSERT_TRUE(version);
    for (const char16_t* text : {u"ProductName", u"Cloud Atlas", u"CompanyName", u"Author Films",
                                 u"LegalCopyright", u"\u00A9 2024 M. Author", u"FileVersion",
                                 u"ProductVersion", u"2.3.4.5", u"Vardel Mossant movie runner"})
      EXPECT_NE(version->find(Utf16Bytes(text) + std::string(2, '\0')), std::string::npos)
          << std::string(std::u16string(text).begin(), std::u16string(text).end());
    constexpr size_t kFixedInfoAt = 40;
    ASSERT_GT(version->size(), kFixedInfoAt + 24);
    EXPECT_EQ(FieldAt(*version, kFixedInfoAt), 0xFEEF04BDu);
    for (size_t at : {kFixedInfoAt + 8, kFixedInfoAt + 16}) {
      EXPECT_EQ(FieldAt(*version, at), 0x00020003u);
      EXPECT_EQ(FieldAt(*version, at + 4), 0x00040005u);
    }
  }

  vmtest::TempDir dir_;
  const std::string runner_ = dir_.File("runner.exe");
  const std::string out_ = dir_.File("movie.exe");
  const std::string icon_ = dir_.File("author.ico");
  const std::string movie_ = dir_.File("movie.swf");
  const std::string iconBytes_ = vmtest::IconFileOf({
      {16, vmtest::SolidBitmapImage(16, 0xFFFF0000)},
      {32, vmtest::SolidBitmapImage(32, 0xFF0000FF)},
      {48, vmtest::SolidBitmapImage(48, 0x80FFFF00)},
      {256, vmtest::SolidPngImage(256, 0xFF00FF00)},
  });
};

TEST_P(IdentityReadbackTest, WrestoolFindsTheNewIconImagesAndTexts) {
  if (!HasTool("wrestool --version")) GTEST_SKIP() << "icoutils is not installed";
  BuildIdentified();
  ExpectWrestoolReadsTheIdentity(out_);
}

// The linker's checksum of a built Runner is the oracle for the one vmpack writes.
TEST_P(IdentityReadbackTest, TheChecksumIsTheOneTheLinkerComputes) {
  if (GetParam().BuiltAt.empty()) GTEST_SKIP() << "the fixture carries no linker's checksum";
  const std::string runner = vmtest::ReadBytes(runner_);
  const size_t checksumAt = FieldAt(runner, 0x3C) + 24 + 64;
  ASSERT_NE(FieldAt(runner, checksumAt), 0u);
  EXPECT_EQ(vm::pack::PeChecksum(runner, checksumAt), FieldAt(runner, checksumAt));
}

TEST_P(IdentityReadbackTest, SigningAfterwardsKeepsTheIdentityAndThePayload) {
  if (!HasTool("osslsigncode --version") || !HasTool("openssl version") ||
      !HasTool("wrestool --version"))
    GTEST_SKIP() << "osslsigncode, openssl or icoutils is not installed";
  BuildIdentified();
  const std::string key = dir_.File("key.pem"), cert = dir_.File("cert.pem");
  const std::string signedFile = dir_.File("signed.exe");
  ASSERT_TRUE(Output("openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj /CN=vmpack-test"
                     " -keyout " + Quoted(key) + " -out " + Quoted(cert)));
  ASSERT_TRUE(Output("osslsigncode sign -certs " + Quoted(cert) + " -key " + Quoted(key) +
                     " -in " + Quoted(out_) + " -out " + Quoted(signedFile)));

  // The certificate is self-signed, so only the digest can be judged: the signature covers the
  // file as it is.
  const std::string verified =
      Output("osslsigncode verify " + Quoted(signedFile) + " || true").value_or("");
  const size_t current = verified.find("Current message digest    : ");
  const size_t calculated = verified.find("Calculated message digest : ");
  ASSERT_NE(current, std::string::npos) << verified;
  ASSERT_NE(calculated, std::string::npos) << verified;
  EXPECT_EQ(verified.substr(current + 28, 64), verified.substr(calculated + 28, 64));

  const size_t signatureSize = vmtest::ReadBytes(signedFile).size() - vmtest::ReadBytes(out_).size();
  const vmtest::VmpackResult check = vmtest::Vmpack({"verify", signedFile});
  EXPECT_EQ(check.ExitCode, 0) << check.Err;
  EXPECT_EQ(check.Out, signedFile + ": sound; 1 session, 1 file, 2000 bytes\n" +
                           std::to_string(signatureSize) +
                           " bytes after the last session, for example a signature\n");
  ExpectWrestoolReadsTheIdentity(signedFile);
}

// Windows reads the manifest as it loads the program: it must survive packing, keep the program
// from being taken for an installer, and leave the process DPI-unaware with the classic controls.
TEST_P(IdentityReadbackTest, TheManifestKeepsItsPromisesInThePackedProgram) {
  if (GetParam().BuiltAt.empty()) GTEST_SKIP() << "the fixture carries no manifest";
  if (!HasTool("wrestool --version")) GTEST_SKIP() << "icoutils is not installed";
  BuildIdentified();
  for (const std::string& file : {runner_, out_}) {
    SCOPED_TRACE(file);
    const std::optional<std::string> manifest = Output("wrestool -x --raw -t24 -n1 " + Quoted(file));
    ASSERT_TRUE(manifest && !manifest->empty());
    EXPECT_NE(manifest->find("<requestedExecutionLevel level=\"asInvoker\""), std::string::npos) << *manifest;
    for (const char* windows : {"e2011457-1546-43c5-a5fe-008deee3d3f0", "35138b9a-5d96-4fbd-8e2d-a2440225f93a",
                                "4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38", "1f676c76-80e1-4239-95bb-83d0f6d0da78",
                                "8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a"})
      EXPECT_NE(manifest->find("<supportedOS Id=\"{" + std::string(windows) + "}\"/>"), std::string::npos) << windows;
    EXPECT_EQ(manifest->find("dpiAware"), std::string::npos) << *manifest;
    EXPECT_EQ(manifest->find("Microsoft.Windows.Common-Controls"), std::string::npos) << *manifest;
    // A manifest that is not well-formed keeps Windows from starting the program at all.
    if (HasTool("xmllint --version")) {
      const std::string extracted = dir_.File("manifest.xml");
      vmtest::WriteBytes(extracted, *manifest);
      EXPECT_TRUE(Output("xmllint --noout " + Quoted(extracted))) << *manifest;
    }
  }
}

std::string BuiltRunner(const std::string& preset) {
  return std::string(VARDEL_SOURCE_DIR) + "/build/" + preset + "/bin/runner.exe";
}

INSTANTIATE_TEST_SUITE_P(
    Runners, IdentityReadbackTest,
    ::testing::Values(RunnerSource{"FixturePe32Plus", "", true}, RunnerSource{"FixturePe32", "", false},
                      RunnerSource{"X86_64Runner", BuiltRunner("win64")},
                      RunnerSource{"I686Runner", BuiltRunner("win32")}),
    [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
