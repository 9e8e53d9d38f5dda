// Devices for tests, made with the platform's set-up API in the test prefix.
// Link the test_devices library (it imports setupapi.dll).
#pragma once
#include <windows.h>
#include <string>
#include <vector>

// The Modem set-up class, {4D36E96D-E325-11CE-BFC1-08002BE10318}.
extern const GUID kModemClassGuid;

// Makes sure the set-up class "Modem" is registered: Windows always has it, a
// fresh Wine prefix does not (SetupDiClassGuidsFromNameA("Modem") finds
// nothing there). Installs it from a small class INF written to a scratch folder.
bool EnsureModemClass();

// Registers a root device with the exact instance identifier (for example
// "ROOT\\MODEM\\HVTEST_1") in the class, with a device description and,
// unless null, a friendly name. Returns false when the set-up API refuses.
bool CreateTestDevice(const GUID& classGuid, const std::string& instanceId,
                      const char* description, const char* friendlyName);

// Registers a root device with that identifier and installs on it the best
// driver that the INF at infPath offers for hardwareId (the INF's AddReg goes
// into the device's driver key). Returns false when any step fails.
bool InstallTestDeviceFromInf(const std::string& infPath, const std::string& instanceId,
                              const char* hardwareId);

// Reads a value of the device's driver key; false when there is none.
bool ReadDriverValue(const std::string& instanceId, const char* subKey, const char* valueName,
                     std::string* data);

// True when the set-up API knows a device with that identifier.
bool DeviceExists(const std::string& instanceId);

// Removes the device; true when it is gone afterwards.
bool RemoveTestDevice(const std::string& instanceId);

// Removes every device of the class whose identifier begins with prefix
// (case-insensitive): what earlier runs may have left.
void RemoveTestDevicesWithPrefix(const GUID& classGuid, const std::string& prefix);
