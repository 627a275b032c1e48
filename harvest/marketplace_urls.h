// Addresses on the marketplace: a page of the company search and a member's
// contact page, on the hosts in force (store/marketplace_settings.h), with
// the scheme a host is set with (http when none).
#pragma once

#include <QString>

namespace quenlo {

// Page `page` (from 1) of the company search for keyword in a region value.
// Keyword and region value go in unescaped; the overseas form ("海外") has no
// page number, so every page of it is the same address.
QString BuildSearchUrl(const QString& keyword, const QString& regionValue, int page);

// The contact page of a member, the name inserted unchanged.
QString BuildContactUrl(const QString& member);

// Hands an address to the desktop's default handler; the outcome is not examined.
void OpenInBrowser(const QString& url);

}  // namespace quenlo
