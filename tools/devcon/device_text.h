// What the device console prints about a device, one line per device so that a
// filter can select it: "<instance id><blanks>: <text>".
#pragma once
#include <windows.h>
#include <setupapi.h>
#include <stddef.h>
#include <string>

// The device's instance identifier; empty when the set-up API cannot give it.
std::string DeviceInstanceId(HDEVINFO set, SP_DEVINFO_DATA* device);

// The name users see: the friendly name, else the device description.
std::string DeviceDescription(HDEVINFO set, SP_DEVINFO_DATA* device);

// Writes the identifier padded with blanks to width (at least one blank), a
// colon, a blank and the text.
void WriteDeviceLine(const std::string& instanceId, size_t width, const std::string& text);

// Width that leaves one blank after the longest identifier.
inline size_t ColumnFor(size_t longestId) { return longestId + 1; }
