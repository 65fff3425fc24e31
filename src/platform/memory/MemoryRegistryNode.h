// One key of the in-memory registry, shared by the files that make up MemoryRegistry.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/memory/CaseFolding.h"
#include "platform/memory/MemoryRegistry.h"

namespace korvane {

struct MemoryRegistry::Node {
    std::string name;
    Node* parent = nullptr;
    std::map<std::string, std::shared_ptr<Node>> children;    // by upper-cased name: Windows' order
    std::vector<NamedRegValue> values;                        // creation order
    std::unordered_map<std::string, std::size_t> valueIndex;  // upper-cased name -> place in `values`
    bool deleted = false;

    // Some keys hold thousands of values (SharedDLLs): look them up through the index.
    NamedRegValue* findValue(const std::string& valueName) {
        auto it = valueIndex.find(memory::FoldName(valueName));
        return it == valueIndex.end() ? nullptr : &values[it->second];
    }
    void putValue(const std::string& valueName, const RegValue& value) {
        if (NamedRegValue* existing = findValue(valueName)) {
            existing->value = value;  // keeps its place and the spelling of its name
            return;
        }
        valueIndex[memory::FoldName(valueName)] = values.size();
        values.push_back(NamedRegValue{valueName, value});
    }
    bool eraseValue(const std::string& valueName) {
        auto it = valueIndex.find(memory::FoldName(valueName));
        if (it == valueIndex.end()) return false;
        std::size_t place = it->second;
        valueIndex.erase(it);
        values.erase(values.begin() + static_cast<std::ptrdiff_t>(place));
        for (auto& [folded, index] : valueIndex) {
            if (index > place) --index;
        }
        return true;
    }
};

}  // namespace korvane
