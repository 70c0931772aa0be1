// The compiled resources as the program and the shell read them: string
// table, dialog templates, menu, menu bar definition, icon and logo.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "resources/resource.h"
#include "resources/string_ids.h"
#include "resources/string_table.h"

namespace {

HINSTANCE instance() { return GetModuleHandleW(nullptr); }

const BYTE* resourceData(LPCWSTR type, int id, DWORD* size = nullptr) {
    HRSRC found = FindResourceW(instance(), MAKEINTRESOURCEW(id), type);
    if (!found) return nullptr;
    if (size) *size = SizeofResource(instance(), found);
    return static_cast<const BYTE*>(LockResource(LoadResource(instance(), found)));
}

struct Control {
    int id;
    std::wstring kind; // Button, Edit, Static, ComboBox
    DWORD style;       // every bit, WS_CHILD and WS_VISIBLE included
    short x, y, cx, cy;
    std::wstring text; // "#104" for a resource ordinal
};

struct Dialog {
    DWORD style;
    DWORD exStyle;
    short cx, cy;
    WORD pointSize;
    std::wstring font;
    std::wstring caption;
    std::vector<Control> controls;
};

class TemplateReader {
  public:
    explicit TemplateReader(const BYTE* data) : at_(data) {}
    template <typename T> T take() {
        T value;
        memcpy(&value, at_, sizeof value);
        at_ += sizeof value;
        return value;
    }
    std::wstring sizeOrOrdinal() {
        WORD first = take<WORD>();
        if (first == 0xFFFF) return L"#" + std::to_wstring(take<WORD>());
        std::wstring text;
        for (WORD c = first; c; c = take<WORD>())
            text += static_cast<wchar_t>(c);
        return text;
    }
    void alignDword(const BYTE* base) {
        while ((at_ - base) % 4)
            ++at_;
    }
    const BYTE* at() const { return at_; }

  private:
    const BYTE* at_;
};

// Class names are case-blind and may be stored as the predefined ordinals.
std::wstring className(const std::wstring& raw) {
    const std::pair<const wchar_t*, const wchar_t*> known[] = {
        {L"#128", L"Button"}, {L"#129", L"Edit"}, {L"#130", L"Static"}, {L"#133", L"ComboBox"}};
    for (const auto& [ordinal, name] : known)
        if (raw == ordinal || _wcsicmp(raw.c_str(), name) == 0) return name;
    return raw;
}

Dialog readDialog(int id) {
    const BYTE* base = resourceData(RT_DIALOG, id);
    EXPECT_NE(base, nullptr);
    Dialog dialog{};
    if (!base) return dialog;
    TemplateReader in(base);
    EXPECT_EQ(in.take<WORD>(), 1); // DLGTEMPLATEEX
    EXPECT_EQ(in.take<WORD>(), 0xFFFF);
    in.take<DWORD>();
    dialog.exStyle = in.take<DWORD>();
    dialog.style = in.take<DWORD>();
    WORD count = in.take<WORD>();
    in.take<short>();
    in.take<short>();
    dialog.cx = in.take<short>();
    dialog.cy = in.take<short>();
    in.sizeOrOrdinal(); // menu
    in.sizeOrOrdinal(); // class
    dialog.caption = in.sizeOrOrdinal();
    dialog.pointSize = in.take<WORD>();
    in.take<WORD>();
    in.take<BYTE>();
    in.take<BYTE>();
    dialog.font = in.sizeOrOrdinal();
    for (WORD i = 0; i < count; ++i) {
        in.alignDword(base);
        Control control{};
        in.take<DWORD>();
        in.take<DWORD>();
        control.style = in.take<DWORD>();
        control.x = in.take<short>();
        control.y = in.take<short>();
        control.cx = in.take<short>();
        control.cy = in.take<short>();
        control.id = static_cast<int>(in.take<DWORD>());
        control.kind = className(in.sizeOrOrdinal());
        control.text = in.sizeOrOrdinal();
        WORD extra = in.take<WORD>();
        for (WORD e = 0; e < extra; ++e)
            in.take<BYTE>();
        dialog.controls.push_back(control);
    }
    return dialog;
}

void expectDialog(int id, const Dialog& expected) {
    SCOPED_TRACE("dialog " + std::to_string(id));
    Dialog actual = readDialog(id);
    EXPECT_EQ(actual.style, expected.style);
    EXPECT_EQ(actual.exStyle, expected.exStyle);
    EXPECT_EQ(actual.cx, expected.cx);
    EXPECT_EQ(actual.cy, expected.cy);
    EXPECT_EQ(actual.pointSize, expected.pointSize);
    EXPECT_EQ(actual.font, expected.font);
    EXPECT_EQ(actual.caption, L"");
    ASSERT_EQ(actual.controls.size(), expected.controls.size());
    for (size_t i = 0; i < expected.controls.size(); ++i) {
        const Control& a = actual.controls[i];
        const Control& e = expected.controls[i];
        SCOPED_TRACE("control " + std::to_string(i));
        EXPECT_EQ(static_cast<short>(a.id), static_cast<short>(e.id));
        EXPECT_EQ(a.kind, e.kind);
        EXPECT_EQ(a.style, e.style);
        EXPECT_EQ(a.x, e.x);
        EXPECT_EQ(a.y, e.y);
        EXPECT_EQ(a.cx, e.cx);
        EXPECT_EQ(a.cy, e.cy);
        EXPECT_EQ(a.text, e.text);
    }
}

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kLabel = kChild | SS_LEFT | WS_GROUP;
constexpr DWORD kPush = kChild | BS_PUSHBUTTON | WS_TABSTOP;
constexpr DWORD kDefPush = kChild | BS_DEFPUSHBUTTON | WS_TABSTOP;
constexpr DWORD kField = kChild | ES_LEFT | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP;

} // namespace

