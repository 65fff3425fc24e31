// Win32Registry: RegOpenKeyExW and friends behind the RegistryBackend seam. Status codes are passed
// back exactly as Windows gives them; enumerations size their buffers from RegQueryInfoKeyW and grow
// them when a key changed underneath (ERROR_MORE_DATA).
#include "win32/platform/Win32Registry.h"

#include <windows.h>

#include <algorithm>

#include "win32/platform/Text.h"

namespace korvane::win32 {
namespace {

// The seam keeps the 32-bit values of the predefined roots; on Win64 the real ones are those values
// sign-extended (HKEY_CLASSES_ROOT is 0xFFFFFFFF80000000), so they are mapped, not cast.
HKEY ToHkey(HKey key) {
    switch (key) {
        case roots::ClassesRoot:
            return HKEY_CLASSES_ROOT;
        case roots::CurrentUser:
            return HKEY_CURRENT_USER;
        case roots::LocalMachine:
            return HKEY_LOCAL_MACHINE;
        case roots::Users:
            return HKEY_USERS;
        case roots::PerformanceData:
            return HKEY_PERFORMANCE_DATA;
        case roots::CurrentConfig:
            return HKEY_CURRENT_CONFIG;
        case roots::DynData:
            return HKEY_DYN_DATA;
        default:
            return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(key));
    }
}

HKey FromHkey(HKEY key) {
    return static_cast<HKey>(reinterpret_cast<ULONG_PTR>(key));
}

struct KeySizes {
    DWORD subkeys = 0, maxSubkeyName = 0, values = 0, maxValueName = 0, maxValueData = 0;
};

long QuerySizes(HKEY key, KeySizes& sizes) {
    return ::RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &sizes.subkeys, &sizes.maxSubkeyName, nullptr,
                              &sizes.values, &sizes.maxValueName, &sizes.maxValueData, nullptr, nullptr);
}

}  // namespace

// Both registry views are addressed by their physical paths (RegistryViews.h). Asking for the 64-bit
// view everywhere keeps Windows from redirecting the 32-bit build to Wow6432Node behind its back, so
// that both builds see one tree; on 32-bit Windows the flag is ignored.
long Win32Registry::openKey(HKey parent, const std::string& path, std::uint32_t accessMask, HKey& out) {
    HKEY opened = nullptr;
    const long result =
        ::RegOpenKeyExW(ToHkey(parent), Widen(path).c_str(), 0, accessMask | KEY_WOW64_64KEY, &opened);
    if (result == ERROR_SUCCESS) out = FromHkey(opened);
    return result;
}

long Win32Registry::createKey(HKey parent, const std::string& path, std::uint32_t accessMask, HKey& out) {
    HKEY created = nullptr;
    const long result =
        ::RegCreateKeyExW(ToHkey(parent), Widen(path).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                          accessMask | KEY_WOW64_64KEY, nullptr, &created, nullptr);
    if (result == ERROR_SUCCESS) out = FromHkey(created);
    return result;
}

long Win32Registry::closeKey(HKey key) {
    return ::RegCloseKey(ToHkey(key));
}

long Win32Registry::queryInfo(HKey key, KeyInfo& out) {
    KeySizes sizes;
    const long result = QuerySizes(ToHkey(key), sizes);
    if (result == ERROR_SUCCESS) out = KeyInfo{sizes.subkeys, sizes.values};
    return result;
}

long Win32Registry::enumSubkeys(HKey key, std::vector<std::string>& out) {
    const HKEY hkey = ToHkey(key);
    KeySizes sizes;
    if (const long result = QuerySizes(hkey, sizes); result != ERROR_SUCCESS) return result;
    std::vector<std::string> names;
    std::wstring name(sizes.maxSubkeyName + 1, L'\0');
    for (DWORD index = 0;;) {
        DWORD length = static_cast<DWORD>(name.size());
        const long result =
            ::RegEnumKeyExW(hkey, index, name.data(), &length, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_NO_MORE_ITEMS) break;
        if (result == ERROR_MORE_DATA) {  // a longer name appeared since RegQueryInfoKeyW
            name.resize(name.size() * 2);
            continue;
        }
        if (result != ERROR_SUCCESS) return result;
        names.push_back(Narrow(std::wstring_view(name.data(), length)));
        ++index;
    }
    out = std::move(names);
    return ERROR_SUCCESS;
}

