#include "tools/devcon/list_class.h"

#include "tools/devcon/device_text.h"

#include <stdio.h>
#include <vector>

namespace {

struct DeviceEntry {
  std::string id;
  std::string description;
};

// Every class GUID registered under that name (the comparison ignores case).
std::vector<GUID> ClassGuids(const char* className) {
  DWORD count = 0;
  SetupDiClassGuidsFromNameA(className, nullptr, 0, &count);
  std::vector<GUID> guids(count);
  if (count == 0 || !SetupDiClassGuidsFromNameA(className, guids.data(), count, &count))
    return std::vector<GUID>();
  guids.resize(count);
  return guids;
}

bool AddPresentDevices(const GUID& classGuid, std::vector<DeviceEntry>* devices) {
  HDEVINFO set = SetupDiGetClassDevsA(&classGuid, nullptr, nullptr, DIGCF_PRESENT);
  if (set == INVALID_HANDLE_VALUE) return false;
  SP_DEVINFO_DATA device = {};
  device.cbSize = sizeof device;
  DWORD index = 0;
  for (; SetupDiEnumDeviceInfo(set, index, &device); ++index)
    devices->push_back({DeviceInstanceId(set, &device), DeviceDescription(set, &device)});
  bool complete = GetLastError() == ERROR_NO_MORE_ITEMS;
  SetupDiDestroyDeviceInfoList(set);
  return complete;
}

}  // namespace

int ListClass(const char* className) {
  std::vector<GUID> guids = ClassGuids(className);
  if (guids.empty()) {
    fprintf(stderr, "devcon: there is no set-up class named \"%s\"\n", className);
    return 2;
  }
  std::vector<DeviceEntry> devices;
  for (const GUID& guid : guids) {
    if (!AddPresentDevices(guid, &devices)) {
      fprintf(stderr, "devcon: cannot list the devices of class \"%s\" (error 0x%08lX)\n",
              className, GetLastError());
      return 2;
    }
  }

  if (devices.empty()) {
    printf("No present devices of set-up class %s.\n", className);
  } else {
    printf("%u present device(s) of set-up class %s:\n", static_cast<unsigned>(devices.size()),
           className);
  }
  size_t longest = 0;
  for (const DeviceEntry& d : devices)
    if (d.id.size() > longest) longest = d.id.size();
  for (const DeviceEntry& d : devices) WriteDeviceLine(d.id, ColumnFor(longest), d.description);
  return 0;
}
