// The install job: four steps in a fixed order. The first step that fails ends
// the job: its box is shown first, then the roll-back of the earlier steps runs.
#include "sequences/sequences.h"

#include "framework/message_box.h"
#include "job/job_outcome.h"
#include "modem/dialup_entry.h"
#include "modem/driver_inf.h"
#include "modem/modem_removal.h"
#include "modem/modem_setup.h"
#include "sequences/previous_installation.h"

namespace {

constexpr UINT kFailureBoxType = MB_OK | MB_ICONERROR | MB_SETFOREGROUND;

// The failure is recorded before the box is up: the user may close the progress
// dialog instead of the box.
void ShowFailure(const char* text) {
  RecordInstallFailure();
  AfxMessageBox(text, kFailureBoxType, 0);
}

}  // namespace

int RunInstall(StatusCallback callback, void* context) {
  if (!RemovePreviousInstallation(callback, context)) {
    ShowFailure("Failed to clean up previous Halvoran Installation. Setup will exit.");
    return 0;
  }
  if (!StageDriverInf(callback, context)) {
    ShowFailure("Failed to install driver file. Setup will exit.");
    return 0;
  }
  if (!SetUpModem(callback, context)) {
    ShowFailure("Failed to install modem. Setup will exit.");
    UninstallDriverInf(callback);
    return 0;
  }
  int created = CreateDialUpEntry(callback, context);
  if (created) return created;
  ShowFailure("Failed to configure dial up networking connection. Setup will exit.");
  RemoveModemDevices(callback, context);
  UninstallDriverInf(callback);
  return 0;
}