long Win32Registry::enumValues(HKey key, std::vector<NamedRegValue>& out, bool withData) {
    const HKEY hkey = ToHkey(key);
    KeySizes sizes;
    if (const long result = QuerySizes(hkey, sizes); result != ERROR_SUCCESS) return result;
    std::vector<NamedRegValue> values;
    std::wstring name(sizes.maxValueName + 1, L'\0');
    std::vector<std::uint8_t> data(std::max<DWORD>(sizes.maxValueData, 1));
    for (DWORD index = 0;;) {
        DWORD nameLength = static_cast<DWORD>(name.size());
        DWORD dataSize = static_cast<DWORD>(data.size());
        DWORD type = REG_NONE;
        const long result = ::RegEnumValueW(hkey, index, name.data(), &nameLength, nullptr, &type,
                                            withData ? data.data() : nullptr, withData ? &dataSize : nullptr);
        if (result == ERROR_NO_MORE_ITEMS) break;
        if (result == ERROR_MORE_DATA) {  // a value grew since RegQueryInfoKeyW: grow both and ask again
            name.resize(name.size() * 2);
            data.resize(std::max<std::size_t>(data.size() * 2, dataSize));
            continue;
        }
        if (result != ERROR_SUCCESS) return result;
        NamedRegValue value;
        value.name = Narrow(std::wstring_view(name.data(), nameLength));
        value.value.type = type;
        if (withData) value.value.data.assign(data.begin(), data.begin() + dataSize);
        values.push_back(std::move(value));
        ++index;
    }
    out = std::move(values);
    return ERROR_SUCCESS;
}

long Win32Registry::queryValue(HKey key, const std::string& name, RegValue& out) {
    const HKEY hkey = ToHkey(key);
    const std::wstring wideName = Widen(name);
    DWORD type = REG_NONE;
    DWORD size = 0;
    long result = ::RegQueryValueExW(hkey, wideName.c_str(), nullptr, &type, nullptr, &size);
    std::vector<std::uint8_t> data;
    while (result == ERROR_SUCCESS || result == ERROR_MORE_DATA) {
        // The value may grow between two calls; Windows then reports the size it needs now.
        data.resize(std::max<std::size_t>({size, data.size() * 2, 1}));
        size = static_cast<DWORD>(data.size());
        result = ::RegQueryValueExW(hkey, wideName.c_str(), nullptr, &type, data.data(), &size);
        if (result == ERROR_SUCCESS) {
            data.resize(size);
            out = RegValue{type, std::move(data)};
            return ERROR_SUCCESS;
        }
    }
    return result;
}

long Win32Registry::setValue(HKey key, const std::string& name, const RegValue& value) {
    // RegSetValueExW adds a terminator to text whose last unit is not zero when the unit after the
    // data happens to be zero (NT has always done so, and Wine copies it): the data is passed with a
    // non-zero guard behind it, so that exactly its own bytes are stored.
    std::vector<std::uint8_t> guarded(value.data);
    guarded.insert(guarded.end(), {0xFF, 0xFF, 0xFF});
    return ::RegSetValueExW(ToHkey(key), Widen(name).c_str(), 0, value.type,
                            value.data.empty() ? nullptr : guarded.data(),
                            static_cast<DWORD>(value.data.size()));
}

long Win32Registry::deleteKey(HKey parent, const std::string& subkey) {
    return ::RegDeleteKeyExW(ToHkey(parent), Widen(subkey).c_str(), KEY_WOW64_64KEY, 0);
}

long Win32Registry::deleteValue(HKey key, const std::string& name) {
    return ::RegDeleteValueW(ToHkey(key), Widen(name).c_str());
}

}  // namespace korvane::win32
