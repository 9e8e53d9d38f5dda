// Names fixed by the product and used by several subsystems.
#pragma once

constexpr const char kEntryName[] = "Halvoran 3.2";          // the dial-up phonebook entry
constexpr const char kEarlierEntryName[] = "Halvoran 2.0";   // release 2.0's entry
constexpr const char kModemName[] = "Zorvane PPP Data Modem";
constexpr const char kAcceleratorBrand[] = "Zorvane Halvoran 3 Web Accelerator";
constexpr const char kEarlierReleaseBrand[] = "Zorvane Halvoran 2.0";

// The records of the installed product (release 2.0 and the accelerator), as a
// 32-bit program names them natively and as its view below Wow6432Node.
constexpr const char kProductKey[] = "SOFTWARE\\Tervaloxen";
constexpr const char kProductKeyWow64[] = "SOFTWARE\\Wow6432Node\\Tervaloxen";
constexpr const char kBrandKey[] = "SOFTWARE\\Tervaloxen\\Brand";
constexpr const char kBrandKeyWow64[] = "SOFTWARE\\Wow6432Node\\Tervaloxen\\Brand";
