#include "shell/version/version_page.h"

#include <QGuiApplication>

#include <atomic>
#include <memory>
#include <thread>

#include "ports/event_pump.h"
#include "store/proxy_setting.h"
#include "worker/page/charset.h"
#include "worker/page/fetch.h"
#include "worker/page/html_document.h"
#include "worker/page/inner_text.h"

namespace quenlo {
namespace {

// What a browser shows instead of a page that is missing or out of reach.
constexpr char16_t kNotFoundText[] = u"无法找到该页";
constexpr char16_t kCannotShowText[] = u"无法显示网页";

// quenlo's own proxy for http and https when it names one, else the environment's.
pitrel::ProxySettings QuenloProxies() {
  pitrel::ProxySettings proxies = pitrel::ProxiesFromEnvironment();
  if (const std::string own = ProxyInForce().toStdString(); !own.empty())
    proxies.http = proxies.https = own;
  return proxies;
}

std::string FetchBodyText(const std::string& url, const pitrel::FetchLimits& limits,
                          const pitrel::ProxySettings& proxies) {
  const pitrel::FetchResult fetched = pitrel::FetchUrl(url, limits, proxies);
  if (!fetched.received || fetched.status >= 400) return {};
  const pitrel::HtmlDocument document(pitrel::DecodePage(fetched.body, fetched.content_type));
  return pitrel::PageInnerText(document);
}

}  // namespace

pitrel::FetchLimits VersionPageLimits() {
  pitrel::FetchLimits limits;
  limits.connect_timeout_ms = 10'000;
  limits.total_timeout_ms = 20'000;
  limits.max_bytes = 2u << 20;
  return limits;
}

QString LoadPageText(const QString& url, const pitrel::FetchLimits& limits) {
  struct Shared {
    std::atomic<bool> done{false};
    std::string text;
  };
  auto shared = std::make_shared<Shared>();
  std::thread fetcher([shared, address = url.toStdString(), limits, proxies = QuenloProxies()] {
    shared->text = FetchBodyText(address, limits, proxies);
    shared->done = true;
  });
  // The fetch ends by itself within the limits; meanwhile the window lives.
  // Closing the last window ends the program at once, not after the fetch:
  // the fetch is left to finish (or not) on its own.
  bool abandoned = false;
  QMetaObject::Connection closing;
  if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
    closing = QObject::connect(app, &QGuiApplication::lastWindowClosed, [&] { abandoned = true; });
  while (!shared->done && !abandoned) ActivePump().WaitForEvents(20);
  QObject::disconnect(closing);
  if (!shared->done) {
    fetcher.detach();
    return {};
  }
  fetcher.join();

  QString text = QString::fromStdString(shared->text).trimmed();
  if (text.contains(QString::fromUtf16(kNotFoundText)) ||
      text.contains(QString::fromUtf16(kCannotShowText)))
    return {};
  return text;
}

}  // namespace quenlo
