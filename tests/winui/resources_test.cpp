// The program's resources as the system reads them: the test program links
// the same resource script as Brenvik.exe and reads its own module.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/resource.h"
#include "platform/text.h"

namespace {

constexpr WORD kChinese = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);
constexpr WORD kEnglishUs = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);

std::string Utf8(const WString& text) { return WideToUtf8(text); }

// The bytes of a resource in one language, empty when there is none.
std::string Resource(const wchar_t* type, UINT id, WORD language) {
    HMODULE self = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceExW(self, type, MAKEINTRESOURCEW(id), language);
    if (!found) return std::string();
    HGLOBAL loaded = LoadResource(self, found);
    const char* data = static_cast<const char*>(LockResource(loaded));
    return std::string(data, SizeofResource(self, found));
}

// Reads a DIALOGEX template the way the dialog manager does.
class TemplateReader {
public:
    explicit TemplateReader(const std::string& bytes) : bytes_(bytes) {}
    template <class T>
    T Get() {
        T value{};
        if (pos_ + sizeof(T) <= bytes_.size()) std::memcpy(&value, bytes_.data() + pos_, sizeof(T));
        pos_ += sizeof(T);
        return value;
    }
    WString String() {
        WString text;
        while (char16_t c = Get<char16_t>()) text += c;
        return text;
    }
    // A string or an ordinal (0xFFFF then the number, written "#n").
    WString StringOrOrdinal() {
        const char16_t first = Get<char16_t>();
        if (first == 0xFFFF) return u"#" + Utf8ToWide(std::to_string(Get<uint16_t>()));
        if (first == 0) return WString();
        return first + String();
    }
    void Align(size_t to) { pos_ = (pos_ + to - 1) / to * to; }
    void Skip(size_t n) { pos_ += n; }
    bool Ended() const { return pos_ > bytes_.size(); }

private:
    const std::string& bytes_;
    size_t pos_ = 0;
};

struct Item {
    int id;
    WString cls;
    WString text;
    short x, y, cx, cy;
    DWORD style;
    DWORD exStyle;
};

struct Template {
    DWORD style = 0, exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    WString menu, cls, caption, font;
    WORD pointSize = 0, weight = 0;
    BYTE italic = 0, charset = 0;
    std::vector<Item> items;
};

// Class ordinals of the predefined controls, by their names.
WString ClassName(const WString& cls) {
    if (cls == u"#128") return u"Button";
    if (cls == u"#129") return u"Edit";
    if (cls == u"#130") return u"Static";
    if (cls == u"#133") return u"ComboBox";
    return cls;
}

Template ReadTemplate(UINT id) {
    const std::string bytes = Resource(RT_DIALOG, id, kChinese);
    Template t;
    if (bytes.empty()) return t;
    TemplateReader r(bytes);
    EXPECT_EQ(r.Get<WORD>(), 1) << "an extended template";
    EXPECT_EQ(r.Get<WORD>(), 0xFFFF);
    r.Get<DWORD>();  // help id
    t.exStyle = r.Get<DWORD>();
    t.style = r.Get<DWORD>();
    const WORD count = r.Get<WORD>();
    t.x = r.Get<short>();
    t.y = r.Get<short>();
    t.cx = r.Get<short>();
    t.cy = r.Get<short>();
    t.menu = r.StringOrOrdinal();
    t.cls = r.StringOrOrdinal();
    t.caption = r.String();
    if (t.style & DS_SETFONT) {
        t.pointSize = r.Get<WORD>();
        t.weight = r.Get<WORD>();
        t.italic = r.Get<BYTE>();
        t.charset = r.Get<BYTE>();
        t.font = r.String();
    }
    for (WORD i = 0; i < count; ++i) {
        r.Align(4);
        Item item;
        r.Get<DWORD>();  // help id
        item.exStyle = r.Get<DWORD>();
        item.style = r.Get<DWORD>();
        item.x = r.Get<short>();
        item.y = r.Get<short>();
        item.cx = r.Get<short>();
        item.cy = r.Get<short>();
        item.id = static_cast<int>(r.Get<DWORD>());
        item.cls = ClassName(r.StringOrOrdinal());
        item.text = r.StringOrOrdinal();
        r.Skip(r.Get<WORD>());
        t.items.push_back(item);
    }
    EXPECT_FALSE(r.Ended()) << "the template is cut short";
    return t;
}

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kLabel = kChild | SS_LEFT | WS_GROUP;
constexpr DWORD kGroup = kChild | BS_GROUPBOX;
constexpr DWORD kList = kChild | CBS_DROPDOWN | CBS_SORT | WS_VSCROLL | WS_TABSTOP;
constexpr DWORD kNumber = kChild | ES_LEFT | ES_NUMBER | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP;
constexpr DWORD kDisabledNumber = kNumber | WS_DISABLED;
constexpr DWORD kKey = kChild | ES_LEFT | ES_PASSWORD | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP;
constexpr DWORD kPush = kChild | BS_PUSHBUTTON | WS_TABSTOP;
constexpr DWORD kCheck = kChild | BS_AUTOCHECKBOX | WS_TABSTOP;
constexpr DWORD kAddress = kChild | WS_TABSTOP;

