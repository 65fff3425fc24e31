// The import tables of the executables this build makes, read under Wine from the images the loader
// maps: each imports only DLLs of the build's allowed list (the one the post-build check uses), delay
// loads included, and the program restricts the DLL search before anything else can load one.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>

#include "win32/platform/SystemLibrary.h"
#include "win32/support/ProgramFolder.h"

namespace korvane::win32 {
namespace {

// DLL name (lower case) -> the functions imported from it by name.
using ImportTable = std::map<std::string, std::set<std::string>>;

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::set<std::string> AllowedImports() {
    std::set<std::string> allowed;
    std::istringstream list(KORVANE_ALLOWED_IMPORTS);
    for (std::string name; std::getline(list, name, '|');) allowed.insert(name);
    return allowed;
}

using testing::ProgramFolder;

// Reads the import and delay-import tables of `file`, mapped as an image (not run); nothing when it
// cannot be mapped.
std::optional<ImportTable> ReadImports(const std::filesystem::path& file) {
    UniqueModule image(LoadLibraryExW(file.c_str(), nullptr, LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    if (!image) return std::nullopt;
    // A module mapped as a resource is handed out with its low bits set as a tag.
    const auto* base =
        reinterpret_cast<const BYTE*>(reinterpret_cast<ULONG_PTR>(image.get()) & ~ULONG_PTR{3});
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    if (dos->e_magic != IMAGE_DOS_SIGNATURE || nt->Signature != IMAGE_NT_SIGNATURE ||
        nt->OptionalHeader.Magic != IMAGE_NT_OPTIONAL_HDR_MAGIC)
        return std::nullopt;
    const auto at = [base](DWORD rva) { return base + rva; };
    ImportTable table;
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress) {
        for (auto* entry = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(at(imports.VirtualAddress));
             entry->Name; ++entry) {
            std::set<std::string>& functions = table[Lower(reinterpret_cast<const char*>(at(entry->Name)))];
            const DWORD thunks = entry->OriginalFirstThunk ? entry->OriginalFirstThunk : entry->FirstThunk;
            for (auto* thunk = reinterpret_cast<const IMAGE_THUNK_DATA*>(at(thunks)); thunk->u1.AddressOfData;
                 ++thunk) {
                if (IMAGE_SNAP_BY_ORDINAL(thunk->u1.Ordinal)) continue;
                const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(
                    at(static_cast<DWORD>(thunk->u1.AddressOfData)));
                functions.insert(reinterpret_cast<const char*>(byName->Name));
            }
        }
    }
    const IMAGE_DATA_DIRECTORY& delayed =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_DELAY_IMPORT];
    if (delayed.VirtualAddress) {
        for (auto* entry = reinterpret_cast<const IMAGE_DELAYLOAD_DESCRIPTOR*>(at(delayed.VirtualAddress));
             entry->DllNameRVA; ++entry)
            table[Lower(reinterpret_cast<const char*>(at(entry->DllNameRVA)))];
    }
    return table;
}

class ImportTables : public ::testing::TestWithParam<const wchar_t*> {};

TEST_P(ImportTables, OnlyDllsWindowsAlwaysTakesFromTheSystemFolder) {
    const auto table = ReadImports(ProgramFolder() / GetParam());
    ASSERT_TRUE(table.has_value()) << "cannot map " << std::filesystem::path(GetParam()).string();
    // Every one of them calls into kernel32: a reading that finds nothing has read nothing.
    ASSERT_TRUE(table->count("kernel32.dll"));
    EXPECT_FALSE(table->at("kernel32.dll").empty());
    const std::set<std::string> allowed = AllowedImports();
    for (const auto& [dll, functions] : *table) EXPECT_TRUE(allowed.count(dll)) << dll;
}

INSTANTIATE_TEST_SUITE_P(EveryExecutable, ImportTables,
                         ::testing::Values(L"Korvane.exe", L"korvane_win_tests.exe", L"wine_scan_bench.exe",
                                           L"korvane_test_uninstaller.exe"));

TEST(ImportTablesOfKorvane, TheProgramRestrictsTheDllSearchAndLoadsUxThemeItself) {
    const auto table = ReadImports(ProgramFolder() / L"Korvane.exe");
    ASSERT_TRUE(table.has_value());
    EXPECT_TRUE(table->at("kernel32.dll").count("SetDefaultDllDirectories"));
    EXPECT_TRUE(table->at("kernel32.dll").count("LoadLibraryExW"));
    EXPECT_TRUE(table->at("kernel32.dll").count("CreateProcessW"));
    EXPECT_TRUE(table->count("comctl32.dll"));  // the reading sees every DLL, not only the first
    EXPECT_FALSE(table->count("uxtheme.dll"));
}

}  // namespace
}  // namespace korvane::win32
