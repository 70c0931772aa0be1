#pragma once
// Which RAS devices the program dials through: modems and ISDN adapters.
// Window-free, so the rule is tested natively.
#include "dialup/devices.h"

namespace dialup {

// 1 when the RAS device type is "modem" or "isdn" as a whole word, in any case.
int isUsableDeviceType(const wchar_t* type);

// Puts a device of a usable type into the next free slot, cutting the type
// and name to their fields. 0 when the type is not usable or every slot is
// taken: beyond the tenth, devices are ignored.
int addUsableDevice(DeviceList& list, const wchar_t* type, const wchar_t* name);

} // namespace dialup
