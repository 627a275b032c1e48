// Hands an address to the desktop's default handler (browser, messenger).
// Tests install their own opener to see the address without launching anything.
#pragma once

#include <QUrl>
#include <functional>

namespace quenlo {

using UrlOpener = std::function<void(const QUrl&)>;

void OpenUrl(const QUrl& url);
void SetUrlOpener(UrlOpener opener);  // an empty opener restores the desktop's

}  // namespace quenlo
