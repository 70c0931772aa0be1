#include "dialup/device_type.h"

#include "ui/fixed_text.h"

namespace dialup {

namespace {

// RAS device types are plain ASCII words, so ASCII folding is the whole rule.
wchar_t folded(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c + 32) : c; }

int equalsIgnoringCase(const wchar_t* text, const wchar_t* lowerWord) {
    for (; *text && *lowerWord; ++text, ++lowerWord)
        if (folded(*text) != *lowerWord) return 0;
    return *text == *lowerWord;
}

} // namespace

int isUsableDeviceType(const wchar_t* type) {
    if (!type) return 0;
    return equalsIgnoringCase(type, L"modem") || equalsIgnoringCase(type, L"isdn");
}

int addUsableDevice(DeviceList& list, const wchar_t* type, const wchar_t* name) {
    if (!isUsableDeviceType(type)) return 0;
    if (list.count < 0 || list.count >= kMaxDevices) return 0;
    DeviceRecord& slot = list.slots[list.count];
    ui::copyCut(slot.type, type);
    ui::copyCut(slot.name, name);
    ++list.count;
    return 1;
}

} // namespace dialup
