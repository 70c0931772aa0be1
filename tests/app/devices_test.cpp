// The device list: the usable devices RAS reports, in RAS order.
#include <string>
#include <vector>

#include "dialup/devices.h"
#include "platform/rassim/rassim_control.h"
#include "tests/support/program_fixture.h"

using namespace tamtest;
using dialup::deviceList;

namespace {

void configureDevices(const std::string& lines) {
    writeFileBytes(L"\\windows\\rassim.ini",
                   "[Devices]        ; type,name in the order RAS lists them\r\n; one a line\r\n" +
                       lines);
    rassim::reset();
    rassim::holdClock();
}

std::vector<std::wstring> listed() {
    std::vector<std::wstring> devices;
    for (int i = 0; i < deviceList.count; ++i)
        devices.push_back(std::wstring(deviceList.slots[i].type) + L"," + deviceList.slots[i].name);
    return devices;
}

class DevicesTest : public ProgramTest {};

} // namespace

TEST_F(DevicesTest, TheDefaultServiceGivesItsModemAndIsdnAdapterButNotTheCable) {
    EXPECT_EQ(dialup::scanDevices(), 2);
    EXPECT_EQ(listed(), (std::vector<std::wstring>{L"modem,Hayes Compatible on COM1:",
                                                   L"isdn,ISDN Terminal Adapter"}));
}

TEST_F(DevicesTest, ModemAndIsdnInAnyCaseAreListedAndNothingElse) {
    configureDevices("Device1=MODEM,Upper\r\nDevice2=modem2,Second\r\nDevice3=Isdn,Mixed\r\n"
                     "Device4=direct,Cable\r\nDevice5=vpn,Tunnel\r\n");
    EXPECT_EQ(dialup::scanDevices(), 2);
    EXPECT_EQ(listed(), (std::vector<std::wstring>{L"MODEM,Upper", L"Isdn,Mixed"}));
}

TEST_F(DevicesTest, TwoDevicesOfOneNameAreBothKeptInRasOrder) {
    configureDevices("Device1=isdn,Same\r\nDevice2=modem,Same\r\n");
    EXPECT_EQ(dialup::scanDevices(), 2);
    EXPECT_EQ(listed(), (std::vector<std::wstring>{L"isdn,Same", L"modem,Same"}));
}

TEST_F(DevicesTest, OfTwelveUsableDevicesTheFirstTenAreKept) {
    std::string lines = "Device0=direct,Cable\r\n";
    std::vector<std::wstring> firstTen;
    for (int i = 1; i <= 12; ++i) {
        lines += "Device" + std::to_string(i) + "=modem,Modem " + std::to_string(i) + "\r\n";
        if (i == 5) lines += "Device5b=vpn,Tunnel\r\n";
        if (i <= 10) firstTen.push_back(L"modem,Modem " + std::to_wstring(i));
    }
    configureDevices(lines);
    EXPECT_EQ(dialup::scanDevices(), 10);
    EXPECT_EQ(listed(), firstTen);
}

TEST_F(DevicesTest, AFailedEnumerationLeavesTheListEmpty) {
    ASSERT_EQ(dialup::scanDevices(), 2);
    rassim::injectFailure(rassim::Call::EnumDevices, 610, 1); // the size is never learnt
    EXPECT_EQ(dialup::scanDevices(), 0);
    EXPECT_EQ(deviceList.count, 0);

    ASSERT_EQ(dialup::scanDevices(), 2);
    rassim::injectFailure(rassim::Call::EnumDevices, 610, 1, 1); // the list itself fails
    EXPECT_EQ(dialup::scanDevices(), 0);
    EXPECT_EQ(deviceList.count, 0);
    EXPECT_STREQ(deviceList.slots[0].name, L"");
}

TEST_F(DevicesTest, NoDeviceAtAllGivesACountOfZero) {
    configureDevices("");
    EXPECT_EQ(dialup::scanDevices(), 0);
    EXPECT_EQ(rassim::callCount(rassim::Call::EnumDevices), 1);
}
