#include "core/app/app_state.h"

namespace orvanta {

AppState::AppState(QString root, Prompts& prompts, const Clock& clock)
    : paths(std::move(root)), log(database, prompts, clock), prompts_(prompts), clock_(clock) {}

}  // namespace orvanta
