// What became of a harvest's pages: how many were read, how many needed more
// than one try, which failed for good and why, and the storage failure that
// ended the harvest, if one did. The window, the command line and the log
// make their reports from it.
#pragma once

#include "worker/protocol.h"

#include <QString>
#include <vector>

namespace quenlo {

struct FailedPage {
  int searchPage = 0;  // for a page of the member search
  QString member;      // for a member's contact or profile page
  QString address;     // the page, or the member name for a profile
  pitrel::PageFailure failure;
  QString note;  // why it was not tried again, when it could have been
};

struct HarvestTally {
  int read = 0;          // pages read and handed on to be stored
  int retriedPages = 0;  // pages asked for more than once
  int retries = 0;       // further requests in all
  std::vector<FailedPage> failed;
  QString storageFailure;  // results could not be kept (base or work folder); ends the harvest

  bool Complete() const { return failed.empty() && storageFailure.isEmpty(); }
};

// "search page 3" or "member NAME".
QString PageName(const FailedPage& page);
// The worker's reason with what quenlo made of it: "HTTP 404, permanent",
// "timed out, still failing after 3 tries".
QString FailureText(const FailedPage& page);
// "12 read, 3 retried, 1 failed for good".
QString TallyLine(const HarvestTally& tally);

}  // namespace quenlo