TEST(StringTable, EveryEntryLoadsWithItsText) {
    const int ids[] = {
#define TAMLINK_STRING(name, id, text) id,
#include "resources/strings.inc"
#undef TAMLINK_STRING
    };
    for (int id : ids) {
        wchar_t loaded[res::kTextChars] = {};
        ASSERT_GT(LoadStringW(instance(), static_cast<UINT>(id), loaded, res::kTextChars), 0) << id;
        std::string expected = res::stringText(id);
        EXPECT_EQ(std::wstring(expected.begin(), expected.end()), loaded) << id;
    }
    wchar_t none[10];
    for (int absent : {40058, 40060, 40061, 40066, 40070, 40071})
        EXPECT_EQ(LoadStringW(instance(), static_cast<UINT>(absent), none, 10), 0) << absent;
}

TEST(StringTable, KeyTextsAreExact) {
    EXPECT_STREQ(res::stringText(1), "Tamlink PPC");
    EXPECT_STREQ(res::stringText(3), "TAMLINKPPC");
    EXPECT_STREQ(res::stringText(40073), "An error occured while saving the entered information.");
    EXPECT_STREQ(res::stringText(40074),
                 "No accounts were found. Do you want to create a new account?");
}

TEST(DialogTemplates, AboutBox) {
    expectDialog(IDD_ABOUT,
                 {WS_POPUP | DS_CENTER | DS_SETFONT,
                  0x80000000,
                  118,
                  74,
                  8,
                  L"System",
                  L"",
                  {{-1, L"Static", kChild | SS_BITMAP, 7, 26, 83, 9, L"#104"},
                   {-1, L"Static", kLabel | SS_NOPREFIX, 7, 7, 103, 15, L"Tamlink PPC version 1.1"},
                   {IDOK, L"Button", kPush, 7, 56, 39, 14, L"Close"}}});
}

