// File icons from the shell: which icon a path gets, the icons' pixels and transparency, the
// system image list they come from, and the names that come with them.
#include "window_test_support.h"

#include "TestDevice.h"

#include <fstream>

namespace {

class ShellIconTest : public WindowTest {
public:
    TestDevice device;

    void Touch(const std::string& devicePath) { std::ofstream(device.Host(devicePath)) << "x"; }

    static int IconOf(const char16_t* path, DWORD attrs = 0, UINT extra = 0) {
        SHFILEINFOW info{};
        if (!SHGetFileInfoW(path, attrs, &info, sizeof(info),
                            SHGFI_SYSICONINDEX | SHGFI_SMALLICON | extra))
            return -1;
        return info.iIcon;
    }

    // What an icon leaves on a grey square: its own pixels where it is opaque.
    static std::vector<COLORREF> Drawn(const std::function<void(HDC)>& draw, int size) {
        HDC screen = GetDC(nullptr);
        HDC dc = CreateCompatibleDC(screen);
        HBITMAP bmp = CreateCompatibleBitmap(screen, size, size);
        HGDIOBJ old = SelectObject(dc, bmp);
        HBRUSH grey = CreateSolidBrush(RGB(100, 100, 100));
        RECT rc{0, 0, size, size};
        FillRect(dc, &rc, grey);
        DeleteObject(grey);
        draw(dc);
        std::vector<COLORREF> px;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                px.push_back(GetPixel(dc, x, y));
        SelectObject(dc, old);
        DeleteObject(bmp);
        DeleteDC(dc);
        ReleaseDC(nullptr, screen);
        return px;
    }
};

TEST_F(ShellIconTest, EachKindOfPathGetsItsOwnIcon) {
    CreateDirectoryW(u"\\Pad", nullptr);
    Touch("Pad/20240101_120000.pad");
    Touch("Pad/20240102_120000.PAD");
    Touch("Pad/note.txt");
    Touch("Pad/photo.jpg");
    Touch("Pad/data.bin");
    int folder = IconOf(u"\\Pad");
    int memo = IconOf(u"\\Pad\\20240101_120000.pad");
    int text = IconOf(u"\\Pad\\note.txt");
    int photo = IconOf(u"\\Pad\\photo.jpg");
    int plain = IconOf(u"\\Pad\\data.bin");
    ASSERT_GE(folder, 0);
    std::vector<int> all{folder, memo, text, photo, plain};
    for (size_t i = 0; i < all.size(); ++i)
        for (size_t j = i + 1; j < all.size(); ++j)
            EXPECT_NE(all[i], all[j]) << i << " and " << j;
    EXPECT_EQ(IconOf(u"\\Pad\\20240102_120000.PAD"), memo); // the extension in any case
    // A path that is not there has no icon, unless the caller says what it is.
    EXPECT_EQ(IconOf(u"\\Pad\\missing.pad"), -1);
    EXPECT_EQ(IconOf(u"\\Pad\\missing.pad", FILE_ATTRIBUTE_NORMAL, SHGFI_USEFILEATTRIBUTES), memo);
    // A folder with the temporary attribute is a storage card.
    int card = IconOf(u"\\Storage Card", FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_TEMPORARY,
                      SHGFI_USEFILEATTRIBUTES);
    EXPECT_NE(card, folder);
    EXPECT_NE(card, -1);
    int program = IconOf(u"\\Windows\\x.lnk", FILE_ATTRIBUTE_NORMAL, SHGFI_USEFILEATTRIBUTES);
    EXPECT_EQ(IconOf(u"\\Windows\\x.exe", FILE_ATTRIBUTE_NORMAL, SHGFI_USEFILEATTRIBUTES), program);
    EXPECT_NE(program, plain);
}

TEST_F(ShellIconTest, SmallIconsAreDrawnWithTransparentCorners) {
    CreateDirectoryW(u"\\Pad", nullptr);
    SHFILEINFOW info{};
    ASSERT_TRUE(SHGetFileInfoW(u"\\Pad", 0, &info, sizeof(info), SHGFI_ICON | SHGFI_SMALLICON));
    ASSERT_NE(info.hIcon, nullptr);
    EXPECT_EQ(GetSystemMetrics(SM_CXSMICON), 16);
    std::vector<COLORREF> px =
        Drawn([&](HDC dc) { DrawIconEx(dc, 0, 0, info.hIcon, 0, 0, 0, nullptr, DI_NORMAL); }, 16);
    EXPECT_EQ(px[0], RGB(100, 100, 100));            // top-left corner: transparent
    EXPECT_EQ(px[15 * 16 + 15], RGB(100, 100, 100)); // bottom-right corner too
    EXPECT_NE(px[8 * 16 + 8], RGB(100, 100, 100));   // the folder's body is opaque
    // The list draws the same picture as the icon it handed out.
    auto list = reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoW(u"\\Pad", 0, &info, sizeof(info), SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(Drawn([&](HDC dc) { ImageList_Draw(list, info.iIcon, dc, 0, 0, ILD_NORMAL); }, 16),
              px);
    int cx = 0, cy = 0;
    EXPECT_TRUE(ImageList_GetIconSize(list, &cx, &cy));
    EXPECT_EQ(cx, 16);
    EXPECT_GT(ImageList_GetImageCount(list), info.iIcon);
    EXPECT_FALSE(ImageList_Draw(list, ImageList_GetImageCount(list), nullptr, 0, 0, 0));
    EXPECT_FALSE(ImageList_Destroy(list)) << "the system's list stays";
}

TEST_F(ShellIconTest, HandedOutIconsBelongToTheCaller) {
    CreateDirectoryW(u"\\Pad", nullptr);
    SHFILEINFOW a{}, b{};
    ASSERT_TRUE(SHGetFileInfoW(u"\\Pad", 0, &a, sizeof(a), SHGFI_ICON | SHGFI_SMALLICON));
    ASSERT_TRUE(SHGetFileInfoW(u"\\Pad", 0, &b, sizeof(b), SHGFI_ICON | SHGFI_SMALLICON));
    EXPECT_NE(a.hIcon, b.hIcon);
    EXPECT_TRUE(DestroyIcon(a.hIcon));
    // Destroying one copy leaves the others and the list's own drawing intact.
    std::vector<COLORREF> px =
        Drawn([&](HDC dc) { DrawIconEx(dc, 0, 0, b.hIcon, 0, 0, 0, nullptr, DI_NORMAL); }, 16);
    EXPECT_NE(px[8 * 16 + 8], RGB(100, 100, 100));
    EXPECT_TRUE(DestroyIcon(b.hIcon));
}

TEST_F(ShellIconTest, HighResolutionIconsAreTwiceTheSize) {
    plat::StartHeadless(480, 640);
    CreateDirectoryW(u"\\Pad", nullptr);
    SHFILEINFOW info{};
    auto list = reinterpret_cast<HIMAGELIST>(SHGetFileInfoW(
        u"\\Pad", 0, &info, sizeof(info), SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_ICON));
    int cx = 0, cy = 0;
    ImageList_GetIconSize(list, &cx, &cy);
    EXPECT_EQ(cx, 32);
    ICONINFO ii{};
    ASSERT_TRUE(GetIconInfo(info.hIcon, &ii));
    BITMAP bm{};
    GetObjectW(ii.hbmColor, sizeof(bm), &bm);
    EXPECT_EQ(bm.bmWidth, 32);
    EXPECT_EQ(bm.bmHeight, 32);
    // A drawing of its own, not the small one doubled: the folder's outline is one pixel.
    std::vector<COLORREF> px =
        Drawn([&](HDC dc) { DrawIconEx(dc, 0, 0, info.hIcon, 0, 0, 0, nullptr, DI_NORMAL); }, 32);
    EXPECT_EQ(px[0], RGB(100, 100, 100));
    EXPECT_EQ(px[20 * 32 + 2], RGB(150, 110, 20));
    EXPECT_EQ(px[20 * 32 + 3], RGB(250, 215, 100));
    DeleteObject(ii.hbmMask);
    DeleteObject(ii.hbmColor);
    DestroyIcon(info.hIcon);
    plat::StartHeadless(240, 320);
}

TEST_F(ShellIconTest, NamesAttributesAndBadCalls) {
    CreateDirectoryW(u"\\Pad", nullptr);
    Touch("Pad/20240101_120000.pad");
    SHFILEINFOW info{};
    ASSERT_TRUE(SHGetFileInfoW(u"\\Pad\\20240101_120000.pad", 0, &info, sizeof(info),
                               SHGFI_DISPLAYNAME | SHGFI_TYPENAME | SHGFI_ATTRIBUTES));
    EXPECT_EQ(std::u16string(info.szDisplayName), u"20240101_120000.pad");
    EXPECT_EQ(std::u16string(info.szTypeName), u"Memo");
    EXPECT_EQ(info.dwAttributes & FILE_ATTRIBUTE_DIRECTORY, 0u);
    EXPECT_EQ(info.hIcon, nullptr) << "no icon unless asked for";
    EXPECT_EQ(SHGetFileInfoW(nullptr, 0, &info, sizeof(info), SHGFI_ICON), 0u);
    EXPECT_EQ(SHGetFileInfoW(u"\\Pad", 0, &info, 8, SHGFI_ICON), 0u);
}

} // namespace
