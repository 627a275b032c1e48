// One HTTP/1.1 exchange on a connection that is already open (plain, TLS,
// or a tunnel through a proxy): the request goes out, the final response
// head comes back, and the body is read and decoded up to the size cap,
// unless the answer is a redirect. Every step is bounded by the deadline.
#pragma once

#include <optional>
#include <string>

#include "worker/page/fetch_failure.h"
#include "worker/page/http_connection.h"
#include "worker/page/http_response.h"
#include "worker/page/page_engine.h"

namespace pitrel {

struct Exchange {
  bool answered = false;  // a response head arrived
  int status = 0;
  std::string content_type;
  std::string location;
  std::string retry_after;
  std::string body;
  FetchError error;
};

bool IsRedirect(int status);

// Reads until a final (non-1xx) head arrives; what follows it stays in buffer.
std::optional<ResponseHead> ReadHead(HttpConnection& connection, const Deadline& deadline,
                                     const FetchLimits& limits, std::string& buffer,
                                     FetchError* error);

// Sends request and reads the answer; a redirect's body is not read.
Exchange RunExchange(HttpConnection& connection, const std::string& request,
                     const Deadline& deadline, const FetchLimits& limits);

// Marks a step that failed because the whole fetch ran out of time.
void NoteTimeout(const Deadline& deadline, const FetchLimits& limits, FetchError* error);

}  // namespace pitrel
