#include "worker/browser/page_engine.h"

#include "worker/browser/charset.h"
#include "worker/browser/fetch.h"
#include "worker/browser/html_document.h"
#include "worker/browser/html_serializer.h"
#include "worker/browser/inner_text.h"

namespace pitrel {
namespace {

class CurlGumboEngine final : public PageEngine {
 public:
  explicit CurlGumboEngine(const FetchLimits& limits) : limits_(limits) {}

  LoadedPage Load(const std::string& url) override {
    LoadedPage page;
    page.requested_url = url;
    FetchResult fetched = FetchUrl(url, limits_);
    page.location_url = fetched.final_url;
    page.error = std::move(fetched.error);
    if (!fetched.received) return page;
    page.loaded = true;
    const HtmlDocument document(DecodePage(fetched.body, fetched.content_type));
    page.body_text = BodyInnerText(document.Body());
    page.body_html = SerializeBodyHtml(document.Body(), page.location_url);
    return page;
  }

 private:
  FetchLimits limits_;
};

}  // namespace

std::unique_ptr<PageEngine> MakeDefaultPageEngine(const FetchLimits& limits) {
  return std::make_unique<CurlGumboEngine>(limits);
}

}  // namespace pitrel
