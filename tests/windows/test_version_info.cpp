// The version resource and icon that windres compiled into this program from
// resources/ampero.rc, read back through the system's version and resource services.
#include <doctest/doctest.h>
#include <string>
#include <vector>
#include <windows.h>

namespace {

std::vector<char> ownVersionInfo()
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path, &ignored);
    std::vector<char> block(size);
    if (size == 0 || !GetFileVersionInfoA(path, 0, size, block.data()))
        block.clear();
    return block;
}

std::string versionString(std::vector<char> &block, const std::string &name)
{
    char *text = nullptr;
    UINT length = 0;
    const std::string query = "\\StringFileInfo\\040904B0\\" + name;
    if (!VerQueryValueA(block.data(), query.c_str(), reinterpret_cast<void **>(&text), &length))
        return "(missing)";
    return std::string(text);
}

} // namespace

TEST_CASE("the program file carries version 1.00 of Ampero in US English")
{
    std::vector<char> block = ownVersionInfo();
    REQUIRE_FALSE(block.empty());

    VS_FIXEDFILEINFO *fixed = nullptr;
    UINT length = 0;
    REQUIRE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void **>(&fixed), &length));
    CHECK(fixed->dwSignature == 0xFEEF04BDu);
    CHECK(fixed->dwFileVersionMS == 0x00010000u);
    CHECK(fixed->dwFileVersionLS == 0u);
    CHECK(fixed->dwProductVersionMS == 0x00010000u);
    CHECK(fixed->dwFileType == static_cast<DWORD>(VFT_APP));

    WORD *translation = nullptr;
    REQUIRE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation",
                           reinterpret_cast<void **>(&translation), &length));
    REQUIRE(length >= 4);
    CHECK(translation[0] == 0x0409);
    CHECK(translation[1] == 1200);

    struct Entry
    {
        const char *name;
        const char *expected;
    };
    const Entry entries[] = {
        {"ProductName", "Ampero"},
        {"FileVersion", "1.00"},
        {"ProductVersion", "1.00"},
        {"OriginalFilename", "ampero.exe"},
    };
    for (const Entry &entry : entries) {
        CAPTURE(entry.name);
        CHECK(versionString(block, entry.name) == entry.expected);
    }
}

TEST_CASE("the program file carries its icon at 16 and 32 pixels")
{
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(1), RT_GROUP_ICON);
    REQUIRE(found != nullptr);
    const auto *group = static_cast<const BYTE *>(LockResource(LoadResource(nullptr, found)));
    REQUIRE(group != nullptr);

    // The group header (reserved, type 1, count) precedes 14-byte entries that start
    // with the image's width and height; 0 stands for 256.
    const WORD type = *reinterpret_cast<const WORD *>(group + 2);
    const WORD count = *reinterpret_cast<const WORD *>(group + 4);
    CHECK(type == 1);
    std::vector<int> sizes;
    for (WORD i = 0; i < count; ++i) {
        const BYTE *entry = group + 6 + 14 * i;
        CHECK(entry[0] == entry[1]);
        sizes.push_back(entry[0]);
    }
    CHECK(sizes == std::vector<int>{16, 32});
}
