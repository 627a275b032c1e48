#include "tools/sample_market/pages.h"

#include "tools/sample_market/filler.h"
#include "tools/sample_market/gbk.h"
#include "tools/sample_market/rng.h"

namespace sample_market {
namespace {

std::string Document(std::string_view title, std::string_view main, const PageSettings& settings,
                     std::string_view filler_key) {
  std::string head =
      "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">\n"
      "<html><head>\n<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gbk\">\n"
      "<title>" + EscapeHtml(title) + "</title>\n"
      "<style>body{font-size:12px;margin:0}td{padding:2px}.nav li{display:inline}</style>\n"
      "</head>\n<body>\n<div class=header><a href=\"/\">首页</a> | <a href=\"/trade/\">产品库</a>"
      " | <a href=\"/search/\">公司库</a></div>\n";
  std::string tail = "<div class=copyright>版权所有 样本商城</div>\n</body></html>\n";
  std::string top, bottom;
  std::size_t target = static_cast<std::size_t>(settings.pad_kb) * 1024;
  std::size_t base = GbkSize(head) + GbkSize(main) + GbkSize(tail);
  if (target > base) {
    std::size_t missing = target - base;
    std::uint32_t seed = settings.seed ^ StableHash(filler_key);
    top = Filler(missing / 3, seed);
    std::size_t top_size = GbkSize(top);
    if (missing > top_size) bottom = Filler(missing - top_size, seed + 1);
  }
  return head + top + std::string(main) + bottom + tail;
}

std::string Link(std::string_view href, std::string_view text) {
  return "<a href=\"" + EscapeHtml(href) + "\" target=_blank>" + EscapeHtml(text) + "</a>";
}

std::string OfferListUrl(const PageSettings& s, std::string_view name) {
  return s.scheme + "://" + s.main_host + "/company/offerlist/" + std::string(name) + ".html";
}

// One company of a search page. Its member name is found by the first of
// these that applies: a member-site link, the offer-list address, the
// directory address, else the last path part before the first ".html".
std::string ListingBlock(const Member& m, const PageSettings& s) {
  std::string offers = "/offers/search.htm?member=" + PercentEncode(m.name);
  std::string title, more = offers;
  switch (m.listing_link) {
    case ListingLink::kMemberSite:
      title = Link(s.scheme + "://" + m.name + "." + s.member_domain + "/", m.company);
      more = OfferListUrl(s, m.name);
      break;
    case ListingLink::kOfferList:
      title = Link(OfferListUrl(s, m.name), m.company);
      more = OfferListUrl(s, m.name);
      break;
    case ListingLink::kDirectory:
      title = Link(s.scheme + "://" + s.directory_host + "/athena/" + m.name + ".html", m.company);
      break;
    case ListingLink::kRelative:
      title = Link("/shop/" + m.name + ".html", m.company);
      break;
    case ListingLink::kOfferListText:
      title = "<b>" + EscapeHtml(m.company) + "</b></div>\n<div class=shop>商铺：" +
              EscapeHtml(OfferListUrl(s, m.name));
      break;
  }
  return "<div class=info>\n<div class=name>" + title + "</div>\n<div class=desc>主营：" +
         EscapeHtml(m.profile[15]) + "</div>\n<div class=more>" + Link(more, "查看该公司发布的供应信息") +
         "</div>\n</div>\n";
}

std::string Row(std::string_view label, std::string_view value_html) {
  return "<tr><td>" + std::string(label) + "</td><td>" + std::string(value_html) + "</td></tr>\n";
}

}  // namespace

std::string EscapeHtml(std::string_view text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

std::string PercentEncode(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : text) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.' || c == '~') {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 0xF];
    }
  }
  return out;
}

std::string MemberSiteContactPath(std::string_view member_name) {
  return "/site/" + PercentEncode(member_name) + "/contact.html";
}