void ExpectItems(const std::vector<Item>& actual, const std::vector<Item>& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        const Item& a = actual[i];
        const Item& e = expected[i];
        SCOPED_TRACE("control " + std::to_string(i + 1) + " " + Utf8(e.text) + " id " + std::to_string(e.id));
        EXPECT_EQ(a.id, e.id);
        // Window class names are compared without regard to case, and the
        // resource compiler writes named classes in capitals.
        EXPECT_EQ(lstrcmpiW(WinStr(a.cls), WinStr(e.cls)), 0) << Utf8(a.cls) << " is not " << Utf8(e.cls);
        EXPECT_EQ(Utf8(a.text), Utf8(e.text));
        EXPECT_EQ(a.x, e.x);
        EXPECT_EQ(a.y, e.y);
        EXPECT_EQ(a.cx, e.cx);
        EXPECT_EQ(a.cy, e.cy);
        EXPECT_EQ(a.style, e.style) << std::hex << "actual 0x" << a.style << ", expected 0x" << e.style;
        EXPECT_EQ(a.exStyle, 0u);
    }
}

TEST(MainDialogTemplate, FrameCaptionAndFont) {
    const Template t = ReadTemplate(IDD_MAIN_DIALOG);
    EXPECT_EQ(t.style, DWORD(DS_SETFONT | DS_MODALFRAME | DS_FIXEDSYS | WS_POPUP | WS_VISIBLE | WS_CAPTION |
                             WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    EXPECT_FALSE(t.style & WS_THICKFRAME) << "no sizing border";
    EXPECT_EQ(t.exStyle, DWORD(WS_EX_APPWINDOW | WS_EX_CONTROLPARENT));
    EXPECT_EQ(t.x, 0);
    EXPECT_EQ(t.y, 0);
    EXPECT_EQ(t.cx, 255);
    EXPECT_EQ(t.cy, 285);
    EXPECT_TRUE(t.menu.empty());
    EXPECT_TRUE(t.cls.empty());
    EXPECT_EQ(Utf8(t.caption), "KelvoroBrenvikv1.0");
    EXPECT_EQ(Utf8(t.font), "MS Shell Dlg");
    EXPECT_EQ(t.pointSize, 9);
    EXPECT_EQ(t.weight, 0);
    EXPECT_EQ(t.italic, 0);
    EXPECT_EQ(t.charset, 0);
}

TEST(MainDialogTemplate, TheControlsInTemplateOrder) {
    const Template t = ReadTemplate(IDD_MAIN_DIALOG);
    ExpectItems(t.items, {
        {IDC_STATIC, u"Static", u"版本类型:", 136, 24, 31, 8, kLabel, 0},
        {IDC_STATIC, u"Button", u"交换机", 17, 7, 224, 50, kGroup, 0},
        {IDC_STATIC, u"Button", u"Radius服务器配置", 15, 62, 226, 105, kGroup, 0},
        {IDC_COMBO_MODEL, u"ComboBox", u"", 170, 22, 66, 30, kList, 0},
        {IDC_STATIC, u"Button", u" ", 16, 174, 225, 36, kGroup, 0},
        {IDC_STATIC, u"Static", u"延迟时间(秒):", 23, 192, 43, 8, kLabel, 0},
        {IDC_STATIC_SERVER_IP, u"Static", u"服务器IP:", 23, 80, 30, 8, kLabel, 0},
        {IDC_STATIC, u"Static", u"认证端口:", 23, 104, 31, 8, kLabel, 0},
        {IDC_EDIT_AUTH_PORT, u"Edit", u"", 59, 101, 46, 14, kNumber, 0},
        {IDC_STATIC, u"Static", u"计费端口:", 22, 121, 31, 8, kLabel, 0},
        {IDC_EDIT_ACCT_PORT, u"Edit", u"", 59, 119, 47, 14, kNumber, 0},
        {IDC_STATIC, u"Static", u"加密密钥:", 22, 138, 31, 8, kLabel, 0},
        {IDC_EDIT_SECRET_KEY, u"Edit", u"", 59, 136, 46, 14, kKey, 0},
        {IDC_EDIT_MAB_DELAY, u"Edit", u"", 67, 189, 40, 14, kDisabledNumber, 0},
        {IDC_BUTTON_GENERATE, u"Button", u"生成配置", 17, 264, 50, 14, kPush, 0},
        {IDC_COMBO_VENDOR, u"ComboBox", u"", 62, 23, 48, 30, kList, 0},
        {IDC_STATIC, u"Static", u"交换机厂商:", 21, 25, 38, 8, kLabel, 0},
        {IDC_IPADDRESS_SERVER, u"SysIPAddress32", u"", 59, 77, 100, 15, kAddress, 0},
        {IDC_CHECK_MAB, u"Button", u"MAB认证", 25, 174, 43, 10, kCheck, 0},
        {IDC_STATIC, u"Static", u"交换机端口:", 21, 40, 38, 8, kLabel, 0},
        {IDC_EDIT_INTERFACE, u"Edit", u"", 62, 38, 48, 14, kNumber, 0},
        {IDC_CHECK_MULTI_TERMINAL, u"Button", u"开启允许多终端接入", 136, 41, 76, 10, kCheck, 0},
        {IDC_STATIC, u"Static", u"意见反馈:brenvik@kelvoro.example", 124, 270, 117, 8, kLabel, 0},
        {IDC_STATIC, u"Button", u"", 15, 220, 105, 34, kGroup, 0},
        {IDC_CHECK_ESCAPE_VLAN, u"Button", u"逃生Vlan", 25, 220, 37, 10, kCheck, 0},
        {IDC_STATIC, u"Static", u"VlanID:", 24, 238, 23, 8, kLabel, 0},
        {IDC_EDIT_ESCAPE_VLAN_ID, u"Edit", u"", 52, 236, 40, 14, kDisabledNumber, 0},
        {IDC_STATIC, u"Button", u"", 138, 220, 103, 34, kGroup, 0},
        {IDC_CHECK_GUEST_VLAN, u"Button", u"Guest Vlan", 146, 220, 45, 10, kCheck, 0},
        {IDC_STATIC, u"Static", u"VlanID:", 145, 240, 23, 8, kLabel, 0},
        {IDC_EDIT_GUEST_VLAN_ID, u"Edit", u"", 172, 237, 40, 14, kDisabledNumber, 0},
    });
}

TEST(MainDialogTemplate, NoButtonIsTheDefaultAndNoneIsOk) {
    for (const Item& item : ReadTemplate(IDD_MAIN_DIALOG).items) {
        EXPECT_NE(item.id, IDOK);
        if (item.cls == u"Button") {
            EXPECT_NE(item.style & BS_TYPEMASK, DWORD(BS_DEFPUSHBUTTON)) << Utf8(item.text);
        }
    }
}

TEST(AboutBoxTemplate, FrameAndControls) {
    const Template t = ReadTemplate(IDD_ABOUTBOX);
    EXPECT_EQ(t.style, DWORD(DS_SETFONT | DS_MODALFRAME | DS_FIXEDSYS | WS_POPUP | WS_CAPTION | WS_SYSMENU));
    EXPECT_EQ(t.exStyle, 0u);
    EXPECT_EQ(t.cx, 193);
    EXPECT_EQ(t.cy, 68);
    EXPECT_EQ(Utf8(t.caption), "关于 KelvoroBrenvik");
    EXPECT_EQ(Utf8(t.font), "MS Shell Dlg");
    EXPECT_EQ(t.pointSize, 9);
    ExpectItems(t.items, {
        {IDC_STATIC, u"Static", u"#128", 14, 14, 20, 20, kChild | SS_ICON, 0},
        {IDC_STATIC, u"Static", u"KelvoroBrenvik，1.0 版", 42, 14, 114, 8, kLabel | SS_NOPREFIX, 0},
        {IDOK, u"Button", u"确定", 136, 47, 50, 14, kChild | BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP, 0},
    });
}

TEST(Strings, TheAboutItem) {
    wchar_t buffer[64] = {};
    const int length = LoadStringW(GetModuleHandleW(nullptr), IDS_ABOUTBOX, buffer, 64);
    EXPECT_EQ(Utf8(FromWin(buffer, static_cast<size_t>(length))), "关于 Brenvik(&A)...");
    // Strings live in blocks of sixteen, block n + 1 holding 16n to 16n + 15.
    EXPECT_FALSE(Resource(RT_STRING, IDS_ABOUTBOX / 16 + 1, kChinese).empty()) << "in the Chinese string table";
}

TEST(HtmlPage, AsciiWithCrLfLines) {
    const std::string page = Resource(MAKEINTRESOURCEW(23), IDR_HTML_MAIN, kChinese);
    ASSERT_FALSE(page.empty());
    for (size_t i = 0; i < page.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(page[i]);
        ASSERT_LT(c, 0x80u) << "plain ASCII, at byte " << i;
        if (c == '\n') {
            ASSERT_TRUE(i > 0 && page[i - 1] == '\r') << "a bare line feed at byte " << i;
        }
        if (c == '\r') {
            ASSERT_TRUE(i + 1 < page.size() && page[i + 1] == '\n') << "a bare carriage return at byte " << i;
        }
    }
    EXPECT_EQ(page.substr(page.size() - 2), "\r\n");
    EXPECT_NE(page.find("content=\"text/html; charset=gb2312\""), std::string::npos);
    EXPECT_NE(page.find("ID=CtavrikDlg"), std::string::npos);
    EXPECT_NE(page.find("BGCOLOR=WhiteSmoke"), std::string::npos);
    EXPECT_EQ(page.find("ButtonOK"), std::string::npos);
    EXPECT_EQ(page.find("ButtonCancel"), std::string::npos);
}

#pragma pack(push, 2)
struct GroupEntry {
    BYTE width, height, colours, reserved;
    WORD planes, bits;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

TEST(Icon, ThirteenImagesOfTheirSizesAndDepths) {
    const std::string group = Resource(RT_GROUP_ICON, IDR_MAINFRAME, kChinese);
    ASSERT_GE(group.size(), 6u);
    WORD count = 0;
    std::memcpy(&count, group.data() + 4, 2);
    ASSERT_EQ(count, 13);
    ASSERT_EQ(group.size(), 6 + count * sizeof(GroupEntry));
    std::vector<std::pair<int, int>> images;
    for (WORD i = 0; i < count; ++i) {
        GroupEntry entry;
        std::memcpy(&entry, group.data() + 6 + i * sizeof entry, sizeof entry);
        const int size = entry.width == 0 ? 256 : entry.width;
        images.emplace_back(size, entry.bits);
        const std::string image = Resource(RT_ICON, entry.id, kChinese);
        EXPECT_EQ(image.size(), entry.bytes);
        if (size == 256) {
            EXPECT_EQ(image.substr(1, 3), "PNG") << "the large image is stored as PNG";
        }
    }
    std::vector<std::pair<int, int>> expected;
    for (int size : {48, 32, 24, 16})
        for (int bits : {4, 8, 32}) expected.emplace_back(size, bits);
    expected.emplace_back(256, 32);
    EXPECT_EQ(images, expected);
    EXPECT_NE(LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME)), nullptr);
}

WString VersionString(const void* block, const wchar_t* name) {
    const std::wstring path = std::wstring(L"\\StringFileInfo\\080403a8\\") + name;
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(block, path.c_str(), &value, &length) || !value) return u"<missing>";
    return FromWin(static_cast<const wchar_t*>(value));
}

