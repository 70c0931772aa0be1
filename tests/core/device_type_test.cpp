#include <gtest/gtest.h>

#include <string>

#include "dialup/device_type.h"

using dialup::addUsableDevice;
using dialup::DeviceList;
using dialup::isUsableDeviceType;

TEST(DeviceType, ModemAndIsdnInAnyCaseAreUsable) {
    for (const wchar_t* type : {L"modem", L"MODEM", L"Modem", L"isdn", L"Isdn", L"ISDN"})
        EXPECT_TRUE(isUsableDeviceType(type)) << std::wstring(type).size();
}

TEST(DeviceType, OtherKindsAndNearMissesAreNot) {
    for (const wchar_t* type : {L"modem2", L"modem ", L" modem", L"mode", L"isd", L"isdn1",
                                L"direct", L"vpn", L"pad", L"", L"m\u00f6dem"})
        EXPECT_FALSE(isUsableDeviceType(type)) << std::wstring(type).size();
    EXPECT_FALSE(isUsableDeviceType(nullptr));
}

TEST(DeviceList, KeepsUsableDevicesInOrderAndSkipsOthers) {
    DeviceList list{};
    EXPECT_EQ(addUsableDevice(list, L"modem", L"Same"), 1);
    EXPECT_EQ(addUsableDevice(list, L"direct", L"Cable"), 0);
    EXPECT_EQ(addUsableDevice(list, L"ISDN", L"Same"), 1);
    ASSERT_EQ(list.count, 2);
    EXPECT_STREQ(list.slots[0].type, L"modem");
    EXPECT_STREQ(list.slots[1].type, L"ISDN");
    EXPECT_STREQ(list.slots[1].name, L"Same");
}

TEST(DeviceList, TheEleventhUsableDeviceIsIgnored) {
    DeviceList list{};
    for (int i = 0; i < dialup::kMaxDevices; ++i) {
        std::wstring name = L"Modem " + std::to_wstring(i + 1);
        EXPECT_EQ(addUsableDevice(list, L"modem", name.c_str()), 1);
    }
    EXPECT_EQ(addUsableDevice(list, L"modem", L"Modem 11"), 0);
    EXPECT_EQ(list.count, dialup::kMaxDevices);
    EXPECT_STREQ(list.slots[9].name, L"Modem 10");
}

TEST(DeviceList, LongNamesAreCutToTheirFields) {
    DeviceList list{};
    // Longer than any RAS gives, with a surrogate pair across the cut.
    const std::wstring kept(dialup::kDeviceNameChars - 2, L'n');
    ASSERT_EQ(addUsableDevice(list, L"modem", (kept + L"\xD83D\xDE00" + kept).c_str()), 1);
    EXPECT_EQ(std::wstring(list.slots[0].name), kept) << "no half of a pair kept";
}
