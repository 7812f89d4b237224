#include <gtest/gtest.h>

#include <filesystem>

#include "config/ini_file.h"
#include "config/password_hash.h"
#include "pack/text_conversion.h"
#include "pack/utf8.h"
#include "unit/pack/pack_test_support.h"
#include "unit/pack/runner_fixture.h"
#include "unit/payload/payload_bytes.h"
#include "unit/test_files.h"

namespace {

using vm::pack::UnicodeToHost;

// The names and password in the tool's own text, and the bytes that the code page's published
// table gives for them: what the Runner must find in the payload.
struct Round {
  int CodePage;
  std::u32string Name;
  std::string NameBytes;
  std::u32string Password;
  std::string PasswordBytes;
};

const Round kRounds[] = {
    {1252, U"Übung.pdf", "\xDC" "bung.pdf", U"pässwörd", "\x70\xE4\x73\x73\x77\xF6\x72\x64"},
    {1250, U"Łódź.txt", "\xA3\xF3\x64\x9F.txt", U"hasło", "has\xB3o"},
    {1251, U"Привет.txt", "\xCF\xF0\xE8\xE2\xE5\xF2.txt", U"пароль", "\xEF\xE0\xF0\xEE\xEB\xFC"},
    {932, U"日本語.txt", "\x93\xFA\x96\x7B\x8C\xEA.txt", U"暗号", "\x88\xC3\x8D\x86"},
    {949, U"한국어.txt", "\xC7\xD1\xB1\xB9\xBE\xEE.txt", U"암호", "\xBE\xCF\xC8\xA3"},
};

bool HostCanHold(const std::u32string& text) {
  return vm::pack::HostToUnicode(UnicodeToHost(text)) == text;
}

uint32_t CheckValueOf(const std::string& bytes) {
  vm::RandomGenerator rng;
  return vm::PasswordHash(bytes, true, rng);
}

class CharactersTest : public ::testing::Test {
 protected:
  CharactersTest() {
    vmtest::WriteBytes(runner_, vmtest::RunnerImage());
    vmtest::WriteBytes(settings_, "[Settings]\nFullScreen=1\n");
  }

