#include "tools/devcon/remove_device.h"

#include "tools/devcon/device_text.h"

#include <stdio.h>

#include "platform/scoped_handles.h"

namespace {

int NotRemoved(const char* instanceId, DWORD error) {
  char reason[64];
  if (error == ERROR_NO_SUCH_DEVINST)
    snprintf(reason, sizeof reason, "Not removed (no such device)");
  else
    snprintf(reason, sizeof reason, "Not removed (error 0x%08lX)", error);
  WriteDeviceLine(instanceId, 0, reason);
  return 2;
}

}  // namespace

int RemoveDevice(const char* instanceId) {
  ScopedDeviceInfoList set(SetupDiCreateDeviceInfoList(nullptr, nullptr));
  if (!set) return NotRemoved(instanceId, GetLastError());

  SP_DEVINFO_DATA device = {};
  device.cbSize = sizeof device;
  if (!SetupDiOpenDeviceInfoA(set.Get(), instanceId, nullptr, 0, &device))
    return NotRemoved(instanceId, GetLastError());
  // No class-install parameters: DIF_REMOVE then removes the device from every
  // hardware profile, which is what "remove" means here.
  if (!SetupDiCallClassInstaller(DIF_REMOVE, set.Get(), &device))
    return NotRemoved(instanceId, GetLastError());
  SP_DEVINSTALL_PARAMS_A params = {};
  params.cbSize = sizeof params;
  bool restart = SetupDiGetDeviceInstallParamsA(set.Get(), &device, &params) &&
                 (params.Flags & (DI_NEEDREBOOT | DI_NEEDRESTART)) != 0;

  // The identifier is written as it was given, so that a filter built from the
  // same text finds the line.
  WriteDeviceLine(instanceId, 0, restart ? "Removed, a restart is needed to finish" : "Removed");
  return restart ? 1 : 0;
}