TEST(DialogTemplates, DialDialog) {
    constexpr DWORD kNumberField = kField | ES_NUMBER;
    expectDialog(IDD_DIAL,
                 {WS_POPUP | WS_VISIBLE | DS_SETFONT | DS_CENTER,
                  0,
                  155,
                  161,
                  8,
                  L"MS Sans Serif",
                  L"",
                  {{1002, L"Button", kPush, 5, 95, 31, 14, L"Dial"},
                   {202, L"Edit", kNumberField, 42, 34, 101, 12, L""},
                   {205, L"Edit", kNumberField & ~WS_TABSTOP, 42, 51, 20, 12, L""},
                   {203, L"ComboBox", kChild | CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 42, 68,
                    101, 49, L""},
                   {201, L"Edit", (kField | ES_READONLY) & ~WS_TABSTOP, 42, 16, 101, 12, L""},
                   {204, L"Edit", kChild | ES_LEFT | ES_READONLY | ES_MULTILINE | ES_AUTOVSCROLL, 9,
                    128, 137, 24, L""},
                   {-1, L"Static", kLabel, 12, 18, 22, 8, L"Name:"},
                   {-1, L"Static", kLabel, 12, 36, 28, 8, L"Number:"},
                   {-1, L"Static", kLabel, 12, 52, 24, 8, L"Prefix:"},
                   {-1, L"Static", kLabel, 12, 69, 26, 8, L"Modem:"},
                   {-1, L"Button", kChild | BS_GROUPBOX, 4, 118, 148, 39, L"Status:"},
                   {-1, L"Button", kChild | BS_GROUPBOX, 4, 7, 148, 79, L""},
                   {4, L"Button", kPush, 44, 95, 31, 14, L"Edit"},
                   {3, L"Button", kPush, 82, 95, 31, 14, L"Delete"},
                   {2, L"Button", kPush, 121, 95, 31, 14, L"Close"}}});
}

TEST(DialogTemplates, AccountEditor) {
    expectDialog(IDD_ACCOUNT_EDITOR, {WS_POPUP | WS_VISIBLE | DS_CENTER | DS_SETFONT,
                                      0,
                                      138,
                                      125,
                                      8,
                                      L"System",
                                      L"",
                                      {{-1, L"Static", kLabel, 7, 9, 34, 8, L"Name:"},
                                       {-1, L"Static", kLabel, 7, 25, 30, 8, L"Number:"},
                                       {-1, L"Static", kLabel, 7, 42, 36, 8, L"Username:"},
                                       {-1, L"Static", kLabel, 7, 58, 34, 8, L"Password:"},
                                       {-1, L"Static", kLabel, 7, 79, 61, 8, L"Max connect time:"},
                                       {1003, L"Edit", kField, 49, 7, 82, 14, L""},
                                       {1004, L"Edit", kField | ES_NUMBER, 49, 23, 82, 14, L""},
                                       {1005, L"Edit", kField, 49, 39, 82, 14, L""},
                                       {1006, L"Edit", kField, 49, 55, 82, 14, L""},
                                       {1007, L"Edit", kField | ES_NUMBER, 69, 77, 22, 14, L""},
                                       {-1, L"Static", kLabel, 7, 88, 49, 8, L"( 0 = no limit )"},
                                       {-1, L"Static", kLabel, 95, 79, 26, 8, L"minutes"},
                                       {IDOK, L"Button", kDefPush, 7, 104, 30, 14, L"OK"},
                                       {IDCANCEL, L"Button", kPush, 43, 104, 30, 14, L"Cancel"}}});
}

TEST(DialogTemplates, OptionsDialog) {
    expectDialog(
        IDD_OPTIONS,
        {WS_POPUP | WS_VISIBLE | DS_CENTER | DS_SETFONT,
         0,
         134,
         91,
         8,
         L"System",
         L"",
         {{-1, L"Static", kLabel, 3, 3, 130, 44,
           L"Enter here a web url or program name (full path) to start automatically after a "
           L"successfull connection has been made.\nLeaving this field empty will prevent\n"
           L"this behaviour."},
          {1008, L"Edit", kField, 1, 51, 128, 14, L""},
          {IDOK, L"Button", kDefPush, 4, 76, 30, 14, L"OK"},
          {IDCANCEL, L"Button", kPush, 40, 76, 30, 14, L"Cancel"}}});
}

