// What velmora.exe carries besides its code: the version, the manifest, the icons and the
// banner, read from the built exe.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "res/resource.h"
#include "support/TestSupport.h"

namespace velmora {
namespace {

class ExeResources : public ::testing::Test {
protected:
    void SetUp() override {
        exe_ = LoadLibraryExW(testing::VelmoraExePath().c_str(), nullptr,
                              LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        ASSERT_NE(exe_, nullptr);
    }
    void TearDown() override {
        if (exe_) FreeLibrary(exe_);
    }
    std::string Bytes(const wchar_t* name, const wchar_t* type) const {
        HRSRC found = FindResourceW(exe_, name, type);
        if (!found) return {};
        const void* data = LockResource(LoadResource(exe_, found));
        return std::string(static_cast<const char*>(data), SizeofResource(exe_, found));
    }
    HMODULE exe_ = nullptr;
};

TEST_F(ExeResources, TheVersionIsCMakesProjectVersionAndTheProductIsVelmora) {
    const std::wstring path = testing::VelmoraExePath();
    DWORD ignored = 0;
    std::vector<BYTE> info(GetFileVersionInfoSizeW(path.c_str(), &ignored));
    ASSERT_FALSE(info.empty());
    ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, static_cast<DWORD>(info.size()), info.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT size = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &size));
    EXPECT_EQ(HIWORD(fixed->dwFileVersionMS), VELMORA_VERSION_MAJOR);
    EXPECT_EQ(LOWORD(fixed->dwFileVersionMS), VELMORA_VERSION_MINOR);
    EXPECT_EQ(HIWORD(fixed->dwFileVersionLS), VELMORA_VERSION_PATCH);
    EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
    const auto text = [&](const wchar_t* name) {
        wchar_t* value = nullptr;
        UINT length = 0;
        const std::wstring key = std::wstring(L"\\StringFileInfo\\040904b0\\") + name;
        return VerQueryValueW(info.data(), key.c_str(), reinterpret_cast<void**>(&value), &length) ? std::wstring(value)
                                                                                                   : std::wstring();
    };
    EXPECT_EQ(text(L"ProductName"), L"Velmora");
    EXPECT_EQ(text(L"ProductVersion"), VELMORA_VERSION);
    EXPECT_EQ(text(L"FileVersion"), VELMORA_VERSION);
    EXPECT_EQ(text(L"OriginalFilename"), L"velmora.exe");
}

TEST_F(ExeResources, TheManifestAsksForVisualStylesPerMonitorDpiAndNoElevation) {
    const std::string manifest = Bytes(MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));  // RT_MANIFEST
    ASSERT_FALSE(manifest.empty());
    const auto has = [&](const char* text) { return manifest.find(text) != std::string::npos; };
    EXPECT_TRUE(has("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""));
    EXPECT_TRUE(has(">PerMonitorV2, PerMonitor</dpiAwareness>"));
    EXPECT_TRUE(has(">true/pm</dpiAware>"));
    EXPECT_TRUE(has("level=\"asInvoker\""));
    for (const char* windows : {"e2011457-1546-43c5-a5fe-008deee3d3f0", "35138b9a-5d96-4fbd-8e2d-a2440225f93a",
                                "4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38", "1f676c76-80e1-4239-95bb-83d0f6d0da78",
                                "8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a"})
        EXPECT_TRUE(has(windows)) << windows;
}

#pragma pack(push, 2)
struct IconGroupEntry {
    BYTE width, height, colours, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

TEST_F(ExeResources, EachIconHasSixteenThirtyTwoAndFortyEightPixelImages) {
    for (int icon : {IDI_VELMORA, IDI_TOOLS, IDI_INFO}) {
        SCOPED_TRACE(icon);
        const std::string group = Bytes(MAKEINTRESOURCEW(icon), MAKEINTRESOURCEW(14));  // RT_GROUP_ICON
        ASSERT_GE(group.size(), 6u);
        const WORD count = *reinterpret_cast<const WORD*>(group.data() + 4);
        ASSERT_EQ(group.size(), 6u + count * sizeof(IconGroupEntry));
        std::vector<int> sizes;
        for (WORD i = 0; i < count; ++i) {
            const auto* entry = reinterpret_cast<const IconGroupEntry*>(group.data() + 6 + i * sizeof(IconGroupEntry));
            EXPECT_EQ(entry->width, entry->height);
            EXPECT_EQ(entry->bitCount, 32);
            sizes.push_back(entry->width);
        }
        EXPECT_EQ(sizes, (std::vector<int>{16, 32, 48}));
        // And Windows can make an icon of each size from it.
        for (int size : {16, 32, 48}) {
            HICON image = static_cast<HICON>(LoadImageW(exe_, MAKEINTRESOURCEW(icon), IMAGE_ICON, size, size, 0));
            EXPECT_NE(image, nullptr) << size;
            if (image) DestroyIcon(image);
        }
    }
    // Three different pictures.
    EXPECT_NE(Bytes(MAKEINTRESOURCEW(2), MAKEINTRESOURCEW(3)), Bytes(MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(3)));
}

TEST_F(ExeResources, TheBannerIs298By38InTrueColour) {
    const std::string bitmap = Bytes(MAKEINTRESOURCEW(IDB_BANNER), MAKEINTRESOURCEW(2));  // RT_BITMAP
    ASSERT_GE(bitmap.size(), sizeof(BITMAPINFOHEADER));
    const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(bitmap.data());
    EXPECT_EQ(header->biWidth, 298);
    EXPECT_EQ(std::abs(header->biHeight), 38);
    EXPECT_EQ(header->biBitCount, 24);
    EXPECT_EQ(header->biCompression, static_cast<DWORD>(BI_RGB));
}

}  // namespace
}  // namespace velmora
