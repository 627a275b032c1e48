#include "worker/page/page_engine.h"

#include "worker/page/binary_body.h"
#include "worker/page/charset.h"
#include "worker/page/fetch.h"
#include "worker/page/html_document.h"
#include "worker/page/html_serializer.h"
#include "worker/page/inner_text.h"

namespace pitrel {
namespace {

class FetchingEngine final : public PageEngine {
 public:
  explicit FetchingEngine(const FetchLimits& limits) : limits_(limits) {}

  LoadedPage Load(const std::string& url) override {
    LoadedPage page;
    page.requested_url = url;
    FetchResult fetched = FetchUrl(url, limits_);
    page.location_url = fetched.final_url;
    page.error = std::move(fetched.error);
    page.failure = fetched.failure;
    page.status = fetched.status;
    page.retry_after_seconds = fetched.retry_after_seconds;
    if (!fetched.received) return page;
    page.loaded = true;
    if (page.failure == FetchFailure::kNone) NoteNotAPage(fetched.body, page);
    page.document =
        std::make_shared<const HtmlDocument>(DecodePage(fetched.body, fetched.content_type));
    return page;
  }

 private:
  // Such a body is still parsed and condensed as any other; the caller learns
  // that it held no page.
  static void NoteNotAPage(std::string_view body, LoadedPage& page) {
    if (body.empty()) page.error = "the page is empty";
    else if (IsBinaryBody(body)) page.error = "binary data, not a page";
    else return;
    page.failure = FetchFailure::kNotAPage;
  }

  FetchLimits limits_;
};

}  // namespace

const std::string& LoadedPage::BodyText() const {
  if (!body_text_) body_text_ = document ? PageInnerText(*document) : std::string();
  return *body_text_;
}

const std::string& LoadedPage::BodyHtml() const {
  if (!body_html_) body_html_ = document ? PageBodyHtml(*document, location_url) : std::string();
  return *body_html_;
}

std::unique_ptr<PageEngine> MakeDefaultPageEngine(const FetchLimits& limits) {
  return std::make_unique<FetchingEngine>(limits);
}

}  // namespace pitrel