TEST(MenuResources, PopupsHoldTheCommandsInOrder) {
    HMENU menu = LoadMenuW(instance(), MAKEINTRESOURCEW(IDR_MENUBAR));
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(GetMenuItemCount(menu), 2);
    const std::vector<std::pair<std::wstring, int>> expected[] = {
        {{L"Options", 40024}, {L"", 0}, {L"Info", 40010}, {L"", 0}, {L"Quit", 40007}},
        {{L"New", 40015}, {L"Edit", 40016}, {L"Delete", 40017}}};
    const wchar_t* titles[] = {L"Program", L"Account"};
    for (int popup = 0; popup < 2; ++popup) {
        wchar_t title[32] = {};
        GetMenuStringW(menu, static_cast<UINT>(popup), title, 32, MF_BYPOSITION);
        EXPECT_STREQ(title, titles[popup]);
        HMENU sub = GetSubMenu(menu, popup);
        ASSERT_EQ(GetMenuItemCount(sub), static_cast<int>(expected[popup].size()));
        for (int item = 0; item < GetMenuItemCount(sub); ++item) {
            wchar_t text[32] = {};
            GetMenuStringW(sub, static_cast<UINT>(item), text, 32, MF_BYPOSITION);
            EXPECT_EQ(text, expected[popup][static_cast<size_t>(item)].first);
            EXPECT_EQ(static_cast<int>(GetMenuItemID(sub, item)),
                      expected[popup][static_cast<size_t>(item)].second);
        }
    }
    DestroyMenu(menu);
}

TEST(MenuResources, MenuBarDefinitionNamesTheTwoButtons) {
    DWORD size = 0;
    const BYTE* data = resourceData(RT_RCDATA, IDR_MENUBAR, &size);
    ASSERT_NE(data, nullptr);
    ASSERT_EQ(size, 2u * (2 + 2 * 7));
    const WORD* words = reinterpret_cast<const WORD*>(data);
    const WORD expected[] = {102, 2,      0xFFFE, 40011, 4,    0x18,  40009, 0,
                             0,   0xFFFE, 40020,  4,     0x18, 40021, 0,     1};
    for (size_t i = 0; i < sizeof expected / sizeof expected[0]; ++i)
        EXPECT_EQ(words[i], expected[i]) << i;
}

TEST(Pictures, IconHasBothSizesInSixteenColours) {
    const BYTE* group = resourceData(RT_GROUP_ICON, IDI_TAMLINK);
    ASSERT_NE(group, nullptr);
    WORD count = reinterpret_cast<const WORD*>(group)[2];
    ASSERT_EQ(count, 2);
    std::vector<int> widths;
    for (WORD i = 0; i < count; ++i) {
        const BYTE* entry = group + 6 + 14 * i; // GRPICONDIRENTRY
        widths.push_back(entry[0]);
        EXPECT_EQ(entry[1], entry[0]);
        EXPECT_EQ(entry[2], 16) << "colours";
        EXPECT_EQ(*reinterpret_cast<const WORD*>(entry + 6), 4) << "bits per pixel";
    }
    EXPECT_EQ(widths, (std::vector<int>{32, 16}));
    EXPECT_NE(LoadIconW(instance(), MAKEINTRESOURCEW(IDI_TAMLINK)), nullptr);
}

TEST(Pictures, LogoIs125By15In256Colours) {
    HBITMAP logo = LoadBitmapW(instance(), MAKEINTRESOURCEW(IDB_LOGO));
    ASSERT_NE(logo, nullptr);
    BITMAP info{};
    GetObjectW(logo, sizeof info, &info);
    EXPECT_EQ(info.bmWidth, 125);
    EXPECT_EQ(info.bmHeight, 15);
    DeleteObject(logo);
    const BITMAPINFOHEADER* header =
        reinterpret_cast<const BITMAPINFOHEADER*>(resourceData(RT_BITMAP, IDB_LOGO));
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->biBitCount, 8);
}

TEST(VersionResource, NamesTheProgramAndTheAboutBoxVersion) {
    DWORD size = 0;
    const BYTE* data = resourceData(RT_VERSION, VS_VERSION_INFO, &size);
    ASSERT_NE(data, nullptr);
    std::vector<BYTE> block(data, data + size); // VerQueryValueW may write into its block
    auto value = [&block](const std::wstring& name) {
        void* text = nullptr;
        UINT chars = 0;
        std::wstring path = L"\\StringFileInfo\\040904B0\\" + name;
        if (!VerQueryValueW(block.data(), path.c_str(), &text, &chars)) return std::wstring(L"-");
        return std::wstring(static_cast<const wchar_t*>(text));
    };
    EXPECT_EQ(value(L"ProductName"), L"Tamlink PPC");
    EXPECT_EQ(value(L"OriginalFilename"), L"tamlink.exe");
    EXPECT_EQ(value(L"FileVersion"), L"1.1") << "the About box's";
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, static_cast<DWORD>(MAKELONG(1, 1))) << "1.1";
}
