#include "payload/payload_writer.h"

#include <gtest/gtest.h>

#include "payload/session_files.h"
#include "payload/session_lookup.h"
#include "support/errors.h"
#include "unit/test_files.h"

namespace {

using vmtest::TempDir;

vm::FilePrefix Meta(const std::string& name, const std::string& group = "") {
  vm::FilePrefix meta;
  meta.FileName = name;
  meta.SourceFolder = "C:\\movie\\";
  meta.GroupName = group;
  meta.LastWriteTime = 132000000000000000ULL;
  return meta;
}

TEST(PayloadWriter, LaysOutSessionsAsTheReaderWalksThem) {
  TempDir dir;
  const std::string image = vmtest::FakeRunnerImage(5000);
  std::string path = dir.File("out.exe");
  {
    vm::FileStream out = vm::FileStream::Create(path);
    out.WriteBuffer(image.data(), image.size());
    vm::PayloadWriter writer(out, "Vardel Mossant vmpack test");
    writer.BeginSession("Session1");
    writer.AddFile(Meta("raw.bin"), std::string(108, 'r'));
    writer.AddFile(Meta("zip.bin", "grp"), std::string(109, 'z'));
    writer.EndSession();
    writer.BeginSession("Second");
    writer.EndSession();
  }
  vm::FileStream in = vm::FileStream::OpenRead(path);
  auto sessions = vm::ListSessions(in, false);
  ASSERT_EQ(sessions.size(), 2u);
  const vm::TrailerAt& first = sessions[1];
  EXPECT_EQ(first.Trailer.StartOffset, 5000);
  EXPECT_EQ(first.Trailer.StartOffset + first.Trailer.DataLength, first.Offset);
  EXPECT_EQ(first.Trailer.FileCount, 2);
  EXPECT_EQ(first.Trailer.TotalSize, 217);
  EXPECT_EQ(first.Trailer.BuilderText, "Vardel Mossant vmpack test");
  EXPECT_EQ(sessions[0].Trailer.StartOffset, first.Offset + 220);
  EXPECT_EQ(sessions[0].Trailer.FileCount, 0);

  in.Seek(first.Trailer.StartOffset);
  vm::FilePrefix raw = vm::ReadFilePrefix(in, first.Offset, vm::NoLeadBytes);
  EXPECT_EQ(raw.StoredSize, 108);
  in.Seek(in.Position() + raw.StoredSize);
  vm::FilePrefix zip = vm::ReadFilePrefix(in, first.Offset, vm::NoLeadBytes);
  EXPECT_EQ(zip.GroupName, "grp");
  std::string header(2, '\0');
  in.ReadBuffer(&header[0], 2);
  EXPECT_EQ(header, "\x78\xDA");  // zlib at the highest level
  EXPECT_EQ(in.Position() - 2 + zip.StoredSize, first.Offset);
}

TEST(PayloadWriter, RefusesWhatTheFormatCannotHold) {
  TempDir dir;
  vm::FileStream out = vm::FileStream::Create(dir.File("out.exe"));
  vm::PayloadWriter writer(out, "test");
  EXPECT_THROW(writer.BeginSession(std::string(64, 's')), vm::Exception);
  EXPECT_THROW(writer.BeginSession(""), vm::Exception);
  EXPECT_THROW(writer.AddFile(Meta("a"), std::string("x")), vm::Exception);  // no session
  writer.BeginSession(std::string(63, 's'));
  EXPECT_THROW(writer.AddFile(Meta(std::string(256, 'f')), std::string("x")), vm::Exception);
  EXPECT_THROW(writer.AddFile(Meta("..\\x"), std::string("x")), vm::Exception);
  EXPECT_THROW(writer.AddFile(Meta("a", std::string(256, 'g')), std::string("x")), vm::Exception);
  writer.AddFile(Meta(std::string(255, 'f')), std::string("x"));
}

}  // namespace
