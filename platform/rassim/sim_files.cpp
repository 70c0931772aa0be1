// The simulated service's files: its configuration "\windows\rassim.ini", its
// phone book "\windows\rassim.pbk" and its log "\windows\rassim.log".
#include <cstdarg>
#include <cwchar>
#include <cwctype>
#include <initializer_list>

#include "platform/rassim/sim_service.h"

namespace rassim {

namespace {

// Big enough for any section a person writes by hand.
constexpr DWORD kSectionChars = 32768;
wchar_t sectionBuffer[kSectionChars];

constexpr SimDevice kDefaultDevices[] = {
    {L"modem", L"Hayes Compatible on COM1:"},
    {L"isdn", L"ISDN Terminal Adapter"},
    {L"direct", L"Serial Cable on COM1:"},
};

struct OutcomeName {
    const wchar_t* name;
    DWORD error;
};

constexpr OutcomeName kOutcomes[] = {
    {L"connect", 0},
    {L"busy", ERROR_LINE_BUSY},
    {L"noanswer", ERROR_NO_ANSWER},
    {L"nodialtone", ERROR_NO_DIALTONE},
    {L"nocarrier", ERROR_NO_CARRIER},
    {L"voice", ERROR_VOICE_ANSWER},
    {L"hardware", ERROR_HARDWARE_FAILURE},
};

wchar_t* trim(wchar_t* text) {
    while (*text && std::iswspace(*text))
        ++text;
    wchar_t* end = text + std::wcslen(text);
    while (end > text && std::iswspace(end[-1]))
        --end;
    *end = L'\0';
    return text;
}

int allDigits(const wchar_t* text) {
    if (!*text) return 0;
    for (; *text; ++text)
        if (*text < L'0' || *text > L'9') return 0;
    return 1;
}

// "busy", "drop:30", or an error number of one's own choosing such as "691".
int parseOutcome(const wchar_t* text, Outcome* out) {
    for (const OutcomeName& o : kOutcomes) {
        if (_wcsicmp(text, o.name) == 0) {
            *out = {o.error, 0};
            return 1;
        }
    }
    if (_wcsnicmp(text, L"drop:", 5) == 0 && allDigits(text + 5)) {
        *out = {0, static_cast<DWORD>(std::wcstoul(text + 5, nullptr, 10))};
        return 1;
    }
    if (allDigits(text)) {
        *out = {static_cast<DWORD>(std::wcstoul(text, nullptr, 10)), 0};
        return 1;
    }
    return 0;
}

int sectionPresent(const wchar_t* path, const wchar_t* section) {
    DWORD length = GetPrivateProfileSectionNamesW(sectionBuffer, kSectionChars, path);
    for (const wchar_t* name = sectionBuffer; name < sectionBuffer + length && *name;
         name += std::wcslen(name) + 1) {
        if (_wcsicmp(name, section) == 0) return 1;
    }
    return 0;
}

// Calls line(key, value) for every "key=value" line of a section, in file order.
template <typename Handler>
void forEachLine(const wchar_t* path, const wchar_t* section, Handler line) {
    DWORD length = GetPrivateProfileSectionW(section, sectionBuffer, kSectionChars, path);
    wchar_t* next = sectionBuffer;
    while (next < sectionBuffer + length && *next) {
        wchar_t* text = next;
        next += std::wcslen(text) + 1;
        wchar_t* equals = std::wcschr(text, L'=');
        if (!equals || *text == L';') continue;
        *equals = L'\0';
        wchar_t* key = trim(text);
        wchar_t* value = trim(equals + 1);
        if (*key) line(key, value);
    }
}

void readDevices(SimConfig& config) {
    if (!sectionPresent(kConfigPath, L"Devices")) {
        for (const SimDevice& d : kDefaultDevices)
            config.devices[config.deviceCount++] = d;
        return;
    }
    forEachLine(kConfigPath, L"Devices", [&](wchar_t*, wchar_t* value) {
        if (config.deviceCount >= kMaxSimDevices) return;
        wchar_t* comma = std::wcschr(value, L',');
        if (!comma) return;
        *comma = L'\0';
        SimDevice& d = config.devices[config.deviceCount++];
        copyText(d.type, RAS_MaxDeviceType + 1, trim(value));
        // The handheld knows a device by the part of its name it can list.
        const int nameChars =
            config.dialect == Dialect::Desktop ? RAS_MaxDeviceName : kHandheldDeviceNameChars;
        copyText(d.name, nameChars + 1, trim(comma + 1));
    });
}

// "desktop" in any case, a comment after it allowed; anything else is the handheld.
Dialect readDialect() {
    wchar_t value[64];
    GetPrivateProfileStringW(L"Service", L"Dialect", L"", value, 64, kConfigPath);
    if (wchar_t* comment = std::wcschr(value, L';')) *comment = L'\0';
    return _wcsicmp(trim(value), L"desktop") == 0 ? Dialect::Desktop : Dialect::Handheld;
}

void readNumbers(SimConfig& config) {
    forEachLine(kConfigPath, L"Numbers", [&](wchar_t* key, wchar_t* value) {
        Outcome outcome{};
        if (!parseOutcome(value, &outcome)) return;
        if (std::wcscmp(key, L"*") == 0) {
            config.otherNumbers = outcome;
        } else if (config.numberCount < kMaxNumberRules) {
            NumberRule& rule = config.numbers[config.numberCount++];
            copyText(rule.number, RAS_MaxPhoneNumber + 1, key);
            rule.outcome = outcome;
        }
    });
}

void readAccounts(SimConfig& config) {
    forEachLine(kConfigPath, L"Accounts", [&](wchar_t* key, wchar_t* value) {
        config.accountsListed = 1;
        if (config.accountCount >= kMaxAccounts) return;
        AccountRule& account = config.accounts[config.accountCount++];
        copyText(account.user, UNLEN + 1, key);
        copyText(account.password, PWLEN + 1, value);
    });
}

void writeNumber(const wchar_t* section, const wchar_t* key, DWORD value) {
    wchar_t text[16];
    std::swprintf(text, 16, L"%lu", static_cast<unsigned long>(value));
    WritePrivateProfileStringW(section, key, text, kPhonebookPath);
}

} // namespace

void copyText(wchar_t* field, int chars, const wchar_t* text) {
    int i = 0;
    if (text) {
        for (; i < chars - 1 && text[i]; ++i)
            field[i] = text[i];
    }
    field[i] = L'\0';
}

void readConfig(SimConfig& config) {
    config = SimConfig{};
    config.dialect = readDialect();
    readDevices(config);
    readNumbers(config);
    readAccounts(config);
    config.dialMs = GetPrivateProfileIntW(L"Timing", L"DialMs", kDefaultDialMs, kConfigPath);
    config.authMs = GetPrivateProfileIntW(L"Timing", L"AuthMs", kDefaultAuthMs, kConfigPath);
    config.hangUpMs = GetPrivateProfileIntW(L"Timing", L"HangUpMs", 0, kConfigPath);
    config.statusLagMs = GetPrivateProfileIntW(L"Timing", L"StatusLagMs", 0, kConfigPath);
    config.hangUpFailures = GetPrivateProfileIntW(L"Faults", L"HangUpFailures", 0, kConfigPath);
    // A negative value would come back as a huge unsigned one.
    for (DWORD* value : {&config.dialMs, &config.authMs, &config.hangUpMs, &config.statusLagMs,
                         &config.hangUpFailures})
        if (static_cast<int>(*value) < 0) *value = 0;
}

// The profile calls keep files in a cache that survives the file's deletion;
// letting go of it makes the next call read the disk.
void flushProfiles() {
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, kConfigPath);
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, kPhonebookPath);
}