TEST(Version, NumbersLanguageAndStrings) {
    const std::string resource = Resource(RT_VERSION, 1, kChinese);
    ASSERT_FALSE(resource.empty()) << "version information in Chinese (Simplified)";
    // VerQueryValue wants a writable copy.
    std::vector<char> block(resource.begin(), resource.end());
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00000001u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0x00000001u);
    EXPECT_EQ(fixed->dwFileFlagsMask, 0x3Fu);
    EXPECT_EQ(fixed->dwFileFlags, 0u);
    EXPECT_EQ(fixed->dwFileOS, DWORD(VOS__WINDOWS32));
    EXPECT_EQ(fixed->dwFileType, DWORD(VFT_APP));

    WORD* translation = nullptr;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length));
    ASSERT_EQ(length, 4u);
    EXPECT_EQ(translation[0], 0x0804);
    EXPECT_EQ(translation[1], 936);

    const struct {
        const wchar_t* name;
        const char* value;
    } strings[] = {
        {L"CompanyName", "Kelvoro科技"},     {L"FileDescription", "Brenvik"}, {L"FileVersion", "1.0.0.1"},
        {L"InternalName", "Brenvik.exe"},   {L"OriginalFilename", "Brenvik.exe"},
        {L"ProductName", "Brenvik"},         {L"ProductVersion", "1.0.0.1"},
    };
    for (const auto& s : strings) {
        SCOPED_TRACE(Utf8(FromWin(s.name)));
        EXPECT_EQ(Utf8(VersionString(block.data(), s.name)), s.value);
    }
}

TEST(Manifest, CommonControlsSixForX86AsInvoker) {
    const std::string manifest = Resource(RT_MANIFEST, 1, kEnglishUs);
    ASSERT_FALSE(manifest.empty()) << "manifest 1 in English (United States)";
    for (const char* part : {"name=\"Microsoft.Windows.Common-Controls\"", "version=\"6.0.0.0\"",
                             "processorArchitecture=\"x86\"", "publicKeyToken=\"6595b64144ccf1df\"",
                             "language=\"*\"", "type=\"win32\"", "level=\"asInvoker\"", "uiAccess=\"false\""}) {
        EXPECT_NE(manifest.find(part), std::string::npos) << part;
    }
}

}  // namespace
