#pragma once
// The usable modem and ISDN devices, found once at start-up.
#include "ui/int32.h"

namespace dialup {

const int kMaxDevices = 10;
const int kDeviceTypeChars = 17;
const int kDeviceNameChars = 33;

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
