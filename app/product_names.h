// Names fixed by the product and used by several subsystems.
#pragma once

constexpr const char kEntryName[] = "Halvoran 3.2";          // the dial-up phonebook entry
constexpr const char kEarlierEntryName[] = "Halvoran 2.0";   // release 2.0's entry
constexpr const char kModemName[] = "Zorvane PPP Data Modem";
constexpr const char kAcceleratorBrand[] = "Zorvane Halvoran 3 Web Accelerator";
constexpr const char kEarlierReleaseBrand[] = "Zorvane Halvoran 2.0";
