#include "tests/support/test_devices.h"

#include "tests/support/process.h"
#include "tests/support/scratch.h"

#include <setupapi.h>
#include <string.h>

const GUID kModemClassGuid = {0x4D36E96D, 0xE325, 0x11CE,
                              {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}};

namespace {

// A device information set holding one device opened by identifier.
class OpenedDevice {
 public:
  explicit OpenedDevice(const std::string& instanceId) {
    set_ = SetupDiCreateDeviceInfoList(nullptr, nullptr);
    data_.cbSize = sizeof data_;
    opened_ = set_ != INVALID_HANDLE_VALUE &&
              SetupDiOpenDeviceInfoA(set_, instanceId.c_str(), nullptr, 0, &data_);
  }
  ~OpenedDevice() {
    if (set_ != INVALID_HANDLE_VALUE) SetupDiDestroyDeviceInfoList(set_);
  }
  OpenedDevice(const OpenedDevice&) = delete;
  OpenedDevice& operator=(const OpenedDevice&) = delete;
  bool Opened() const { return opened_; }
  HDEVINFO Set() const { return set_; }
  SP_DEVINFO_DATA* Data() { return &data_; }

 private:
  HDEVINFO set_;
  SP_DEVINFO_DATA data_ = {};
  bool opened_ = false;
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
  HDEVINFO set = SetupDiCreateDeviceInfoList(&classGuid, nullptr);
  if (set == INVALID_HANDLE_VALUE) return false;
  SP_DEVINFO_DATA device = {};
  device.cbSize = sizeof device;
  bool ok = SetupDiCreateDeviceInfoA(set, instanceId.c_str(), &classGuid, description, nullptr, 0,
                                     &device) &&
            SetupDiRegisterDeviceInfo(set, &device, 0, nullptr, nullptr, nullptr);
  if (ok && friendlyName) {
    ok = SetupDiSetDeviceRegistryPropertyA(set, &device, SPDRP_FRIENDLYNAME,
                                           reinterpret_cast<const BYTE*>(friendlyName),
                                           static_cast<DWORD>(strlen(friendlyName) + 1));
  }
  SetupDiDestroyDeviceInfoList(set);
  return ok;
}

bool InstallTestDeviceFromInf(const std::string& infPath, const std::string& instanceId,
                              const char* hardwareId) {
  HDEVINFO set = SetupDiCreateDeviceInfoList(&kModemClassGuid, nullptr);
  if (set == INVALID_HANDLE_VALUE) return false;
  SP_DEVINFO_DATA device = {};
  device.cbSize = sizeof device;
  // A hardware-identifier list: the identifier and an empty string.
  std::string ids = std::string(hardwareId) + '\0' + '\0';
  SP_DEVINSTALL_PARAMS_A params = {};
  params.cbSize = sizeof params;
  bool ok =
      SetupDiCreateDeviceInfoA(set, instanceId.c_str(), &kModemClassGuid, nullptr, nullptr, 0,
                               &device) &&
      SetupDiSetDeviceRegistryPropertyA(set, &device, SPDRP_HARDWAREID,
                                        reinterpret_cast<const BYTE*>(ids.data()),
                                        static_cast<DWORD>(ids.size())) &&
      SetupDiGetDeviceInstallParamsA(set, &device, &params);
  if (ok) {
    // Drivers from this one INF only.
    params.Flags |= DI_ENUMSINGLEINF;
    ok = infPath.size() < sizeof params.DriverPath;
    if (ok) {
      memcpy(params.DriverPath, infPath.c_str(), infPath.size() + 1);
      ok = SetupDiSetDeviceInstallParamsA(set, &device, &params) &&
           SetupDiBuildDriverInfoList(set, &device, SPDIT_COMPATDRIVER) &&
           SetupDiRegisterDeviceInfo(set, &device, 0, nullptr, nullptr, nullptr) &&
           SetupDiSelectBestCompatDrv(set, &device) &&
           SetupDiCallClassInstaller(DIF_INSTALLDEVICE, set, &device);
    }
  }
  SetupDiDestroyDeviceInfoList(set);
  return ok;
}

bool ReadDriverValue(const std::string& instanceId, const char* subKey, const char* valueName,
                     std::string* data) {
  OpenedDevice device(instanceId);
  if (!device.Opened()) return false;
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
  OpenedDevice device(instanceId);
  return device.Opened();
}

bool RemoveTestDevice(const std::string& instanceId) {
  {
    OpenedDevice device(instanceId);
    if (device.Opened()) SetupDiCallClassInstaller(DIF_REMOVE, device.Set(), device.Data());
  }
  return !DeviceExists(instanceId);
}

void RemoveTestDevicesWithPrefix(const GUID& classGuid, const std::string& prefix) {
  std::vector<std::string> doomed;
  HDEVINFO set = SetupDiGetClassDevsA(&classGuid, nullptr, nullptr, 0);
  if (set == INVALID_HANDLE_VALUE) return;
  SP_DEVINFO_DATA device = {};
  device.cbSize = sizeof device;
  for (DWORD i = 0; SetupDiEnumDeviceInfo(set, i, &device); ++i) {
    char id[512] = {};
    if (SetupDiGetDeviceInstanceIdA(set, &device, id, sizeof id, nullptr) &&
        _strnicmp(id, prefix.c_str(), prefix.size()) == 0) {
      doomed.push_back(id);
    }
  }
  SetupDiDestroyDeviceInfoList(set);
  for (const std::string& id : doomed) RemoveTestDevice(id);
}
