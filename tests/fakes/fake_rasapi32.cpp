// Fake rasapi32.dll: remote-access devices from fake_devices.txt and a
// phonebook in fake_phonebook.txt, every call logged with its arguments and the
// raw bytes of the records it received (formats: fake_stack.h).
#include <windows.h>
#include <ras.h>
#include <raserror.h>
#include <string.h>

#include <algorithm>

#include "tests/fakes/fake_runtime.h"

using fakefiles::Bytes;
using fakefiles::Number;
using fakefiles::Pointer;
using fakefiles::Text;

namespace {

const char kLib[] = "rasapi32";
// Records are logged up to this size; a larger size argument is logged but not read.
const DWORD kMaxLoggedRecord = 16384;

std::vector<fakefiles::PhonebookEntry> LoadPhonebook() {
  std::string text;
  fakefiles::ReadFileBytes(fakefiles::kPhonebook, &text);
  return fakefiles::ParsePhonebook(text);
}

void SavePhonebook(const std::vector<fakefiles::PhonebookEntry>& entries) {
  fakefiles::WriteFileBytes(fakefiles::kPhonebook, fakefiles::FormatPhonebook(entries));
}

// Entry names compare without regard to case, as the platform's phonebook does.
std::vector<fakefiles::PhonebookEntry>::iterator FindEntry(
    std::vector<fakefiles::PhonebookEntry>& entries, const char* name) {
  return std::find_if(entries.begin(), entries.end(), [name](const fakefiles::PhonebookEntry& e) {
    return lstrcmpiA(e.name.c_str(), name) == 0;
  });
}

void CopyField(char* dst, size_t capacity, const std::string& src) {
  size_t n = std::min(src.size(), capacity - 1);
  memcpy(dst, src.data(), n);
  dst[n] = '\0';
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
  fakeruntime::LogModuleEvent(kLib, reason, reserved);
  return TRUE;
}

DWORD APIENTRY RasEnumDevicesA(LPRASDEVINFOA buffer, LPDWORD size, LPDWORD count) {
  std::string text;
  fakefiles::ReadFileBytes(fakefiles::kDevices, &text);
  std::vector<fakefiles::Device> devices = fakefiles::ParseDevices(text);
  DWORD needed = static_cast<DWORD>(devices.size() * sizeof(RASDEVINFOA));
  std::string args = std::string("buffer=") + Pointer(buffer);
  if (buffer) args += " dwSize=" + Number(buffer->dwSize);
  args += " size=" + (size ? Number(*size) : std::string("null"));

  DWORD natural;
  if (size == nullptr || count == nullptr) {
    natural = ERROR_INVALID_PARAMETER;
  } else if (buffer == nullptr) {
    // A null buffer is always the size probe.
    *size = needed;
    *count = static_cast<DWORD>(devices.size());
    natural = ERROR_BUFFER_TOO_SMALL;
  } else if (buffer->dwSize != sizeof(RASDEVINFOA)) {
    natural = ERROR_INVALID_SIZE;
  } else if (*size < needed) {
    *size = needed;
    *count = static_cast<DWORD>(devices.size());
    natural = ERROR_BUFFER_TOO_SMALL;
  } else {
    for (size_t i = 0; i < devices.size(); ++i) {
      RASDEVINFOA& d = buffer[i];
      memset(&d, 0, sizeof d);
      d.dwSize = sizeof d;
      CopyField(d.szDeviceType, sizeof d.szDeviceType, devices[i].type);
      CopyField(d.szDeviceName, sizeof d.szDeviceName, devices[i].name);
    }
    *size = needed;
    *count = static_cast<DWORD>(devices.size());
    natural = 0;
  }
  DWORD result = fakeruntime::ScriptedNumber(kLib, "RasEnumDevicesA", buffer ? "list" : "probe", natural);
  args += " result=" + Number(result);
  if (size) args += " sizeOut=" + Number(*size);
  if (count) args += " countOut=" + Number(*count);
  fakeruntime::Log(kLib, "RasEnumDevicesA " + args);
  return result;
}

DWORD APIENTRY RasSetEntryPropertiesA(LPCSTR phonebook, LPCSTR entry, LPRASENTRYA record,
                                      DWORD recordSize, LPBYTE deviceInfo, DWORD deviceInfoSize) {
  DWORD natural = 0;
  if (entry == nullptr || entry[0] == '\0' || record == nullptr) {
    natural = ERROR_INVALID_PARAMETER;
  } else if (recordSize < sizeof(DWORD) || record->dwSize != sizeof(RASENTRYA) ||
             recordSize < record->dwSize) {
    natural = ERROR_INVALID_SIZE;
  }
  bool forced = false;
  DWORD result = fakeruntime::ScriptedNumber(kLib, "RasSetEntryPropertiesA", nullptr, natural, &forced);
  std::string bytes(reinterpret_cast<const char*>(record), record ? std::min(recordSize, kMaxLoggedRecord) : 0);
  if (natural == 0 && result == 0) {
    std::vector<fakefiles::PhonebookEntry> entries = LoadPhonebook();
    auto it = FindEntry(entries, entry);
    if (it == entries.end()) {
      entries.push_back(fakefiles::PhonebookEntry{entry, bytes, std::string()});
    } else {
      it->record = bytes;  // written over; stored dial parameters stay
    }
    SavePhonebook(entries);
  }
  fakeruntime::Log(kLib, std::string("RasSetEntryPropertiesA phonebook=") + Text(phonebook) +
                             " entry=" + Text(entry) + " size=" + Number(recordSize) +
                             " record=" + (record ? Bytes(bytes.data(), bytes.size()) : "null") +
                             " deviceInfo=" +
                             Bytes(deviceInfo, std::min(deviceInfoSize, kMaxLoggedRecord)) +
                             " deviceInfoSize=" + Number(deviceInfoSize) + " result=" + Number(result));
  return result;
}

DWORD APIENTRY RasSetEntryDialParamsA(LPCSTR phonebook, LPRASDIALPARAMSA params, BOOL removePassword) {
  DWORD natural = 0;
  std::vector<fakefiles::PhonebookEntry> entries = LoadPhonebook();
  auto it = entries.end();
  if (params == nullptr) {
    natural = ERROR_INVALID_PARAMETER;
  } else if (params->dwSize != sizeof(RASDIALPARAMSA)) {
    natural = ERROR_INVALID_SIZE;
  } else {
    it = FindEntry(entries, params->szEntryName);
    if (it == entries.end()) natural = ERROR_CANNOT_FIND_PHONEBOOK_ENTRY;
  }
  DWORD result = fakeruntime::ScriptedNumber(kLib, "RasSetEntryDialParamsA", nullptr, natural);
  // Never read past the record the caller's build declares.
  std::string bytes(reinterpret_cast<const char*>(params),
                    params ? std::min<DWORD>(params->dwSize, sizeof(RASDIALPARAMSA)) : 0);
  if (natural == 0 && result == 0) {
    it->params = bytes;
    SavePhonebook(entries);
  }
  fakeruntime::Log(kLib, std::string("RasSetEntryDialParamsA phonebook=") + Text(phonebook) +
                             " params=" + (params ? Bytes(bytes.data(), bytes.size()) : "null") +
                             " removePassword=" + Number(static_cast<unsigned>(removePassword)) +
                             " result=" + Number(result));
  return result;
}

DWORD APIENTRY RasDeleteEntryA(LPCSTR phonebook, LPCSTR entry) {
  DWORD natural = 0;
  std::vector<fakefiles::PhonebookEntry> entries = LoadPhonebook();
  auto it = entries.end();
  if (entry == nullptr) {
    natural = ERROR_INVALID_PARAMETER;
  } else {
    it = FindEntry(entries, entry);
    if (it == entries.end()) natural = ERROR_CANNOT_FIND_PHONEBOOK_ENTRY;
  }
  DWORD result = fakeruntime::ScriptedNumber(kLib, "RasDeleteEntryA", nullptr, natural);
  if (natural == 0 && result == 0) {
    entries.erase(it);
    SavePhonebook(entries);
  }
  fakeruntime::Log(kLib, std::string("RasDeleteEntryA phonebook=") + Text(phonebook) +
                             " entry=" + Text(entry) + " result=" + Number(result));
  return result;
}

// Resolved by the program but never called: a call shows in the log.
DWORD APIENTRY RasEnumEntriesA(LPCSTR, LPCSTR phonebook, LPRASENTRYNAMEA, LPDWORD, LPDWORD) {
  DWORD result = fakeruntime::ScriptedNumber(kLib, "RasEnumEntriesA", nullptr, ERROR_CALL_NOT_IMPLEMENTED);
  fakeruntime::Log(kLib, std::string("RasEnumEntriesA phonebook=") + Text(phonebook) +
                             " result=" + Number(result));
  return result;
}

DWORD APIENTRY RasGetEntryPropertiesA(LPCSTR phonebook, LPCSTR entry, LPRASENTRYA, LPDWORD, LPBYTE,
                                      LPDWORD) {
  DWORD result =
      fakeruntime::ScriptedNumber(kLib, "RasGetEntryPropertiesA", nullptr, ERROR_CALL_NOT_IMPLEMENTED);
  fakeruntime::Log(kLib, std::string("RasGetEntryPropertiesA phonebook=") + Text(phonebook) +
                             " entry=" + Text(entry) + " result=" + Number(result));
  return result;
}