  vmtest::TempDir dir_;
  const std::string runner_ = dir_.File("runner.exe");
  const std::string out_ = dir_.File("out.exe");
  // Shorter than every name, so that the names set the widths of the listed columns.
  const std::string settings_ = dir_.File("s.ini");
};

TEST_F(CharactersTest, NamesAndPasswordReachThePayloadInTheCodePage) {
  for (const Round& round : kRounds) {
    SCOPED_TRACE(round.CodePage);
    if (!HostCanHold(round.Name + round.Password)) {
      std::cout << "code page " << round.CodePage << " skipped: beyond this system's text\n";
      continue;
    }
    const std::string name = UnicodeToHost(round.Name);
    vmtest::WriteBytes(dir_.File(name), "data");
    const std::string codePage = std::to_string(round.CodePage);
    const vmtest::VmpackResult built = vmtest::Vmpack(
        {"build", "--runner", runner_, "-o", out_, "--codepage", codePage, "--session", name,
         "--group", name, dir_.File(name), "--group", "", settings_, "--password",
         UnicodeToHost(round.Password)});
    ASSERT_EQ(built.ExitCode, 0) << built.Err;

    const auto sessions = vmtest::ReadPayload(out_);
    ASSERT_EQ(sessions.size(), 1u);
    EXPECT_EQ(sessions[0].Trailer.SessionName, round.NameBytes);
    EXPECT_EQ(sessions[0].Files[0].Prefix.FileName, round.NameBytes);
    EXPECT_EQ(sessions[0].Files[0].Prefix.GroupName, round.NameBytes);

    const vm::IniFile packedSettings(vmtest::ReadBytes(out_).substr(
        static_cast<size_t>(sessions[0].Files[1].PrefixOffset) + vm::kPrefixSize,
        static_cast<size_t>(sessions[0].Files[1].Prefix.StoredSize)));
    EXPECT_EQ(packedSettings.Read("Settings", "AlignmentX"),
              std::to_string(CheckValueOf(round.PasswordBytes)));

    const vmtest::VmpackResult hashed = vmtest::Vmpack(
        {"password-hash", "--codepage", codePage, UnicodeToHost(round.Password)});
    EXPECT_EQ(hashed.Out, std::to_string(CheckValueOf(round.PasswordBytes)) + "\n");

    const vmtest::VmpackResult listed = vmtest::Vmpack({"list", out_, "--codepage", codePage});
    ASSERT_EQ(listed.ExitCode, 0) << listed.Err;
    EXPECT_NE(listed.Out.find("Session \"" + name + "\""), std::string::npos) << listed.Out;
    EXPECT_NE(listed.Out.find("  " + name + "  " + name + "  "), std::string::npos) << listed.Out;
    std::filesystem::remove(out_);
  }
}

TEST_F(CharactersTest, RefusesACharacterTheCodePageCannotRepresent) {
  if (!HostCanHold(U"Übung.pdf")) GTEST_SKIP() << "beyond this system's text";
  const std::string name = UnicodeToHost(U"Übung.pdf");
  vmtest::WriteBytes(dir_.File(name), "data");
  const std::vector<std::string> names = vmtest::ListNames(dir_.Path());

  const vmtest::VmpackResult built = vmtest::Vmpack(
      {"build", "--runner", runner_, "-o", out_, "--codepage", "1251", dir_.File(name)});

  EXPECT_EQ(built.ExitCode, 1);
  EXPECT_EQ(built.Err, "vmpack: The file name \"" + name + "\" holds \"" + UnicodeToHost(U"Ü") +
                           "\" (U+00DC), which code page 1251 cannot represent; choose another "
                           "one with --codepage\n");
  EXPECT_EQ(vmtest::ListNames(dir_.Path()), names);

  const vmtest::VmpackResult hashed =
      vmtest::Vmpack({"password-hash", "--codepage", "1251", UnicodeToHost(U"Ü")});
  EXPECT_EQ(hashed.ExitCode, 1);
  EXPECT_NE(hashed.Err.find("The password holds"), std::string::npos) << hashed.Err;
}

TEST_F(CharactersTest, VerifyShowsAStoredNameAsItsAuthorWroteIt) {
  if (!HostCanHold(U"Übung.")) GTEST_SKIP() << "beyond this system's text";
  vmtest::WriteBytes(out_, vmtest::SessionBytes(vmtest::FakeRunnerImage(), "Session1",
                                                {vmtest::StoredFile("\xDC" "bung.", "x")}));

  const vmtest::VmpackResult verified = vmtest::Vmpack({"verify", out_});

  EXPECT_EQ(verified.ExitCode, 1);
  EXPECT_NE(verified.Err.find("\"" + UnicodeToHost(U"Übung.") +
                              "\": Unsafe file name: it ends in a dot"),
            std::string::npos)
      << verified.Err;
}

}  // namespace

// A console writer converts what it has at each flush and keeps a character cut by the flush.
TEST(CompleteUtf8LengthTest, StopsBeforeACharacterCutShort) {
  const struct {
    std::string Text;
    size_t Complete;
  } cases[] = {
      {"", 0},
      {"abc", 3},
      {"a\xCE\xA9", 3},              // Ω whole
      {"a\xCE", 1},                  // Ω's first byte only
      {"\xE6\x97\xA5", 3},           // 日 whole
      {"x\xE6\x97", 1},              // 日 without its last byte
      {"\xF0\x9F\x8E\xAC", 4},       // 🎬 whole
      {"\xF0\x9F\x8E", 0},           // 🎬 without its last byte
      {"a\x80\x80\x80\x80", 5},      // no lead byte: the converter's to refuse, not held back
  };
  for (const auto& c : cases)
    EXPECT_EQ(vm::pack::CompleteUtf8Length(c.Text), c.Complete) << c.Text.size();
}
