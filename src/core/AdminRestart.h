// What the user hears after the registry refused changes for lack of rights: how many entries need
// administrator rights, and, unless Korvane runs as administrator already, a Yes/No offer to start it
// again so, on the page the user is on, which then does its work again. The wording of the refusal
// itself is DeletionReport.h's.
#pragma once

#include <string>

#include "core/AppState.h"

namespace korvane {

// `refusal` says what was refused and that it needs administrator rights ("2 entries could not be
// deleted ...: they need administrator rights."). Returns true when Korvane
// was started again as administrator (this instance then closes).
bool OfferRestartAsAdministrator(AppState& state, const std::string& refusal);

}  // namespace korvane
