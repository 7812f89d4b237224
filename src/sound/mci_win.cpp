#include <windows.h>
#include <mmsystem.h>

#include "sound/mci.h"

namespace vm {
namespace {

static_assert(kMciOpen == MCI_OPEN && kMciClose == MCI_CLOSE && kMciPlay == MCI_PLAY &&
              kMciSeek == MCI_SEEK && kMciStop == MCI_STOP && kMciStatus == MCI_STATUS);
static_assert(kMciNotify == MCI_NOTIFY && kMciWait == MCI_WAIT && kMciOpenElement == MCI_OPEN_ELEMENT &&
              kMciSeekToStart == MCI_SEEK_TO_START && kMciStatusItem == MCI_STATUS_ITEM);
static_assert(kMciStatusLength == MCI_STATUS_LENGTH && kMciStatusPosition == MCI_STATUS_POSITION &&
              kMciStatusMode == MCI_STATUS_MODE && kMciModeNotReady == MCI_MODE_NOT_READY);
static_assert(kMmMciNotify == MM_MCINOTIFY && kMciNotifySuccessful == MCI_NOTIFY_SUCCESSFUL &&
              kMciNotifySuperseded == MCI_NOTIFY_SUPERSEDED && kMciNotifyAborted == MCI_NOTIFY_ABORTED &&
              kMciNotifyFailure == MCI_NOTIFY_FAILURE);

constexpr UINT kErrorTextCapacity = 4096;

// Each command takes its own parameter block; all of them begin with the callback.
class SystemMciCalls : public Mci {
 public:
  MciError SendCommand(MciDeviceId device, uint32_t message, uint32_t flags,
                       MciParameters& parameters) override {
    switch (message) {
      case kMciOpen: {
        MCI_OPEN_PARMSA open = {};
        open.dwCallback = parameters.Callback;
        open.lpstrElementName = parameters.Element.c_str();
        const MCIERROR error = mciSendCommandA(device, message, flags, reinterpret_cast<DWORD_PTR>(&open));
        parameters.OpenedDevice = static_cast<MciDeviceId>(open.wDeviceID);
        return error;
      }
      case kMciPlay: {
        MCI_PLAY_PARMS play = {};
        play.dwCallback = parameters.Callback;
        return mciSendCommandA(device, message, flags, reinterpret_cast<DWORD_PTR>(&play));
      }
      case kMciSeek: {
        MCI_SEEK_PARMS seek = {};
        seek.dwCallback = parameters.Callback;
        return mciSendCommandA(device, message, flags, reinterpret_cast<DWORD_PTR>(&seek));
      }
      case kMciStatus: {
        MCI_STATUS_PARMS status = {};
        status.dwCallback = parameters.Callback;
        status.dwItem = parameters.StatusItem;
        const MCIERROR error = mciSendCommandA(device, message, flags, reinterpret_cast<DWORD_PTR>(&status));
        parameters.StatusValue = static_cast<uint32_t>(status.dwReturn);
        return error;
      }
      default: {
        MCI_GENERIC_PARMS generic = {};
        generic.dwCallback = parameters.Callback;
        return mciSendCommandA(device, message, flags, reinterpret_cast<DWORD_PTR>(&generic));
      }
    }
  }

  std::string ErrorString(MciError error) override {
    char text[kErrorTextCapacity] = {};
    return mciGetErrorStringA(error, text, sizeof text) ? std::string(text) : std::string();
  }
};

// At namespace scope, not a function's static: that one would bring the library's thread-safe
// guard for its first use.
SystemMciCalls MciCalls;

}  // namespace

Mci& SystemMci() { return MciCalls; }

}  // namespace vm
