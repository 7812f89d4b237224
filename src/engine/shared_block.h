#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

// The block's 32-bit values are little-endian, and are copied in one piece.
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ != __ORDER_LITTLE_ENDIAN__
#error "the shared block's layout assumes a little-endian machine"
#endif

// The block that the Runner shares with its hook library: the first bytes of a named mapping,
// little-endian 32-bit values, single bytes and length-prefixed strings at fixed offsets.
namespace vm {

// Both names take the instance suffix ("_VDL_RT", "_VDL_RT3") so each Runner talks only to its
// own hook library.
constexpr char kSharedMappingName[] = "HalvornRunnerMapping";
constexpr char kRunnerMessageName[] = "HalvornRunnerMessage";

// The mapping is created larger than the part that either side maps.
constexpr size_t kSharedMappingSize = 11140;
constexpr size_t kSharedBlockSize = 1140;

// A string field: one length byte, then up to 255 characters.
constexpr size_t kShortStringCapacity = 255;
constexpr size_t kShortStringSize = 1 + kShortStringCapacity;

// Field descriptors: the type says how the bytes at the offset are read.
struct DwordField {
  size_t offset;
};
struct ByteField {
  size_t offset;
};
struct StringField {
  size_t offset;
};

// Hook handles as the Runner installed them, for the library's CallNextHookEx (0 = not installed).
constexpr DwordField kBlockMouseHook{0};
constexpr DwordField kBlockKeyboardHook{4};
constexpr DwordField kBlockCbtHook{8};
constexpr DwordField kBlockGetMessageHook{12};
constexpr DwordField kBlockReserved16{16};
constexpr DwordField kBlockReserved20{20};
// The library acts only inside this process; 0 once the session is over.
constexpr DwordField kBlockProjectorProcessId{24};
constexpr DwordField kBlockReserved28{28};
// Not part of the projector's contract, which leaves 32 to 44 unused: the command id of the
// projector's full-screen item as the library reads it inside the projector, 0 until it has. The
// Runner's own walk cannot read another process's menu under Wine, so it waits for this one there.
constexpr DwordField kBlockFullScreenCommand{32};
constexpr DwordField kBlockProjectorWindow{48};
// The Runner's main window, written twice; both are 0 once the session is over.
constexpr DwordField kBlockMainWindow{52};
constexpr DwordField kBlockMainWindowCopy{56};
constexpr ByteField kBlockReserved60{60};
constexpr ByteField kBlockKeyInteractionOff{61};
constexpr ByteField kBlockMouseInteractionOff{62};
constexpr ByteField kBlockRightClickMenuOff{63};
// Not part of the projector's contract, which leaves 64 unused: 1 when the session's sound is
// muted, so that the library mutes the projector's own audio session as well.
constexpr ByteField kBlockMuteSound{64};
constexpr ByteField kBlockReservedOne68{68};  // always 1
constexpr ByteField kBlockReserved69{69};
constexpr ByteField kBlockReserved70{70};
constexpr ByteField kBlockReserved71{71};
constexpr ByteField kBlockReserved72{72};
constexpr ByteField kBlockDisableWindowsKey{73};
constexpr ByteField kBlockDisableScreenSaver{74};
constexpr DwordField kBlockRunnerThreadId{76};
constexpr ByteField kBlockExitOnEsc{80};
constexpr ByteField kBlockCloseMenu{81};
constexpr ByteField kBlockSetupMenu{82};
// Written only by the Runner, around its right-click menu.
constexpr ByteField kBlockMenuOpen{83};
constexpr ByteField kBlockDraggable{84};
constexpr DwordField kBlockReservedOne88{88};  // always 1
// Set by the Runner once it has taken the library's ready notice.
constexpr ByteField kBlockProjectorReady{96};
constexpr ByteField kBlockHideCursor{97};
constexpr ByteField kBlockMinimizeMenu{98};
constexpr DwordField kBlockMovieShown{100};
constexpr DwordField kBlockRunnerProcessId{104};
// No trailing backslash.
constexpr StringField kBlockWorkingDirectory{116};
constexpr StringField kBlockBrowserCommand{372};
constexpr StringField kBlockDdeApplication{628};
constexpr StringField kBlockDdeTopic{884};

static_assert(kBlockDdeTopic.offset + kShortStringSize == kSharedBlockSize,
              "the last string ends the block");
static_assert(kSharedBlockSize <= kSharedMappingSize, "the block is the head of the mapping");

// Reads the fields of a block of kSharedBlockSize bytes. The other side may write at any time:
// each read takes the current bytes. The number reads, and the 32-bit writes below, are inline,
// so that the hook library, which carries no runtime, uses them with the Runner's own code.
class SharedBlockView {
 public:
  explicit SharedBlockView(const uint8_t* bytes) : bytes_(bytes) {}

  // One aligned 32-bit copy rather than four byte reads: the other process may be writing the
  // value at this moment, and must never be seen half old, half new.
  uint32_t Get(DwordField field) const {
    uint32_t value;
    std::memcpy(&value, bytes_ + field.offset, sizeof value);
    return value;
  }
  uint8_t Get(ByteField field) const { return bytes_[field.offset]; }
  std::string Get(StringField field) const;
  bool IsSet(ByteField field) const { return Get(field) != 0; }

 private:
  const uint8_t* bytes_;
};

// Reads and writes the fields of a block of kSharedBlockSize bytes.
class SharedBlock : public SharedBlockView {
 public:
  explicit SharedBlock(uint8_t* bytes) : SharedBlockView(bytes), bytes_(bytes) {}

  // One aligned 32-bit copy, for the same reason as Get's.
  void Set(DwordField field, uint32_t value) { std::memcpy(bytes_ + field.offset, &value, sizeof value); }
  void Set(ByteField field, uint8_t value);
  // Longer texts are cut to the first 255 characters.
  void Set(StringField field, const std::string& text);
  // Zeroes all kSharedBlockSize bytes.
  void Clear();

 private:
  uint8_t* bytes_;
};

}  // namespace vm
