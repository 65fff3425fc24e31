// What a value makes Windows look for: the candidates in Windows' order, the forms that name no file,
// and what is not understood. The scan's tests against files are in tests/scanwalk (the corpus).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "registry/TargetResolution.h"

namespace korvane {
namespace {

using ::testing::ElementsAre;

class TargetResolution : public ::testing::Test {
protected:
    void SetUp() override {
        env.Set("ProgramFiles", "C:\\Program Files");
        env.Set("SystemRoot", "C:\\WINDOWS");
        places.systemFolder = "C:\\WINDOWS\\system32\\";
        places.windowsFolder = "C:\\WINDOWS\\";
        places.pathFolders = {"C:\\Tools\\"};
        places.appPaths["EDITOR.EXE"] = "C:\\Editor\\ed.exe";
    }
    ResolvedTarget Resolve(const std::string& text, TargetForm form = {}) {
        return ResolveTarget(text, form, env, places);
    }
    Environment env;
    SearchPlaces places;
};

TEST_F(TargetResolution, AnUnquotedLineTriesEveryBlankCutPrefixShortestFirst) {
    const ResolvedTarget target = Resolve("C:\\Program Files\\App\\uninst.exe /S");
    ASSERT_EQ(target.files.size(), 1u);
    EXPECT_THAT(target.files[0].candidates,
                ElementsAre("C:\\Program.exe", "C:\\Program.com", "C:\\Program.bat", "C:\\Program.cmd",
                            "C:\\Program Files\\App\\uninst.exe"));
    EXPECT_EQ(target.files[0].shown, "C:\\Program Files\\App\\uninst.exe");
}

TEST_F(TargetResolution, QuotesSlashesNamespacesAndIndicesNeverBecomePartOfTheName) {
    EXPECT_THAT(Resolve("\"C:/Program Files/App/uninst.exe\" /S").files[0].candidates,
                ElementsAre("C:\\Program Files\\App\\uninst.exe"));
    EXPECT_THAT(Resolve("\\??\\C:\\App\\a.exe").files[0].candidates, ElementsAre("C:\\App\\a.exe"));
    EXPECT_THAT(Resolve("\\\\?\\UNC\\srv\\share\\a.exe").files[0].candidates,
                ElementsAre("\\\\srv\\share\\a.exe"));
    EXPECT_THAT(Resolve("\\SystemRoot\\system32\\a.dll").files[0].candidates,
                ElementsAre("C:\\WINDOWS\\system32\\a.dll"));
    EXPECT_THAT(Resolve("\"C:\\App\\a.exe\",0").files[0].candidates, ElementsAre("C:\\App\\a.exe"));
    EXPECT_THAT(Resolve("C:\\App\\a.dll, -153").files[0].candidates, ElementsAre("C:\\App\\a.dll"));
    // "@shell32.dll,-21787": a bare DLL, searched.
    const ResolvedTarget resource = Resolve("@shell32.dll,-21787");
    EXPECT_TRUE(resource.files[0].searched);
    EXPECT_EQ(resource.files[0].candidates[0], "C:\\WINDOWS\\system32\\shell32.dll");
}

TEST_F(TargetResolution, ABareNameIsSearchedInAppPathsTheSystemAndWindowsFoldersThenThePath) {
    EXPECT_THAT(
        Resolve("editor /x").files[0].candidates,
        ElementsAre("C:\\Editor\\ed.exe", "C:\\WINDOWS\\system32\\editor.exe",
                    "C:\\WINDOWS\\system32\\editor.com", "C:\\WINDOWS\\system32\\editor.bat",
                    "C:\\WINDOWS\\system32\\editor.cmd", "C:\\WINDOWS\\editor.exe", "C:\\WINDOWS\\editor.com",
                    "C:\\WINDOWS\\editor.bat", "C:\\WINDOWS\\editor.cmd", "C:\\Tools\\editor.exe",
                    "C:\\Tools\\editor.com", "C:\\Tools\\editor.bat", "C:\\Tools\\editor.cmd"));
    // The later prefixes of a line that starts with a bare name are no paths of their own.
    const ResolvedTarget withPath = Resolve("notepad C:\\notes\\a b.txt");
    EXPECT_EQ(withPath.kind, ResolvedTarget::Kind::Files);
    for (const std::string& candidate : withPath.files[0].candidates)
        EXPECT_EQ(candidate.find("notes"), std::string::npos) << candidate;
}

TEST_F(TargetResolution, HostsAlsoNeedTheDllTheyLoad) {
    const ResolvedTarget rundll = Resolve("rundll32.exe C:\\Program Files\\App\\x.dll,Uninstall now");
    ASSERT_EQ(rundll.files.size(), 2u);
    EXPECT_THAT(rundll.files[1].candidates, ElementsAre("C:\\Program Files\\App\\x.dll", "C:\\Program.dll"));
    const ResolvedTarget regsvr = Resolve("regsvr32 /u /s \"C:\\App\\y.ocx\"");
    ASSERT_EQ(regsvr.files.size(), 2u);
    EXPECT_THAT(regsvr.files[1].candidates, ElementsAre("C:\\App\\y.ocx"));
    const ResolvedTarget bare = Resolve("rundll32 shell32,Control_RunDLL");
    EXPECT_EQ(bare.files[1].candidates[0], "C:\\WINDOWS\\system32\\shell32.dll");
}

TEST_F(TargetResolution, WhatIsNotAFileAndWhatIsNotUnderstood) {
    const TargetForm runDialog{true, true, false};
    for (const char* text :
         {"https://example.com", "shell:startup", "::{20D04FE0-3AEA-1069-A2D8-08002B30309D}", "mailto:a@b.c",
          "ms-settings:display"})
        EXPECT_EQ(Resolve(text, runDialog).kind, ResolvedTarget::Kind::NotAFile) << text;
    // A drive is no web address; elsewhere than the Run dialog an address is not understood.
    EXPECT_EQ(Resolve("C:\\x.exe", runDialog).kind, ResolvedTarget::Kind::Files);
    EXPECT_EQ(Resolve("https://example.com").kind, ResolvedTarget::Kind::Unknown);

    const ResolvedTarget undefined = Resolve("%APP_HOME%\\bin\\app.exe");
    EXPECT_EQ(undefined.kind, ResolvedTarget::Kind::Unknown);
    EXPECT_EQ(undefined.unknownWhat, "%APP_HOME%");
    EXPECT_EQ(undefined.unknownWhy, "variable not defined");
    // An undefined variable among the arguments does not hide the program.
    EXPECT_EQ(Resolve("\"C:\\App\\a.exe\" --home=%APP_HOME%").kind, ResolvedTarget::Kind::Files);
    EXPECT_EQ(Resolve("system32\\x.dll").kind, ResolvedTarget::Kind::Unknown);
    EXPECT_EQ(Resolve("").files.size(), 0u);
}

TEST_F(TargetResolution, OnePathFormsTakeTheTextWholeAndSoundsLookInTheMediaFolder) {
    const TargetForm onePath{false, false, false};
    EXPECT_THAT(Resolve("C:\\Program Files\\App\\x y.dll", onePath).files[0].candidates,
                ElementsAre("C:\\Program Files\\App\\x y.dll"));
    const TargetForm sound{false, false, true};
    EXPECT_EQ(Resolve("ding.wav", sound).files[0].candidates[0], "C:\\WINDOWS\\Media\\ding.wav");
}

}  // namespace
}  // namespace korvane