// The count sits between ">共找到" and "条符合"; the companies follow
// ">公司信息</DIV>", and "清空全部选择</A>" closes the list.
std::string SearchPage(const SearchListing& listing, std::string_view keyword, int page,
                       const PageSettings& settings) {
  std::string kw = EscapeHtml(keyword);
  std::string count = listing.count_is_number ? std::to_string(listing.hit_count) : "若干";
  std::string main =
      "<div class=search><form action=\"/search/company_search.htm\"><input name=keywords value=\"" +
      kw + "\"> <input type=submit value=\"搜索\"></form></div>\n"
      "<div class=count>共找到 " + count + " 条符合“" + kw + "”的公司</div>\n"
      "<div class=list>\n<div class=title>公司信息</div>\n";
  for (const Member* m : listing.members) main += ListingBlock(*m, settings);
  main += "<div class=ops><a href=\"#top\">清空全部选择</a></div>\n</div>\n";
  main += "<div class=pages>第 " + std::to_string(page) + " 页 <a href=\"/company/" +
          PercentEncode(keyword) + "/" + std::to_string(page + 1) + ".html\">下一页</a></div>\n";
  return Document("公司搜索 - " + std::string(keyword), main, settings,
                  "search/" + std::string(keyword) + "/" + std::to_string(page));
}

// The marketplace's own contact page, read from its text: each table cell is
// followed by one space, so the text after the heading runs
// "company person sex (job) 电　　话： ... 公司网站： url" up to
// "相关诚信通企业推荐".
std::string ContactPage(const Member& m, const PageSettings& settings) {
  std::string heading = m.contact_has_leave_message
                            ? "<a href=\"/feedback/" + PercentEncode(m.name) + ".htm\">点此留言</a> 联系方式"
                            : "联系方式";
  std::string mobile = m.mobile.empty() ? "" : EscapeHtml(m.mobile) + " <span class=ico>手机在线</span>";
  std::string web = m.web_links.empty() ? "" : Link(m.web_links.front(), m.web_links.front());
  std::string main =
      "<div class=menu><a href=\"/company/detail/intro/" + PercentEncode(m.name) +
      ".html\">公司介绍</a> | <a href=\"/company/offerlist/" + PercentEncode(m.name) +
      ".html\">供应信息</a> | <a href=\"/company/detail/contact/" + PercentEncode(m.name) +
      ".html\">联系方式</a></div>\n"
      "<div class=box>\n<div class=title>" + heading + "</div>\n<table class=card>\n"
      "<tr><td>" + EscapeHtml(m.company) + "</td></tr>\n"
      "<tr><td>" + EscapeHtml(m.person) + "</td><td>" + EscapeHtml(m.sex) + "</td><td>(" +
      EscapeHtml(m.job) + ")</td><td><a href=\"/talk.htm\">跟我洽谈</a></td></tr>\n" +
      Row("电　　话：", EscapeHtml(m.phone)) + Row("移动电话：", mobile) +
      Row("传　　真：", EscapeHtml(m.fax)) + Row("地　　址：", EscapeHtml(m.address)) +
      Row("邮　　编：", EscapeHtml(m.postcode)) + Row("公司网站：", web) +
      "</table>\n<div class=msg><a href=\"/feedback/\">给我留言</a></div>\n</div>\n"
      "<div class=recommend><div class=title>相关诚信通企业推荐</div>\n<ul><li><a href=\"/trade/c101.htm\">"
      "同行业供应商</a></li></ul></div>\n";
  return Document(m.company + " 联系方式", main, settings, "contact/" + m.name);
}

// The member's own site, read from its mark-up. Fields are taken from the
// end: address, then the company row, home-page links up to the
// "<!---------" comment, postcode, fax, mobile, telephone, "（job）<BR><IMG",
// sex and the linked person's name.
std::string MemberSiteContactPage(const Member& m, const PageSettings& settings) {
  std::string links;
  for (const std::string& url : m.web_links) links += Link(url, url) + " ";
  // A no-break space after some labels, as hand-made sites often have.
  std::string gap = m.number % 2 == 0 ? "&nbsp;" : "";
  std::string home = "/site/" + PercentEncode(m.name) + "/";
  std::string main =
      "<div class=sitemenu><a href=\"" + home + "\">网站首页</a> | <a href=\"" + home +
      "products.html\">产品展示</a></div>\n"
      "<table class=contact>\n<tr><td><span class=title>联系方式</span></td></tr>\n"
      "<tr><td><a href=\"" + home + "\">" + EscapeHtml(m.person) + "</a> " + EscapeHtml(m.sex) +
      "（" + EscapeHtml(m.job) + "）<br><img src=\"/img/talk.gif\" alt=\"\"></td></tr>\n"
      "<tr><td>电话：" + gap + EscapeHtml(m.phone) + "</td></tr>\n"
      "<tr><td>移动电话：" + EscapeHtml(m.mobile) + "</td></tr>\n"
      "<tr><td>传真：" + gap + EscapeHtml(m.fax) + "</td></tr>\n"
      "<tr><td>邮编：" + EscapeHtml(m.postcode) + "</td></tr>\n"
      "<tr><td>公司主页：" + links + "<!--------- 主页 --></td></tr>\n"
      "<tr><td>" + EscapeHtml(m.company) + "</td></tr>\n"
      "<tr><td>地址：" + EscapeHtml(m.address) + "</td></tr>\n"
      "</table>\n<div class=support>技术支持：阿里巴巴</div>\n";
  return Document(m.company, main, settings, "site/" + m.name);
}

