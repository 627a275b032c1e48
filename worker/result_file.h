// Writing result files. quenlo polls for the final name, so a result is first
// written under a temporary name and renamed when complete: a result file
// that exists is whole. Files hold GB18030 bytes and are never empty
// (worker/protocol.h).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "worker/protocol.h"

namespace pitrel {

// Writes text (UTF-8; empty becomes one space) with up to 31 attempts,
// pausing between them, always under fileName: another name (member X's + "1")
// could be another member's result, which quenlo would then read as that
// member's. Returns the name written, or empty text when every attempt failed.
std::string SaveResult(std::string_view text, const std::string& fileName);

// Makes the companion of the result file resultFile say failure, with the
// same attempts as SaveResult; with no failure, removes a stale companion.
// False when the companion could not be written or the stale one removed:
// the result must then not be written, or quenlo would take it as read.
bool SaveFailureReport(const std::optional<PageFailure>& failure, const std::string& resultFile);

// One attempt: removes a stale fileName and its temporary file, writes the
// temporary file, renames it to fileName. 1 on success, -1 on any failure.
int WriteResultOnce(std::string_view text, const std::string& fileName);

// The pause between attempts. Pitrel has no window events to pump, so each
// tick is a fixed 0.1 ms sleep: WaitTicks(1000) pauses about 100 ms.
// Below 0 it returns at once.
void WaitTicks(int ticks);

}  // namespace pitrel
