// Bounds on one worker's life. A hostile page must not hold a worker, and a
// core, for long: gumbo's time grows with the square of some shapes' size
// (thousands of attributes on one tag, stray end tags), a page can take
// hundreds of megabytes to parse, and a file that is a pipe never ends.
// Past a bound the worker dies without a result, which quenlo counts as an
// empty one.
//
// Memory: what a page's parse may cost is bounded first by cutting the page
// (worker/page/parse_budget.h), so that no page of the 8 MB a fetch accepts
// needs more than about 70 MiB of address space. The address-space limit is
// the backstop: at the worker limit of 50, all workers together stay under 4 GB.
#pragma once

namespace pitrel {

inline constexpr char kTimeLimitVariable[] =
    "PITREL_TIME_LIMIT";                                  // seconds, for operators and tests
inline constexpr unsigned kDefaultTimeLimitSeconds = 80;  // below quenlo's own 90 s deadline
inline constexpr unsigned kCpuLimitSeconds = 30;
inline constexpr unsigned long long kAddressSpaceLimitBytes = 76ull << 20;

// Applies the bounds to this process: wall clock (PITREL_TIME_LIMIT or the
// default), CPU time (the lesser of that and 30 s) and address space. A
// lower limit already in force is kept.
void BoundThisWorker();

}  // namespace pitrel
