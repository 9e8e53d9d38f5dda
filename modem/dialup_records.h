// The two records that the dial-up entry "Halvoran 3.2" is written with.
#pragma once
#include <windows.h>
#include <ras.h>

// The service's dial-in data number: 12 digits, international form.
constexpr const char kDialInNumber[] = "004930123456";

// The entry: the number, PPP over IP, the Zorvane modem, the options, redials.
void BuildEntryRecord(RASENTRYA* entry);

// The dial parameters: the entry's name with the stored user name and password.
void BuildDialParams(RASDIALPARAMSA* params);
