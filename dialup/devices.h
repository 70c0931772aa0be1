#pragma once
// The usable modem and ISDN devices, found once at start-up.
#include "ui/int32.h"

namespace dialup {

const int kMaxDevices = 10;
const int kDeviceTypeChars = 17;
// The whole name the platform's RAS gives, and the terminator: the handheld's
// names hold 32 characters, the desktop's 128 (RAS_MaxDeviceName of each). A
// name cut shorter would name a device that does not exist.
#ifdef _WIN32_WCE
const int kDeviceNameChars = 33;
#else
const int kDeviceNameChars = 129;
#endif

struct DeviceRecord {
    wchar_t type[kDeviceTypeChars];
    wchar_t name[kDeviceNameChars]; // shown to the user and used as the device's identity
};

struct DeviceList {
    DeviceRecord slots[kMaxDevices];
    ui::Int32 count;
};

extern DeviceList deviceList;

// Fills the device list from RAS, in RAS order, and returns the count.
int scanDevices();

} // namespace dialup