int phonebookHasEntry(const wchar_t* entryName) {
    return sectionPresent(kPhonebookPath, entryName);
}

void phonebookWrite(const wchar_t* entryName, const RASENTRYW& entry) {
    // Replace the whole entry, so nothing of an older one lingers.
    WritePrivateProfileStringW(entryName, nullptr, nullptr, kPhonebookPath);
    WritePrivateProfileStringW(entryName, L"Number", entry.szLocalPhoneNumber, kPhonebookPath);
    WritePrivateProfileStringW(entryName, L"DeviceType", entry.szDeviceType, kPhonebookPath);
    WritePrivateProfileStringW(entryName, L"DeviceName", entry.szDeviceName, kPhonebookPath);
    writeNumber(entryName, L"Options", entry.dwfOptions);
    writeNumber(entryName, L"FrameSize", entry.dwFrameSize);
    writeNumber(entryName, L"NetProtocols", entry.dwfNetProtocols);
    writeNumber(entryName, L"FramingProtocol", entry.dwFramingProtocol);
}

StoredEntry phonebookRead(const wchar_t* entryName) {
    StoredEntry stored{};
    if (!phonebookHasEntry(entryName)) return stored;
    stored.exists = 1;
    GetPrivateProfileStringW(entryName, L"Number", L"", stored.number, RAS_MaxPhoneNumber + 1,
                             kPhonebookPath);
    GetPrivateProfileStringW(entryName, L"DeviceType", L"", stored.deviceType,
                             RAS_MaxDeviceType + 1, kPhonebookPath);
    GetPrivateProfileStringW(entryName, L"DeviceName", L"", stored.deviceName,
                             RAS_MaxDeviceName + 1, kPhonebookPath);
    stored.options = GetPrivateProfileIntW(entryName, L"Options", 0, kPhonebookPath);
    stored.frameSize = GetPrivateProfileIntW(entryName, L"FrameSize", 0, kPhonebookPath);
    stored.netProtocols = GetPrivateProfileIntW(entryName, L"NetProtocols", 0, kPhonebookPath);
    stored.framingProtocol =
        GetPrivateProfileIntW(entryName, L"FramingProtocol", 0, kPhonebookPath);
    return stored;
}

