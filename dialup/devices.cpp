#include "dialup/devices.h"

#include <windows.h>

#include "dialup/device_type.h"
#include "platform/ras/ras.h"
#include "dialup/ras_list.h"

namespace dialup {

DeviceList deviceList;

// The list's fields must hold what the platform's record holds.
typedef char DeviceTypeFits[kDeviceTypeChars == RAS_MaxDeviceType + 1 ? 1 : -1];
typedef char DeviceNameFits[kDeviceNameChars == RAS_MaxDeviceName + 1 ? 1 : -1];

int scanDevices() {
    ZeroMemory(&deviceList, sizeof deviceList);
    // The first ask learns the size only.
    RasList<RASDEVINFO> devices;
    devices.fill(ras::enumDevices, 0);
    for (DWORD i = 0; i < devices.count(); ++i)
        addUsableDevice(deviceList, devices.records()[i].szDeviceType,
                        devices.records()[i].szDeviceName);
    return deviceList.count;
}

} // namespace dialup
