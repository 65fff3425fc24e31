// A registry that notes what Backup.xml held on disk when the first deletion came: the write-ahead
// tests check that every entry was saved before anything was deleted.
#pragma once

#include <optional>
#include <string>

#include "platform/memory/MemoryFileSystem.h"
#include "platform/memory/MemoryRegistry.h"
#include "support/ForwardingRegistry.h"

namespace korvane::testing {

class WatchingRegistry : public ForwardingRegistry {
public:
    WatchingRegistry(MemoryRegistry& inner, MemoryFileSystem& files,
                     std::string file = "C:\\Korvane\\Backup.xml")
        : ForwardingRegistry(inner), files_(files), file_(std::move(file)) {}
    std::optional<std::string> onDisk;
    int deletions = 0;

    long deleteKey(HKey p, const std::string& s) override {
        Note();
        return ForwardingRegistry::deleteKey(p, s);
    }
    long deleteValue(HKey k, const std::string& n) override {
        Note();
        return ForwardingRegistry::deleteValue(k, n);
    }

private:
    void Note() {
        if (deletions++ == 0) onDisk = files_.ContentsRaw(file_);
    }
    MemoryFileSystem& files_;
    std::string file_;
};

}  // namespace korvane::testing
