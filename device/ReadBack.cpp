#include "ReadBack.h"

#include <chrono>
#include <mutex>
#include <thread>
#include <utility>

#include "CommandEncoder.h"
#include "DeviceState.h"
#include "ReplySink.h"

namespace orv {

namespace {

std::mutex& PauseMutex() {
  static std::mutex mutex;
  return mutex;
}

PauseFunction& PauseSlot() {
  static PauseFunction pause;
  return pause;
}

struct Request {
  uint16_t type;
  uint8_t arg;
};

// Sent 200 ms after the parameter image, without waiting for answers.
constexpr Request kReadBackFollowUps[] = {
    {GET_CAPTION, 0}, {VIDEO_ENCODER_CTRL, 2}, {QUERY67, 0},
    {QUERY62, 0},     {GET_LAYERS, 0},         {QUERY73, 0},
    {QUERY68, 0},
};

constexpr int kPresetOperationSave = 2;
constexpr uint8_t kSearchAddress = 0xFF;

bool ValidPreset(int number) {
  return number >= 0 && number < kPresets;
}

}  // namespace

void SetPauseFunction(PauseFunction pause) {
  std::lock_guard lock(PauseMutex());
  PauseSlot() = std::move(pause);
}

void Pause(int milliseconds) {
  PauseFunction pause;
  {
    std::lock_guard lock(PauseMutex());
    pause = PauseSlot();
  }
  if (pause) {
    pause(milliseconds);
  } else {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
  }
}

// The wait box is asked for before the request goes out: an answer that
// comes back at once must not hide it before it was shown.
void StartFullReadBack(int waitText) {
  GetReplySink().BusyOn(waitText);
  SendCommand(GET_ALL);
}

void StartFullReadBack() {
  StartFullReadBack(kWaitTextGettingData);
}

void FullWriteBack() {
  GetReplySink().BusyOn(kWaitTextSettingData);
  {
    auto s = State();
    s->FEATHER[0] &= ~int32_t{0xFF};
  }
  SendCommand(SET_FEATHER, 3);
  SendCommand(WRITE_ALL);
}

void RecallPreset(int operation, int number) {
  if (!ValidPreset(number) || operation == kPresetOperationSave) return;
  GetReplySink().BusyOn(kWaitTextOperation);
  SendCommand(PRESET, operation, number);
  SendCommand(GET_ALL);
}

void SavePreset(int number) {
  if (!ValidPreset(number)) return;
  SendCommand(PRESET, kPresetOperationSave, number);
  auto s = State();
  s->PRESET_FLAGS[number] = 1;
}

void StartDeviceSearch() {
  SetDeviceAddress(kSearchAddress);
  SendCommand(SEARCH, kSearchAddress);
}

void SendReadBackFollowUps() {
  for (const Request& r : kReadBackFollowUps) SendCommand(r.type, r.arg);
}

}  // namespace orv
