// The table of keys both registry views share (see SharedKeys.h).
#include "registry/SharedKeys.h"

namespace korvane {

namespace {

// "classes" is shared as a whole except for the class keys RegistryViews.cpp redirects.
constexpr std::string_view kShared[] = {
    "classes",
    "clients",
    "microsoft\\com3",
    "microsoft\\cryptography\\calais\\current",
    "microsoft\\cryptography\\calais\\readers",
    "microsoft\\cryptography\\services",
    "microsoft\\ctf\\systemshared",
    "microsoft\\ctf\\tip",
    "microsoft\\dfs",
    "microsoft\\driver signing",
    "microsoft\\enterprisecertificates",
    "microsoft\\eventsystem",
    "microsoft\\msmq",
    "microsoft\\non-driver signing",
    "microsoft\\notepad\\defaultfonts",
    "microsoft\\ole",
    "microsoft\\ras",
    "microsoft\\rpc",
    "microsoft\\shared tools\\msinfo",
    // Documented (and linked by Wine) with this doubled path.
    "microsoft\\software\\microsoft\\shared tools\\msinfo",
    "microsoft\\systemcertificates",
    "microsoft\\termservlicensing",
    "microsoft\\transaction server",
    "microsoft\\windows\\currentversion\\app paths",
    "microsoft\\windows\\currentversion\\control panel\\cursors\\schemes",
    "microsoft\\windows\\currentversion\\explorer\\autoplayhandlers",
    "microsoft\\windows\\currentversion\\explorer\\driveicons",
    "microsoft\\windows\\currentversion\\explorer\\kindmap",
    "microsoft\\windows\\currentversion\\group policy",
    "microsoft\\windows\\currentversion\\policies",
    "microsoft\\windows\\currentversion\\previewhandlers",
    "microsoft\\windows\\currentversion\\setup",
    "microsoft\\windows\\currentversion\\telephony\\locations",
    "microsoft\\windows nt\\currentversion\\console",
    "microsoft\\windows nt\\currentversion\\fontdpi",
    "microsoft\\windows nt\\currentversion\\fontlink",
    "microsoft\\windows nt\\currentversion\\fontmapper",
    "microsoft\\windows nt\\currentversion\\fonts",
    "microsoft\\windows nt\\currentversion\\fontsubstitutes",
    "microsoft\\windows nt\\currentversion\\gre_initialize",
    "microsoft\\windows nt\\currentversion\\image file execution options",
    "microsoft\\windows nt\\currentversion\\languagepack",
    "microsoft\\windows nt\\currentversion\\networkcards",
    "microsoft\\windows nt\\currentversion\\perflib",
    "microsoft\\windows nt\\currentversion\\ports",
    "microsoft\\windows nt\\currentversion\\print",
    "microsoft\\windows nt\\currentversion\\profilelist",
    "microsoft\\windows nt\\currentversion\\time zones",
    "policies",
    "registered applications",
    "registeredapplications",
};

}  // namespace

std::span<const std::string_view> SharedSoftwareKeys() {
    return kShared;
}

bool IsSharedSoftwareKey(std::string_view foldedRest) {
    for (std::string_view shared : kShared) {
        if (foldedRest.starts_with(shared) &&
            (foldedRest.size() == shared.size() || foldedRest[shared.size()] == '\\'))
            return true;
    }
    return false;
}

}  // namespace korvane
