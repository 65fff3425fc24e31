// What the user hears after the registry refused changes for lack of rights: how many entries need
// administrator rights, and, unless Korvane runs as administrator already, a Yes/No offer to start it
// again so, on the page the user is on, which then does its work again.
#pragma once

#include <string>

#include "core/AppState.h"

namespace korvane {

// `refusal` says what was refused and that it needs administrator rights ("2 entries could not be
// deleted ...: they need administrator rights."). Returns true when Korvane
// was started again as administrator (this instance then closes).
bool OfferRestartAsAdministrator(AppState& state, const std::string& refusal);

// "1 entry", "2 entries".
std::string EntryCount(int count);
// ": it needs administrator rights." or ": they need administrator rights.", after a count.
std::string NeedRightsText(int count);

}  // namespace korvane
