// The uninstall job: every step runs whatever the earlier ones returned.
#include "sequences/sequences.h"

#include "job/product_names.h"
#include "modem/dialup_entry.h"
#include "modem/driver_inf.h"
#include "modem/modem_removal.h"

int RunUninstall(StatusCallback callback, void* context) {
  DeleteDialUpEntry(kEntryName, callback);
  RemoveModemDevices(callback, context);
  UninstallDriverInf(callback);
  return 1;
}