// Read from its text: after the "友情链接" line and the "公司介绍" row (the
// label and three empty cells: four spaces), the introduction, "详细信息",
// the sixteen labels from the last to the first, three line breaks and
// "技术支持：阿里巴巴" on a line of its own.
std::string ProfilePage(const Member& m, const PageSettings& settings) {
  std::string main =
      "<div class=side><div class=title>友情链接</div>\n<ul><li><a href=\"" + settings.scheme + "://" +
      settings.directory_host + "/\">企业名录</a></li><li><a href=\"/trade/\">产品库</a></li></ul></div>\n"
      "<table class=head><tr><td>公司介绍</td><td></td><td></td><td></td></tr></table>\n";
  if (m.profile_form == ProfileForm::kDirectoryEntry) {
    main += "<div class=yellow>公司黄页 " + EscapeHtml(m.company) + "<br>" + EscapeHtml(m.address) +
            "</div>\n";
  } else {
    main += "<div class=text>\n";
    for (const std::string& paragraph : m.introduction) main += "<p>" + EscapeHtml(paragraph) + "</p>\n";
    main += "<a href=\"/company/detail/intro/" + PercentEncode(m.name) + ".html#more\">详细信息</a></div>\n";
    main += "<table class=detail>\n";
    for (int i = 15; i >= 0; --i) {
      const std::string& value = m.profile[i];
      bool is_url = value.starts_with("http://");
      main += Row(kProfileLabels[i], is_url ? Link(value, value) : EscapeHtml(value));
    }
    main += "</table>\n";
  }
  main += "<div class=support><br><br><br>技术支持：阿里巴巴</div>\n";
  return Document(m.company + " 公司介绍", main, settings, "intro/" + m.name);
}

// One label per row; the last row also holds "站内信件： " after the date.
std::string CreditPage(const Member& m, const PageSettings& settings) {
  const Credit& c = m.credit;
  std::string main =
      "<div class=credit><div class=title>诚信档案</div>\n<table>\n" + Row("卖家信用：", EscapeHtml(c.seller)) +
      Row("买家信用：", EscapeHtml(c.buyer)) + Row("所在地：", EscapeHtml(c.location)) +
      Row("注册时间：", EscapeHtml(c.signed_up)) + "<tr><td>上次登录：</td><td>" +
      EscapeHtml(c.last_login) + "</td><td>站内信件： <a href=\"/mail.htm\">发送</a></td></tr>\n"
      "</table></div>\n";
  return Document(m.company + " 诚信档案", main, settings, "credit/" + m.name);
}

std::string OfferListPage(const Member& m, const PageSettings& settings) {
  std::string main = "<div class=offers><div class=title>供应信息</div>\n<ul>\n";
  for (int i = 1; i <= 5; ++i) {
    main += "<li><a href=\"/offer/" + PercentEncode(m.name) + "-" + std::to_string(i) + ".htm\">" +
            EscapeHtml(m.profile[15]) + " 第" + std::to_string(i) + "款</a></li>\n";
  }
  main += "</ul></div>\n";
  return Document(m.company + " 供应信息", main, settings, "offerlist/" + m.name);
}

std::string NotFoundPage(const PageSettings& settings) {
  return Document("页面不存在", "<div class=error>对不起，您访问的页面不存在。</div>\n", settings, "404");
}

std::string ServerErrorPage() {
  return "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=gbk\">"
         "<title>服务器错误</title></head><body><h1>服务器内部错误</h1></body></html>\n";
}

}  // namespace sample_market
