#pragma once
// The usable modem and ISDN devices, found once at start-up.
#include <array>
#include <cstdint>

namespace dialup {

constexpr int kMaxDevices = 10;
constexpr int kDeviceTypeChars = 17;
// The whole name the platform's RAS gives, and the terminator: the handheld's
// names hold 32 characters, the desktop's 128 (RAS_MaxDeviceName of each). A
// name cut shorter would name a device that does not exist.
#ifdef _WIN32_WCE
constexpr int kDeviceNameChars = 33;
#else
constexpr int kDeviceNameChars = 129;
#endif

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
