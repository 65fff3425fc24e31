// Random registry trees for the round-trip tests of the undo history: nested keys, many of them empty;
// values of every type (the default value, REG_NONE, REG_LINK and type numbers Windows has no name
// for included) whose text has odd lengths, no terminator, extra or embedded zeros, unpaired
// surrogates or no text at all; long, non-ASCII and otherwise awkward names (control characters,
// markup characters, unpaired surrogates; backslashes in value names). Each name ends in "#<n>", so
// that no two names of a key are equal under any case folding. Deterministic for a seed: its own
// generator, no library distribution. Seeded and read through the registry seam only.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/RegistryBackend.h"
#include "platform/Utf16.h"

namespace korvane::testing {

class TreeRandom {
public:
    explicit TreeRandom(std::uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 1) {}
    std::uint64_t Next() {  // splitmix64
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int Below(int bound) { return static_cast<int>(Next() % static_cast<std::uint64_t>(bound)); }
    bool Chance(int percent) { return Below(100) < percent; }

private:
    std::uint64_t state_;
};

struct RandomValue {
    std::string name;
    RegValue value;
};

struct RandomKey {
    std::string path;  // below the tree's base key; "" is the base itself
    std::vector<RandomValue> values;
};

// The pieces names and text are made of, as UTF-8 (unpaired surrogates in their three-byte form).
inline const std::vector<std::string>& NameAtoms() {
    static const std::vector<std::string> atoms = {
        "a",
        "Z",
        "k",
        "7",
        " ",
        "&",
        "<",
        ">",
        "\"",
        "'",
        "%",
        "{",
        "}",
        ".",
        "-",
        "_",
        ";",
        "=",
        "\xC3\xA9",          // é
        "\xC3\x9F",          // ß
        "\xE6\x97\xA5",      // 日
        "\xD0\x96",          // Ж
        "\xF0\x9F\x94\x91",  // a character outside the first plane: a surrogate pair
        "\x01",
        "\t",
        "\x1F",
        "\x7F",
        "\xED\xA0\x80",  // an unpaired high surrogate
        "\xED\xBF\xBF",  // an unpaired low surrogate
        "\xEF\xBF\xBF",  // U+FFFF, no character at all
    };
    return atoms;
}

inline std::string RandomName(TreeRandom& random, bool valueName, int index) {
    const auto& atoms = NameAtoms();
    std::string name;
    // Key names stay within Windows' 255 units (an atom is at most two); value names may be far longer.
    const int longest = valueName ? 200 + random.Below(800) : 40 + random.Below(80);
    const int length = random.Chance(5) ? longest : 1 + random.Below(12);
    for (int i = 0; i < length; ++i) {
        if (valueName && random.Chance(4)) {
            name += '\\';  // allowed in value names, never in key names
            continue;
        }
        name += atoms[static_cast<size_t>(random.Below(static_cast<int>(atoms.size())))];
    }
    return name + "#" + std::to_string(index);
}

inline std::u16string RandomUnits(TreeRandom& random, int count) {
    std::string text;
    const auto& atoms = NameAtoms();
    for (int i = 0; i < count; ++i) {
        const int pick = random.Below(static_cast<int>(atoms.size()) + 4);
        if (pick < static_cast<int>(atoms.size()))
            text += atoms[static_cast<size_t>(pick)];
        else
            text += pick % 2 ? "\\" : "\r\n";
    }
    return Utf16FromUtf8(text);
}

inline std::vector<std::uint8_t> RandomBytes(TreeRandom& random, int count) {
    std::vector<std::uint8_t> bytes(static_cast<size_t>(count));
    for (auto& byte : bytes) byte = static_cast<std::uint8_t>(random.Next());
    return bytes;
}

// Text data as programs leave it, clean and otherwise.
inline std::vector<std::uint8_t> RandomTextData(TreeRandom& random, std::uint32_t type) {
    const int length = random.Chance(3) ? 1000 + random.Below(3000) : random.Below(40);
    std::u16string units = RandomUnits(random, length);
    switch (random.Below(9)) {
        case 0:  // no terminator
            break;
        case 1:  // extra zeros
            units += std::u16string(2 + random.Below(3), u'\0');
            break;
        case 2:  // a zero inside, then more text
            units += u'\0';
            units += RandomUnits(random, 1 + random.Below(5));
            units += u'\0';
            break;
        case 3: {  // an odd byte count
            std::vector<std::uint8_t> bytes = Utf16LeBytes(units + u'\0');
            bytes.push_back(static_cast<std::uint8_t>(random.Next()));
            return bytes;
        }
        case 4:  // nothing at all
            return {};
        case 5:  // bytes that are no text
            return RandomBytes(random, random.Below(33));
        default:  // one clean string, as most programs write it (a multi-string ends in two zeros)
            units += u'\0';
            if (type == regtype::MultiSz) units += u'\0';
            break;
    }
    return Utf16LeBytes(units);
}

inline RegValue RandomRegValue(TreeRandom& random) {
    static constexpr std::uint32_t kTypes[] = {regtype::Sz,
                                               regtype::ExpandSz,
                                               regtype::MultiSz,
                                               regtype::Binary,
                                               regtype::Dword,
                                               regtype::Qword,
                                               regtype::None,
                                               regtype::Link,
                                               regtype::DwordBigEndian,
                                               8,
                                               12,
                                               0x4242,
                                               0x7FFFFFFF,
                                               regtype::Sz,
                                               regtype::Dword};
    const std::uint32_t type = kTypes[random.Below(static_cast<int>(std::size(kTypes)))];
    RegValue value{type, {}};
    switch (type) {
        case regtype::Sz:
        case regtype::ExpandSz:
        case regtype::MultiSz:
            value.data = RandomTextData(random, type);
            break;
        case regtype::Dword:
        case regtype::DwordBigEndian:
            value.data = RandomBytes(random, random.Chance(85) ? 4 : random.Below(9));
            break;
        case regtype::Qword:
            value.data = RandomBytes(random, random.Chance(85) ? 8 : random.Below(12));
            break;
        case regtype::Link:
            value.data = Utf16LeBytes(u"\\Registry\\Machine\\Software\\Korvane" + RandomUnits(random, 3));
            break;
        default:
            value.data = RandomBytes(random, random.Chance(5) ? 2000 + random.Below(5000) : random.Below(60));
            break;
    }
    return value;
}

// `keyCount` keys below the base (the base itself comes first), parents before their children.
inline std::vector<RandomKey> GenerateTree(std::uint64_t seed, int keyCount) {
    TreeRandom random(seed);
    std::vector<RandomKey> keys{RandomKey{}};
    int names = 0;
    for (int i = 0; i < keyCount; ++i) {
        const RandomKey& parent = keys[static_cast<size_t>(random.Below(static_cast<int>(keys.size())))];
        const std::string name = RandomName(random, false, names++);
        keys.push_back(RandomKey{parent.path.empty() ? name : parent.path + "\\" + name, {}});
    }
    for (RandomKey& key : keys) {
        if (random.Chance(35)) continue;  // an empty key
        const int count = 1 + random.Below(6);
        for (int v = 0; v < count; ++v) {
            const std::string name = random.Chance(15) && v == 0 ? "" : RandomName(random, true, names++);
            key.values.push_back(RandomValue{name, RandomRegValue(random)});
        }
    }
    return keys;
}

inline std::string BelowBase(const std::string& base, const std::string& path) {
    return path.empty() ? base : base + "\\" + path;
}

// Creates the tree below `base` (a key path as the backend takes it); false when a key or a value
// could not be written.
inline bool PlantTree(RegistryBackend& registry, HKey root, const std::string& base,
                      const std::vector<RandomKey>& keys) {
    for (const RandomKey& key : keys) {
        HKey handle = 0;
        if (registry.createKey(root, BelowBase(base, key.path), access::AllAccess, handle) != status::Success)
            return false;
        bool written = true;
        for (const RandomValue& value : key.values)
            written = written && registry.setValue(handle, value.name, value.value) == status::Success;
        registry.closeKey(handle);
        if (!written) return false;
    }
    return true;
}

// Every key of a tree by its exact spelling below the base, with each value's type and bytes by name.
using TreeSnapshot =
    std::map<std::string, std::map<std::string, std::pair<std::uint32_t, std::vector<std::uint8_t>>>>;

inline bool ReadKeyInto(RegistryBackend& registry, HKey parent, const std::string& name,
                        const std::string& relative, TreeSnapshot& out) {
    HKey key = 0;
    if (registry.openKey(parent, name, access::Read, key) != status::Success) return false;
    std::vector<NamedRegValue> values;
    std::vector<std::string> subkeys;
    bool read = registry.enumValues(key, values, true) == status::Success &&
                registry.enumSubkeys(key, subkeys) == status::Success;
    auto& held = out[relative];
    for (NamedRegValue& value : values) held[value.name] = {value.value.type, std::move(value.value.data)};
    for (const std::string& subkey : subkeys)
        read = read &&
               ReadKeyInto(registry, key, subkey, relative.empty() ? subkey : relative + "\\" + subkey, out);
    registry.closeKey(key);
    return read;
}

// Nothing when the base key does not open or a part of the tree cannot be read.
inline std::optional<TreeSnapshot> ReadTree(RegistryBackend& registry, HKey root, const std::string& base) {
    TreeSnapshot snapshot;
    if (!ReadKeyInto(registry, root, base, "", snapshot)) return std::nullopt;
    return snapshot;
}

}  // namespace korvane::testing