void phonebookDelete(const wchar_t* entryName) {
    WritePrivateProfileStringW(entryName, nullptr, nullptr, kPhonebookPath);
}

void logLine(const Service& s, const wchar_t* format, ...) {
    wchar_t text[1024];
    int used = std::swprintf(text, 64, L"%lu ", static_cast<unsigned long>(now(s)));
    if (used < 0) used = 0;
    va_list args;
    va_start(args, format);
    int more = std::vswprintf(text + used, 1020 - used, format, args);
    va_end(args);
    if (more < 0) { // too long: keep what fits
        text[1019] = L'\0';
        more = static_cast<int>(std::wcslen(text + used));
    }
    used += more;
    text[used++] = L'\r';
    text[used++] = L'\n';

    char bytes[4096];
    int length = WideCharToMultiByte(CP_UTF8, 0, text, used, bytes, sizeof bytes, nullptr, nullptr);
    HANDLE file = CreateFileW(kLogPath, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, bytes, static_cast<DWORD>(length), &written, nullptr);
    CloseHandle(file);
}

const wchar_t* stateName(DWORD state) {
    switch (state) {
    case RASCS_OpenPort: return L"RASCS_OpenPort";
    case RASCS_PortOpened: return L"RASCS_PortOpened";
    case RASCS_ConnectDevice: return L"RASCS_ConnectDevice";
    case RASCS_DeviceConnected: return L"RASCS_DeviceConnected";
    case RASCS_AllDevicesConnected: return L"RASCS_AllDevicesConnected";
    case RASCS_Authenticate: return L"RASCS_Authenticate";
    case RASCS_AuthNotify: return L"RASCS_AuthNotify";
    case RASCS_Authenticated: return L"RASCS_Authenticated";
    case RASCS_Connected: return L"RASCS_Connected";
    case RASCS_Disconnected: return L"RASCS_Disconnected";
    default: return L"RASCS_?";
    }
}

} // namespace rassim
