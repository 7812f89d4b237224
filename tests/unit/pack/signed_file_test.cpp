#include <gtest/gtest.h>

#include <cstdlib>

#include "unit/pack/pack_test_support.h"
#include "unit/pack/runner_fixture.h"
#include "unit/test_files.h"

namespace {

constexpr size_t kSignatureAlignment = 8;
constexpr uint16_t kCertificateRevision = 0x0200;
constexpr uint16_t kPkcsSignedData = 0x0002;

void Put(std::string& bytes, size_t at, uint64_t value, size_t width) {
  if (bytes.size() < at + width) bytes.resize(at + width, '\0');
  for (size_t i = 0; i < width; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i) & 0xFF);
}

// What signing appends: zeros up to an 8-byte boundary, then a WIN_CERTIFICATE (length,
// revision, type) whose body is the PKCS#7 signature.
std::string SignatureLikeBlock(size_t fileSize, size_t bodySize) {
  std::string block((kSignatureAlignment - fileSize % kSignatureAlignment) % kSignatureAlignment, '\0');
  std::string header;
  Put(header, 0, 8 + bodySize, 4);
  Put(header, 4, kCertificateRevision, 2);
  Put(header, 6, kPkcsSignedData, 2);
  return block + header + vmtest::Incompressible(bodySize, 7);
}

class SignedFileTest : public ::testing::Test {
 protected:
  SignedFileTest() {
    vmtest::WriteBytes(runner_, vmtest::RunnerImage());
    vmtest::WriteBytes(dir_.File("movie.swf"), vmtest::Compressible(5000));
    vmtest::WriteBytes(dir_.File("movie.ini"), "[Settings]\nPassword=0\n");
  }

  void Build(const std::string& runner) {
    const vmtest::VmpackResult built =
        vmtest::Vmpack({"build", "--runner", runner, "-o", out_, dir_.File("movie.swf"),
                        dir_.File("movie.ini")});
    ASSERT_EQ(built.ExitCode, 0) << built.Err;
  }

  // Verify, list and extract take the file as signed, and say how much follows the payload.
  void ExpectReadable(const std::string& file, size_t bytesAfter) {
    const std::string note =
        std::to_string(bytesAfter) + " bytes after the last session, for example a signature\n";
    const vmtest::VmpackResult verified = vmtest::Vmpack({"verify", file});
    EXPECT_EQ(verified.ExitCode, 0) << verified.Err;
    EXPECT_EQ(verified.Out, file + ": sound; 1 session, 2 files, 5022 bytes\n" + note);

    const vmtest::VmpackResult listed = vmtest::Vmpack({"list", file});
    EXPECT_EQ(listed.ExitCode, 0) << listed.Err;
    EXPECT_NE(listed.Out.find("  movie.swf "), std::string::npos) << listed.Out;
    EXPECT_EQ(listed.Out.substr(listed.Out.size() - note.size()), note);

    vmtest::TempDir target;
    const vmtest::VmpackResult extracted = vmtest::Vmpack({"extract", file, "-C", target.Path()});
    EXPECT_EQ(extracted.ExitCode, 0) << extracted.Err;
    EXPECT_EQ(extracted.Out, "Extracted 2 files of session \"Session1\" to " + target.Path() +
                                 "\n" + note);
    EXPECT_EQ(vmtest::ReadBytes(target.File("movie.swf")), vmtest::Compressible(5000));
  }

  vmtest::TempDir dir_;
  const std::string runner_ = dir_.File("runner.exe");
  const std::string out_ = dir_.File("movie.exe");
};

TEST_F(SignedFileTest, ASignatureAfterThePayloadIsReportedNotRefused) {
  Build(runner_);
  const std::string unsigned_ = vmtest::ReadBytes(out_);
  const std::string block = SignatureLikeBlock(unsigned_.size(), 1500);
  vmtest::WriteBytes(out_, unsigned_ + block);

  ExpectReadable(out_, block.size());
  const vmtest::VmpackResult json = vmtest::Vmpack({"list", out_, "--json"});
  EXPECT_NE(json.Out.find("\"bytesAfterLastSession\": " + std::to_string(block.size())),
            std::string::npos)
      << json.Out;
}

bool HasTool(const std::string& probe) { return std::system((probe + " >/dev/null 2>&1").c_str()) == 0; }

TEST_F(SignedFileTest, AFileSignedByOsslsigncodeStaysReadable) {
#ifdef _WIN32
  GTEST_SKIP() << "osslsigncode and openssl run on the build machine";
#endif
  if (!HasTool("osslsigncode --version") || !HasTool("openssl version"))
    GTEST_SKIP() << "osslsigncode or openssl is not installed";
  const std::string pe = dir_.File("runner-pe.exe");
  vmtest::WriteBytes(pe, vmtest::RunnerImage());
  Build(pe);
  const std::string key = dir_.File("key.pem");
  const std::string cert = dir_.File("cert.pem");
  const std::string signedFile = dir_.File("signed.exe");
  ASSERT_EQ(std::system(("openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj /CN=vmpack-test"
                         " -keyout '" + key + "' -out '" + cert + "' >/dev/null 2>&1")
                            .c_str()),
            0);
  ASSERT_EQ(std::system(("osslsigncode sign -certs '" + cert + "' -key '" + key + "' -in '" +
                         out_ + "' -out '" + signedFile + "' >/dev/null 2>&1")
                            .c_str()),
            0);

  const std::string before = vmtest::ReadBytes(out_);
  const std::string after = vmtest::ReadBytes(signedFile);
  ASSERT_GT(after.size(), before.size());
  // Signing changes the checksum and the certificate entry in the headers, and appends.
  EXPECT_EQ(after.substr(vmtest::kFixtureHeadersSize, before.size() - vmtest::kFixtureHeadersSize),
            before.substr(vmtest::kFixtureHeadersSize));
  ExpectReadable(signedFile, after.size() - before.size());
}

}  // namespace
