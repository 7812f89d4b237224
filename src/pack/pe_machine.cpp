#include "pack/pe_machine.h"

#include <cstdio>

#include "pack/little_endian.h"

namespace vm::pack {
namespace {

constexpr size_t kDosHeaderSize = 0x40;
constexpr size_t kNewHeaderPointerAt = 0x3C;
constexpr size_t kSignatureAndMachineSize = 6;  // "PE\0\0", then the machine
constexpr uint16_t kMachineX86 = 0x14C;
constexpr uint16_t kMachineX64 = 0x8664;
constexpr uint16_t kMachineArm64 = 0xAA64;

}  // namespace

std::optional<uint16_t> ReadPeMachine(FileStream& file) {
  const int64_t size = file.Size();
  if (size < static_cast<int64_t>(kDosHeaderSize)) return std::nullopt;
  std::string dos(kDosHeaderSize, '\0');
  file.Seek(0);
  file.ReadBuffer(dos.data(), dos.size());
  if (dos.compare(0, 2, "MZ") != 0) return std::nullopt;
  const int64_t peAt = ReadLe(dos, kNewHeaderPointerAt, 4);
  if (peAt > size - static_cast<int64_t>(kSignatureAndMachineSize)) return std::nullopt;
  std::string header(kSignatureAndMachineSize, '\0');
  file.Seek(peAt);
  file.ReadBuffer(header.data(), header.size());
  if (header.compare(0, 4, std::string("PE\0\0", 4)) != 0) return std::nullopt;
  return static_cast<uint16_t>(ReadLe(header, 4, 2));
}

std::string MachineText(uint16_t machine) {
  switch (machine) {
    case kMachineX86: return "32-bit (x86)";
    case kMachineX64: return "64-bit (x86-64)";
    case kMachineArm64: return "64-bit (ARM64)";
  }
  char text[sizeof "machine 0xFFFF"];
  std::snprintf(text, sizeof text, "machine 0x%X", machine);
  return text;
}

}  // namespace vm::pack
