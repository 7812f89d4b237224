// Writes the seed corpus for payload_fuzz: small valid payloads made with PayloadWriter, each
// behind a stand-in for the Runner's image. Run it on tests/fuzz/corpus to remake the seeds.

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "payload/payload_writer.h"
#include "support/file_stream.h"

namespace {

struct SeedFile {
  std::string Name;
  std::string Bytes;
};

struct SeedSession {
  std::string Name;
  std::vector<SeedFile> Files;
};

// Bytes that hold no trailer; large enough images push the scan past its floor.
std::string Image(size_t size) {
  std::string image(size, '\0');
  uint32_t x = 12345;
  for (char& c : image) {
    x = x * 1103515245u + 12345u;
    c = static_cast<char>(x >> 24);
  }
  image[0] = 'M';
  image[1] = 'Z';
  return image;
}

std::string Text(size_t size) {
  static const char kLine[] = "onClipEvent(enterFrame) { _x += 2; }\n";
  std::string s;
  while (s.size() < size) s += kLine;
  s.resize(size);
  return s;
}

void WriteSeed(const std::string& dir, const std::string& name, const std::string& image,
               const std::vector<SeedSession>& sessions, const std::string& after = "") {
  vm::FileStream out = vm::FileStream::Create(dir + "/" + name);
  out.WriteBuffer(image.data(), image.size());
  vm::PayloadWriter writer(out, "payload_fuzz seeds");
  for (const SeedSession& session : sessions) {
    writer.BeginSession(session.Name);
    for (const SeedFile& file : session.Files) {
      vm::FilePrefix meta;
      meta.FileName = file.Name;
      meta.SourceFolder = "C:\\movie\\";
      meta.GroupName = "main";
      meta.LastWriteTime = 132000000000000000ull;
      writer.AddFile(meta, file.Bytes);
    }
    writer.EndSession();
  }
  out.WriteBuffer(after.data(), after.size());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: payload_fuzz_seeds CORPUS_DIR\n");
    return 2;
  }
  const std::string dir = argv[1];
  try {
    const std::string image = Image(64);
    WriteSeed(dir, "raw_file", image,
              {{"Session1", {{"readme.txt", "Press F11 for full screen.\n"}}}});
    WriteSeed(dir, "compressed_file", image, {{"Session1", {{"movie.swf", Text(1500)}}}});
    WriteSeed(
        dir, "two_sessions", image,
        {{"Session1", {{"a.txt", "first"}, {"~skipped.swf", Text(200)}, {"movie.swf", Text(400)}}},
         {"Session2", {{"movie.swf", Text(300)}}}});
    WriteSeed(dir, "empty_session", image, {{"Session1", {}}});
    // Bytes after the trailer: the reader has to scan back to find it.
    WriteSeed(dir, "scan_back", Image(2300), {{"Session1", {{"b.txt", "behind the image"}}}},
              std::string(40, 'x'));
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "payload_fuzz_seeds: %s\n", e.what());
    return 1;
  }
}
