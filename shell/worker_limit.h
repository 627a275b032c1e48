// The worker limit's rules moved to the store (store/worker_limit.h), where
// the harvests reach them without the shell; this header only keeps the
// window's include working until it names the store's header itself.
#pragma once

#include "store/worker_limit.h"
