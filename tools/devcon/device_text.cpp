#include "tools/devcon/device_text.h"

#include <stdio.h>
#include <vector>

std::string DeviceInstanceId(HDEVINFO set, SP_DEVINFO_DATA* device) {
  DWORD needed = 0;
  SetupDiGetDeviceInstanceIdA(set, device, nullptr, 0, &needed);
  if (needed == 0) return std::string();
  std::vector<char> id(needed + 1, '\0');
  if (!SetupDiGetDeviceInstanceIdA(set, device, id.data(), needed, nullptr)) return std::string();
  return id.data();
}

static bool StringProperty(HDEVINFO set, SP_DEVINFO_DATA* device, DWORD property,
                           std::string* value) {
  DWORD needed = 0;
  SetupDiGetDeviceRegistryPropertyA(set, device, property, nullptr, nullptr, 0, &needed);
  if (needed == 0) return false;
  // One spare byte: a stored value need not end in NUL.
  std::vector<BYTE> data(needed + 1, 0);
  DWORD type = 0;
  if (!SetupDiGetDeviceRegistryPropertyA(set, device, property, &type, data.data(), needed,
                                         nullptr) ||
      type != REG_SZ) {
    return false;
  }
  *value = reinterpret_cast<const char*>(data.data());
  return !value->empty();
}

std::string DeviceDescription(HDEVINFO set, SP_DEVINFO_DATA* device) {
  std::string text;
  if (StringProperty(set, device, SPDRP_FRIENDLYNAME, &text)) return text;
  if (StringProperty(set, device, SPDRP_DEVICEDESC, &text)) return text;
  return "(no description)";
}

void WriteDeviceLine(const std::string& instanceId, size_t width, const std::string& text) {
  // Line breaks inside a description would split the device over several lines.
  std::string oneLine = text;
  for (char& c : oneLine)
    if (c == '\r' || c == '\n') c = ' ';
  if (width < instanceId.size() + 1) width = instanceId.size() + 1;
  printf("%s%s: %s\n", instanceId.c_str(), std::string(width - instanceId.size(), ' ').c_str(),
         oneLine.c_str());
}
