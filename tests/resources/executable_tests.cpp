// The built program's own file, as Explorer and the loader read it: its version resource, its
// manifest, its icon images and, in a release build, no symbol table.

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "resources/resource_ids.h"

namespace {

std::string versionString(const std::vector<char>& info, const char* name) {
    // The one translation the resource lists: US English, Unicode.
    std::string path = std::string("\\StringFileInfo\\040904B0\\") + name;
    char* text = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(info.data(), path.c_str(), reinterpret_cast<void**>(&text), &length) ||
        text == nullptr) {
        return "(missing)";
    }
    return text;
}

TEST(Executable, carriesTheProductNameVersionAndFileName) {
    DWORD size = GetFileVersionInfoSizeA(TARVO_EXE_PATH, nullptr);
    ASSERT_GT(size, 0u) << "no version resource in " << TARVO_EXE_PATH;
    std::vector<char> info(size);
    ASSERT_TRUE(GetFileVersionInfoA(TARVO_EXE_PATH, 0, size, info.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileVersionMS,
              static_cast<DWORD>(MAKELONG(TARVO_VERSION_MINOR, TARVO_VERSION_MAJOR)));
    EXPECT_EQ(fixed->dwFileVersionLS, static_cast<DWORD>(MAKELONG(0, TARVO_VERSION_PATCH)));
    EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));

    EXPECT_EQ(versionString(info, "ProductName"), "Tarvo Dice");
    EXPECT_EQ(versionString(info, "FileVersion"), TARVO_VERSION_TEXT);
    EXPECT_EQ(versionString(info, "ProductVersion"), TARVO_VERSION_TEXT);
    EXPECT_EQ(versionString(info, "OriginalFilename"), TARVO_EXE_NAME);
    EXPECT_NE(versionString(info, "FileDescription").find("Tarvo Dice"), std::string::npos);
}

class ExecutableResources : public ::testing::Test {
  protected:
    void SetUp() override {
        module = LoadLibraryExA(TARVO_EXE_PATH, nullptr,
                                LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        ASSERT_NE(module, nullptr) << TARVO_EXE_PATH;
    }
    void TearDown() override {
        if (module != nullptr) {
            FreeLibrary(module);
        }
    }
    std::string resource(LPCSTR type, LPCSTR name) {
        HRSRC found = FindResourceA(module, name, type);
        if (found == nullptr) {
            return "";
        }
        const char* bytes = static_cast<const char*>(LockResource(LoadResource(module, found)));
        return bytes == nullptr ? "" : std::string(bytes, SizeofResource(module, found));
    }

    HMODULE module = nullptr;
};

TEST_F(ExecutableResources, manifestRunsAsInvokerOnWindows7To11UnawareOfDpiWithGdiScaling) {
    const std::string manifest =
        resource(MAKEINTRESOURCEA(24), MAKEINTRESOURCEA(1)); // RT_MANIFEST, the process's own
    ASSERT_FALSE(manifest.empty());
    for (const char* wanted : {
             "level=\"asInvoker\"",
             "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}", // Windows 7
             "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}", // Windows 8
             "{1f676c76-80e1-4239-95bb-83d0f6d0da78}", // Windows 8.1
             "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}", // Windows 10 and 11
             ">false</dpiAware>",
             ">true</gdiScaling>",
         }) {
        EXPECT_NE(manifest.find(wanted), std::string::npos) << wanted;
    }

    // The loader accepts it: an activation context is made from the file's own resource.
    ACTCTXA context = {};
    context.cbSize = sizeof context;
    context.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    context.lpSource = TARVO_EXE_PATH;
    context.lpResourceName = MAKEINTRESOURCEA(1);
    HANDLE activation = CreateActCtxA(&context);
    EXPECT_NE(activation, INVALID_HANDLE_VALUE) << "error " << GetLastError();
    if (activation != INVALID_HANDLE_VALUE) {
        ReleaseActCtx(activation);
    }
}

#pragma pack(push, 2)
struct IconGroupEntry { // GRPICONDIRENTRY
    BYTE width, height, colourCount, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

TEST_F(ExecutableResources, iconHoldsTheDieAt16To256PixelsAndLoadsThe16Colour32By32One) {
    const std::string group = resource(MAKEINTRESOURCEA(14), MAKEINTRESOURCEA(IDI_APP));
    ASSERT_GE(group.size(), 6u);
    const size_t count = static_cast<unsigned char>(group[4]);
    ASSERT_GE(group.size(), 6 + count * sizeof(IconGroupEntry));
    const IconGroupEntry* entries = reinterpret_cast<const IconGroupEntry*>(group.data() + 6);
    std::vector<int> sizes;
    for (size_t i = 0; i < count; ++i) {
        sizes.push_back(entries[i].width == 0 ? 256 : entries[i].width);
    }
    EXPECT_EQ(sizes, (std::vector<int>{16, 32, 48, 256}));

    // The image LoadIconA takes for a 32 x 32 icon is the 16-colour one.
    BYTE* directory = reinterpret_cast<BYTE*>(const_cast<char*>(group.data()));
    const int chosen = LookupIconIdFromDirectoryEx(directory, TRUE, 32, 32, LR_DEFAULTCOLOR);
    bool found = false;
    for (size_t i = 0; i < count; ++i) {
        if (entries[i].id == chosen) {
            found = true;
            EXPECT_EQ(entries[i].width, 32);
            EXPECT_EQ(entries[i].bitCount, 4);
        }
    }
    EXPECT_TRUE(found) << "chosen image " << chosen;
}

TEST(Executable, releaseBuildHasNoSymbolTable) {
    if (!TARVO_EXE_STRIPPED) {
        GTEST_SKIP() << "not a release build";
    }
    std::ifstream in(TARVO_EXE_PATH, std::ios::binary);
    const std::vector<unsigned char> file((std::istreambuf_iterator<char>(in)),
                                          std::istreambuf_iterator<char>());
    ASSERT_GT(file.size(), 0x40u);
    const size_t peAt = file[0x3C] | file[0x3D] << 8 | file[0x3E] << 16;
    ASSERT_GE(file.size(), peAt + 4 + sizeof(IMAGE_FILE_HEADER));
    ASSERT_EQ(std::string(reinterpret_cast<const char*>(&file[peAt]), 4), std::string("PE\0\0", 4));
    IMAGE_FILE_HEADER header;
    memcpy(&header, &file[peAt + 4], sizeof header);
    EXPECT_EQ(header.PointerToSymbolTable, 0u);
    EXPECT_EQ(header.NumberOfSymbols, 0u);
}

} // namespace
