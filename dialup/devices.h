#pragma once
// The usable modem and ISDN devices, found once at start-up.
#include <array>
#include <cstdint>

namespace dialup {

constexpr int kMaxDevices = 10;
constexpr int kDeviceTypeChars = 17;
constexpr int kDeviceNameChars = 33;

struct DeviceRecord {
    wchar_t type[kDeviceTypeChars];
    wchar_t name[kDeviceNameChars]; // shown to the user and used as the device's identity
};

struct DeviceList {
    std::array<DeviceRecord, kMaxDevices> slots;
    std::int32_t count;
};

extern DeviceList deviceList;

// Fills the device list from RAS, in RAS order, and returns the count.
int scanDevices();

} // namespace dialup
