// Whether the worker read its page, and if not, how quenlo should take the
// failure: worth another try later (transient) or not (permanent), with the
// HTTP status, the server's Retry-After and a one-line reason
// (worker/protocol.h, "Failures").
#pragma once

#include <optional>

#include "worker/page/page_engine.h"
#include "worker/protocol.h"

namespace pitrel {

// Nothing when the page was read. An HTTP status from 400 up decides by
// itself; otherwise the kind of what went wrong does.
std::optional<PageFailure> JudgePage(const LoadedPage& page);

}  // namespace pitrel
