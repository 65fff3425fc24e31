// The console tests' machine: korvanec in C:\Korvane with two stale entries of the machine (an App
// Paths key and a SharedDLLs value) and a present one, run with its output and error streams caught.
#pragma once

#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "console/Korvanec.h"
#include "support/AppFixture.h"

namespace korvane::console {

inline const std::string kAppPaths = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths";
inline const std::string kSharedDlls = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDlls";
inline const std::string kLm = "HKEY_LOCAL_MACHINE\\";

class KorvanecFixture : public testing::AppFixture {
protected:
    KorvanecFixture() {
        memory.system().executable = "C:\\Korvane\\korvanec.exe";
        registry.SetString(roots::LocalMachine, kAppPaths + "\\gone.exe", "", "C:\\Gone\\gone.exe");
        registry.SetString(roots::LocalMachine, kAppPaths + "\\gone.exe", "Path", "C:\\Gone");
        registry.SetString(roots::LocalMachine, kAppPaths + "\\here.exe", "", "C:\\Apps\\here.exe");
        memory.files().AddFile("C:\\Apps\\here.exe");
        registry.SetDword(roots::LocalMachine, kSharedDlls, "C:\\Gone\\shared.dll", 2);
    }

    int Run(std::vector<std::string> args) {
        out.str("");
        err.str("");
        return RunKorvanec(memory.platform(), args, out, err, false);
    }
    nlohmann::json Json() { return nlohmann::json::parse(out.str()); }
    nlohmann::json Findings() { return Json()["findings"]; }
    std::vector<std::string> KeyNames() {
        std::vector<std::string> names;
        for (const auto& finding : Findings()) names.push_back(finding["keyName"]);
        return names;
    }
    // The last line of the output.
    std::string LastLine() {
        std::string text = out.str();
        if (!text.empty() && text.back() == '\n') text.pop_back();
        const std::size_t cut = text.rfind('\n');
        return cut == std::string::npos ? text : text.substr(cut + 1);
    }

    std::ostringstream out;
    std::ostringstream err;
};

}  // namespace korvane::console
