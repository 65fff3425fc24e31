// SystemLibrary against the real loader: a system DLL and its functions are found, a missing DLL or
// function is null, and a DLL that lies only beside the program is never loaded.
// clang-format off
#include <windows.h>
#include <uxtheme.h>
// clang-format on

#include <gtest/gtest.h>

#include <filesystem>

#include "win32/platform/SystemLibrary.h"
#include "win32/support/ProgramFolder.h"

namespace korvane::win32 {
namespace {

using testing::ProgramFolder;

std::filesystem::path SystemFolder() {
    wchar_t folder[MAX_PATH] = {};
    GetSystemDirectoryW(folder, MAX_PATH);
    return folder;
}

TEST(SystemLibrary, FindsASystemDllAndItsFunctionsTyped) {
    const SystemLibrary library(L"uxtheme.dll");
    ASSERT_TRUE(library.Loaded());
    decltype(::IsThemeActive)* isThemeActive = library.Find<decltype(::IsThemeActive)>("IsThemeActive");
    ASSERT_NE(isThemeActive, nullptr);
    isThemeActive();  // callable through its declared type
    EXPECT_EQ(library.Find<decltype(::IsThemeActive)>("KorvaneNoSuchFunction"), nullptr);
}

TEST(SystemLibrary, AMissingDllGivesNoFunctions) {
    const SystemLibrary library(L"korvane-no-such-library.dll");
    EXPECT_FALSE(library.Loaded());
    EXPECT_EQ(library.Find<decltype(::IsThemeActive)>("IsThemeActive"), nullptr);
}

TEST(SystemLibrary, ADllBesideTheProgramIsNotLoaded) {
    // A loadable DLL planted where the usual search looks first: a copy of a system DLL under a name
    // the system folder does not have.
    const std::filesystem::path planted = ProgramFolder() / L"korvane_planted_library.dll";
    std::filesystem::copy_file(SystemFolder() / L"uxtheme.dll", planted,
                               std::filesystem::copy_options::overwrite_existing);
    {
        // The plain search does take it: the plant is real.
        UniqueModule plain(LoadLibraryExW(L"korvane_planted_library.dll", nullptr, 0));
        EXPECT_TRUE(plain.valid());
    }
    {
        const SystemLibrary library(L"korvane_planted_library.dll");
        EXPECT_FALSE(library.Loaded());
    }
    std::error_code ignored;
    std::filesystem::remove(planted, ignored);
}

}  // namespace
}  // namespace korvane::win32
