#include "tests/support/test_devices.h"

#include <setupapi.h>
#include <string.h>

#include "platform/scoped_handles.h"
#include "tests/support/process.h"
#include "tests/support/scratch.h"

const GUID kModemClassGuid = {0x4D36E96D, 0xE325, 0x11CE,
                              {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}};

namespace {

// A device information set holding one device: an existing one opened by
// identifier, or a new one of a class, not yet registered.
class DeviceInSet {
 public:
  explicit DeviceInSet(const std::string& instanceId)
      : set_(SetupDiCreateDeviceInfoList(nullptr, nullptr)) {
    ok_ = set_ && SetupDiOpenDeviceInfoA(set_.Get(), instanceId.c_str(), nullptr, 0, &data_);
  }
  DeviceInSet(const GUID& classGuid, const std::string& instanceId, const char* description)
      : set_(SetupDiCreateDeviceInfoList(&classGuid, nullptr)) {
    ok_ = set_ && SetupDiCreateDeviceInfoA(set_.Get(), instanceId.c_str(), &classGuid,
                                           description, nullptr, 0, &data_);
  }
  bool Ok() const { return ok_; }  // opened or created
  HDEVINFO Set() const { return set_.Get(); }
  SP_DEVINFO_DATA* Data() { return &data_; }

 private:
  ScopedDeviceInfoList set_;
  SP_DEVINFO_DATA data_ = {sizeof(SP_DEVINFO_DATA), {}, 0, 0};
  bool ok_ = false;
};

}  // namespace

bool EnsureModemClass() {
  DWORD count = 0;
  GUID guid;
  if (SetupDiClassGuidsFromNameA("Modem", &guid, 1, &count) && count > 0) return true;
  std::string dir = MakeScratchDir("modem_class");
  std::string inf = JoinPath(dir, "modemclass.inf");
  WriteWholeFile(inf,
                 "[Version]\r\n"
                 "Signature=\"$Windows NT$\"\r\n"
                 "Class=Modem\r\n"
                 "ClassGUID={4D36E96D-E325-11CE-BFC1-08002BE10318}\r\n"
                 "\r\n"
                 "[ClassInstall32]\r\n"
                 "AddReg=ModemClass.AddReg\r\n"
                 "\r\n"
                 "[ModemClass.AddReg]\r\n"
                 "HKR,,,,\"Modems\"\r\n");
  bool installed = SetupDiInstallClassA(nullptr, inf.c_str(), DI_QUIETINSTALL, nullptr) != 0;
  RemoveScratchTree(dir);
  return installed && SetupDiClassGuidsFromNameA("Modem", &guid, 1, &count) && count > 0;
}

bool CreateTestDevice(const GUID& classGuid, const std::string& instanceId,
                      const char* description, const char* friendlyName) {
  DeviceInSet device(classGuid, instanceId, description);
  bool ok = device.Ok() &&
            SetupDiRegisterDeviceInfo(device.Set(), device.Data(), 0, nullptr, nullptr, nullptr);
  if (ok && friendlyName) {
    ok = SetupDiSetDeviceRegistryPropertyA(device.Set(), device.Data(), SPDRP_FRIENDLYNAME,
                                           reinterpret_cast<const BYTE*>(friendlyName),
                                           static_cast<DWORD>(strlen(friendlyName) + 1));
  }
  return ok;
}

bool InstallTestDeviceFromInf(const std::string& infPath, const std::string& instanceId,
                              const char* hardwareId) {
  DeviceInSet device(kModemClassGuid, instanceId, nullptr);
  // A hardware-identifier list: the identifier and an empty string.
  std::string ids = std::string(hardwareId) + '\0' + '\0';
  SP_DEVINSTALL_PARAMS_A params = {};
  params.cbSize = sizeof params;
  if (!device.Ok() ||
      !SetupDiSetDeviceRegistryPropertyA(device.Set(), device.Data(), SPDRP_HARDWAREID,
                                         reinterpret_cast<const BYTE*>(ids.data()),
                                         static_cast<DWORD>(ids.size())) ||
      !SetupDiGetDeviceInstallParamsA(device.Set(), device.Data(), &params) ||
      infPath.size() >= sizeof params.DriverPath)
    return false;
  // Drivers from this one INF only.
  params.Flags |= DI_ENUMSINGLEINF;
  memcpy(params.DriverPath, infPath.c_str(), infPath.size() + 1);
  return SetupDiSetDeviceInstallParamsA(device.Set(), device.Data(), &params) &&
         SetupDiBuildDriverInfoList(device.Set(), device.Data(), SPDIT_COMPATDRIVER) &&
         SetupDiRegisterDeviceInfo(device.Set(), device.Data(), 0, nullptr, nullptr, nullptr) &&
         SetupDiSelectBestCompatDrv(device.Set(), device.Data()) &&
         SetupDiCallClassInstaller(DIF_INSTALLDEVICE, device.Set(), device.Data());
}

bool ReadDriverValue(const std::string& instanceId, const char* subKey, const char* valueName,
                     std::string* data) {
  DeviceInSet device(instanceId);
  if (!device.Ok()) return false;
  HKEY driverKey =
      SetupDiOpenDevRegKey(device.Set(), device.Data(), DICS_FLAG_GLOBAL, 0, DIREG_DRV, KEY_READ);
  if (driverKey == INVALID_HANDLE_VALUE) return false;
  HKEY key = driverKey;
  bool ok = !subKey || RegOpenKeyExA(driverKey, subKey, 0, KEY_READ, &key) == ERROR_SUCCESS;
  if (ok) {
    DWORD size = 0;
    ok = RegQueryValueExA(key, valueName, nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS;
    if (ok) {
      data->assign(size, '\0');
      ok = RegQueryValueExA(key, valueName, nullptr, nullptr,
                            reinterpret_cast<BYTE*>(&(*data)[0]), &size) == ERROR_SUCCESS;
      data->resize(size);
    }
    if (key != driverKey) RegCloseKey(key);
  }
  RegCloseKey(driverKey);
  return ok;
}

bool DeviceExists(const std::string& instanceId) {
  DeviceInSet device(instanceId);
  return device.Ok();
}

bool RemoveTestDevice(const std::string& instanceId) {
  {
    DeviceInSet device(instanceId);
    if (device.Ok()) SetupDiCallClassInstaller(DIF_REMOVE, device.Set(), device.Data());
  }
  return !DeviceExists(instanceId);
}

void RemoveTestDevicesWithPrefix(const GUID& classGuid, const std::string& prefix) {
  std::vector<std::string> doomed;
  {
    ScopedDeviceInfoList set(SetupDiGetClassDevsA(&classGuid, nullptr, nullptr, 0));
    SP_DEVINFO_DATA device = {};
    device.cbSize = sizeof device;
    for (DWORD i = 0; set && SetupDiEnumDeviceInfo(set.Get(), i, &device); ++i) {
      char id[512] = {};
      if (SetupDiGetDeviceInstanceIdA(set.Get(), &device, id, sizeof id, nullptr) &&
          _strnicmp(id, prefix.c_str(), prefix.size()) == 0) {
        doomed.push_back(id);
      }
    }
  }
  for (const std::string& id : doomed) RemoveTestDevice(id);
}
