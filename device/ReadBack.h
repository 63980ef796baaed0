#pragma once
// The request sequences that read the device back or write it as a whole.
// The system never polls: it reads the device in bursts, started here from
// the user-interface thread or by the reply decoders on the reply thread.
#include <cstdint>
#include <functional>

namespace orv {

// Pauses of the sequences (40, 100 and 200 ms) go through this function so
// that tests need not wait. Without one installed the thread really sleeps.
// Never call it while holding a State() guard.
using PauseFunction = std::function<void(int milliseconds)>;
void SetPauseFunction(PauseFunction pause);  // an empty function restores sleeping
void Pause(int milliseconds);

// Full read-back: the wait box with the given text, then GET_ALL. The
// device's parameter image (data type 2) continues it on the reply thread.
void StartFullReadBack(int waitText);
void StartFullReadBack();  // with "Getting Data From Desitination... "

// Full write-back: wait box, FEATHER element 0's low byte cleared, SET_FEATHER
// (3), WRITE_ALL (the whole parameter block). The device's answer hides the box.
void FullWriteBack();

// Preset recall (operation 0 = template, 1 = preset): PRESET, GET_ALL and the
// wait box "Waitting Operation ...". A number outside 0..9 sends nothing.
void RecallPreset(int operation, int number);
// Preset save: PRESET (2, number) and the preset marked as holding data.
// No read-back follows. A number outside 0..9 sends nothing.
void SavePreset(int number);

// Device search: the device address becomes 0xFF and SEARCH (0xFF) is sent;
// answering devices report with data types 0 and 27.
void StartDeviceSearch();

// The requests the full read-back sends 200 ms after the image was applied.
void SendReadBackFollowUps();

}  // namespace orv
