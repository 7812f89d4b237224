#include <gtest/gtest.h>

#include <string>

#include "e2e/runner_harness.h"

namespace {

using vmtest::PackedRunner;

constexpr DWORD kRunTimeoutMs = 40000;
constexpr size_t kSignatureAlignment = 8;
constexpr size_t kPeHeaderOffsetAt = 0x3C;
constexpr size_t kOptionalHeaderInPe = 24;
constexpr uint16_t kPe32PlusMagic = 0x20B;
constexpr size_t kDirectoriesInPe32 = 96;
constexpr size_t kDirectoriesInPe32Plus = 112;
constexpr size_t kSecurityDirectory = 4;
constexpr uint16_t kCertificateRevision = 0x0200;
constexpr uint16_t kPkcsSignedData = 0x0002;

uint32_t Get(const std::string& bytes, size_t at, size_t width) {
  uint32_t value = 0;
  for (size_t i = 0; i < width; ++i)
    value |= static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
  return value;
}

void Put(std::string& bytes, size_t at, uint32_t value, size_t width) {
  for (size_t i = 0; i < width; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i) & 0xFF);
}

// What Authenticode signing does to a built program: pad it to 8 bytes, append a
// WIN_CERTIFICATE, and point the PE header's security directory at it. The signature itself
// is filler; Windows does not check it to start a program.
void SignLikeAuthenticode(const std::string& path) {
  std::string bytes = vmtest::ReadBytes(path);
  bytes.append((kSignatureAlignment - bytes.size() % kSignatureAlignment) % kSignatureAlignment,
               '\0');
  const size_t certificateAt = bytes.size();
  const std::string body = vmtest::Incompressible(1600, 3);
  std::string certificate(8, '\0');
  Put(certificate, 0, static_cast<uint32_t>(8 + body.size()), 4);
  Put(certificate, 4, kCertificateRevision, 2);
  Put(certificate, 6, kPkcsSignedData, 2);
  bytes += certificate + body;

  const size_t optionalHeader = Get(bytes, kPeHeaderOffsetAt, 4) + kOptionalHeaderInPe;
  const size_t directories =
      optionalHeader + (Get(bytes, optionalHeader, 2) == kPe32PlusMagic ? kDirectoriesInPe32Plus
                                                                         : kDirectoriesInPe32);
  Put(bytes, directories + 8 * kSecurityDirectory, static_cast<uint32_t>(certificateAt), 4);
  Put(bytes, directories + 8 * kSecurityDirectory + 4,
      static_cast<uint32_t>(certificate.size() + body.size()), 4);
  vmtest::WriteBytes(path, bytes);
}

TEST(SignedMovie, PlaysAndCleansUpAsBeforeSigning) {
  PackedRunner runner("Signed", {{"settings.ini", "[Settings]\r\nPassword=0\r\nCurrentDir=1\r\n"},
                                 vmtest::StandinProjector(),
                                 vmtest::HookLibrary()});
  const size_t unsignedSize = vmtest::ReadBytes(runner.ExePath()).size();
  SignLikeAuthenticode(runner.ExePath());
  ASSERT_GT(vmtest::ReadBytes(runner.ExePath()).size(), unsignedSize + 1600);
  runner.StandinScript = "ready;sleep 500;close-request";

  ASSERT_TRUE(runner.Run(kRunTimeoutMs)) << "the Runner did not end";

  const auto log = runner.StandinLines();
  EXPECT_TRUE(vmtest::TraceHas(log, "parent-class GaGaMossantWindow"));
  EXPECT_TRUE(vmtest::TraceHas(log, "cwd " + runner.BaseDir() + "Vdl_Rt"));
  EXPECT_TRUE(vmtest::TraceHas(log, "closed"));
  EXPECT_TRUE(runner.LeftInBase().empty()) << runner.LeftInBase().front();
}

}  // namespace
