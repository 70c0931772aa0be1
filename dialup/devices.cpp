#include "dialup/devices.h"

#include "ui/raii.h"
#include "dialup/device_type.h"
#include "dialup/ras.h"

namespace dialup {

DeviceList deviceList;

// The list's fields must hold what the platform's record holds.
typedef char DeviceTypeFits[kDeviceTypeChars == RAS_MaxDeviceType + 1 ? 1 : -1];
typedef char DeviceNameFits[kDeviceNameChars == RAS_MaxDeviceName + 1 ? 1 : -1];

int scanDevices() {
    deviceList = DeviceList{};
    DWORD bytes = 0;
    DWORD count = 0;
    ras::enumDevices(nullptr, &bytes, &count);
    // No size means no device, or a failed call: either way nothing to list.
    if (bytes < sizeof(RASDEVINFOW)) return 0;

    ui::LocalBuffer buffer(bytes, LPTR);
    if (!buffer.valid()) return 0;
    RASDEVINFOW* devices = buffer.as<RASDEVINFOW>();
    devices[0].dwSize = sizeof(RASDEVINFOW);
    const DWORD capacity = bytes / sizeof(RASDEVINFOW);
    count = 0;
    if (ras::enumDevices(devices, &bytes, &count) != 0) return 0;

    for (DWORD i = 0; i < count && i < capacity; ++i)
        addUsableDevice(deviceList, devices[i].szDeviceType, devices[i].szDeviceName);
    return deviceList.count;
}

} // namespace dialup
