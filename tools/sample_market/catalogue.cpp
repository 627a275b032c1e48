#include "tools/sample_market/catalogue.h"

#include "tools/sample_market/rng.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

namespace sample_market {
namespace {

struct City {
  std::string_view name;
  std::string_view province;       // short name, as the credit block's location starts
  std::string_view province_full;  // as an address writes it; empty for a municipality
  std::string_view credit_city;    // what follows the province in the credit location
  std::string_view area_code;
  std::string_view postcode_prefix;
};

constexpr City kCities[] = {
    {"杭州", "浙江", "浙江省", "杭州", "0571", "310"},
    {"宁波", "浙江", "浙江省", "宁波", "0574", "315"},
    {"温州", "浙江", "浙江省", "温州", "0577", "325"},
    {"义乌", "浙江", "浙江省", "义乌", "0579", "322"},
    {"深圳", "广东", "广东省", "深圳", "0755", "518"},
    {"广州", "广东", "广东省", "广州", "020", "510"},
    {"东莞", "广东", "广东省", "东莞", "0769", "523"},
    {"上海", "上海", "", "浦东新区", "021", "200"},
    {"北京", "北京", "", "朝阳区", "010", "100"},
    {"苏州", "江苏", "江苏省", "苏州", "0512", "215"},
    {"厦门", "福建", "福建省", "厦门", "0592", "361"},
    {"青岛", "山东", "山东省", "青岛", "0532", "266"},
    {"包头", "内蒙古", "内蒙古自治区", "包头", "0472", "014"},
    {"哈尔滨", "黑龙江", "黑龙江省", "哈尔滨", "0451", "150"},
};

struct Trade {
  std::string_view company_word;  // goes into the company name
  std::string_view industry;      // 主营行业
  std::string_view products;      // 主营产品或服务
};

constexpr Trade kTrades[] = {
    {"网络科技", "网络设备", "路由器、交换机、光纤收发器"},
    {"电子", "电子元器件", "电容、电阻、连接器"},
    {"五金制品", "五金工具", "扳手、螺丝刀、钳子"},
    {"服饰", "服装服饰", "T恤、衬衫、休闲裤"},
    {"塑料制品", "橡塑", "塑料袋、包装膜、周转箱"},
    {"机械设备", "机械及行业设备", "包装机、灌装机、封口机"},
    {"工艺品", "工艺品、礼品", "树脂工艺品、水晶摆件、相框"},
    {"纺织", "纺织、皮革", "涤纶面料、棉布、无纺布"},
    {"化工", "化工", "涂料、胶粘剂、助剂"},
};

constexpr std::string_view kNamePrefixes[] = {"hz", "sz", "nb", "yw", "gz", "wz", "sh",
                                              "bj", "xm", "dg", "qd", "m",  "cn", "tx"};
constexpr std::string_view kBrandSyllables[] = {"华", "鑫", "瑞", "恒", "宏", "达", "源", "盛",
                                                "利", "通", "博", "康", "信", "泰", "嘉", "安"};
constexpr std::string_view kSurnames[] = {"张", "王", "李", "赵", "陈", "刘", "杨", "黄",
                                          "周", "吴", "徐", "孙", "胡", "朱", "高", "林"};
constexpr std::string_view kGivenNames[] = {"伟", "芳", "娜", "敏", "静", "丽", "强", "磊",
                                            "军", "洋", "勇", "艳", "杰", "娟", "涛", "明"};
constexpr std::string_view kJobs[] = {"经理", "销售经理", "总经理", "业务员",
                                      "采购主管", "外贸部经理", "市场部主管"};
constexpr std::string_view kDistricts[] = {"高新区", "经济开发区", "工业园区", "城东区", "城南区"};
constexpr std::string_view kRoads[] = {"文三路", "人民路", "解放路", "建设路", "中山路", "工业大道"};
constexpr std::string_view kRatings[] = {"好评率100%", "好评率98%", "暂无评价"};
constexpr std::string_view kCertificates[] = {"ISO9001:2000", "", "AAA级信用企业", "高新技术企业"};
constexpr std::string_view kRegistrations[] = {"已通过工商注册信息核实", "未核实"};
constexpr std::string_view kStaffSizes[] = {"5人以下", "5-10人", "11-50人", "51-100人", "101-500人"};
constexpr std::string_view kMarkets[] = {"华东地区、华南地区", "全国", "欧洲、北美", "东南亚、中东"};
constexpr std::string_view kModels[] = {"生产加工", "经销批发", "招商代理", "商业服务"};
constexpr std::string_view kEnterpriseTypes[] = {"私营有限责任公司", "私营独资企业", "股份有限公司",
                                                 "个体经营"};
constexpr std::string_view kSellerCredit[] = {"良好", "优秀", "较好", "暂无"};
constexpr std::string_view kBuyerCredit[] = {"良好", "暂无评价", "优秀"};
constexpr std::string_view kPlacesAbroad[] = {"美国纽约", "日本大阪", "德国汉堡"};

// Each group of four consecutive members uses every listing link once, in a
// seeded order, so even a one-page search shows all of them.
ListingLink ListingLinkFor(std::uint32_t seed, int number) {
  std::array<ListingLink, 4> kinds = {ListingLink::kMemberSite, ListingLink::kOfferList,
                                      ListingLink::kDirectory, ListingLink::kRelative};
  Rng group(seed, 0x10000u + static_cast<std::uint32_t>((number - 1) / 4));
  for (int i = 3; i > 0; --i) std::swap(kinds[i], kinds[group.Below(i + 1)]);
  return kinds[(number - 1) % 4];
}

// Contact forms alternate within each pair, in a seeded order.
ContactForm ContactFormFor(std::uint32_t seed, int number) {
  Rng pair(seed, 0x20000u + static_cast<std::uint32_t>((number - 1) / 2));
  bool own_first = pair.Chance(50);
  bool first = (number - 1) % 2 == 0;
  return own_first == first ? ContactForm::kMarketplacePage : ContactForm::kMemberSite;
}

std::string FullWidthDigits(std::string_view digits) {
  std::string out;
  for (char d : digits) {
    char32_t code = U'\uFF10' + (d - '0');  // three UTF-8 bytes: EF BC 90+
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
  return out;
}

std::string MemberName(Rng& rng, int number) {
  char digits[16];
  std::snprintf(digits, sizeof digits, "%04d", number);
  std::string name(rng.Pick(kNamePrefixes));
  name += digits;
  name += static_cast<char>('a' + rng.Below(26));
  return name;
}

void FillContact(Rng& rng, const City& city, const Trade& trade, Member& m) {
  bool own_page = m.contact_form == ContactForm::kMarketplacePage;
  m.contact_has_leave_message = rng.Chance(50);
  std::string brand = std::string(rng.Pick(kBrandSyllables)) + std::string(rng.Pick(kBrandSyllables));
  if (rng.Chance(10)) brand = "D'Art";
  m.company = std::string(city.name) + brand + std::string(trade.company_word) + "有限公司";
  m.person = std::string(rng.Pick(kSurnames)) + std::string(rng.Pick(kGivenNames));
  if (rng.Chance(50)) m.person += rng.Pick(kGivenNames);
  m.sex = rng.Chance(60) ? "先生" : "女士";
  m.job = rng.Pick(kJobs);

  std::string area(city.area_code);
  std::string head = rng.Digits(4), tail = rng.Digits(4);
  m.phone = own_page ? area + "-" + head + tail : area + " " + head + " " + tail;
  m.mobile = rng.Chance(80) ? "13" + rng.Digits(9) : "";
  std::string fax_number = head + rng.Digits(4);
  m.fax = rng.Chance(75) ? area + (own_page ? "-" : " ") + fax_number : "";

  m.address = std::string(city.province_full) + std::string(city.name) + "市" +
              std::string(rng.Pick(kDistricts)) + std::string(rng.Pick(kRoads)) +
              std::to_string(rng.Between(1, 999)) + "号";
  if (rng.Chance(35)) m.address = "中国 " + m.address;
  std::string postcode = std::string(city.postcode_prefix) + rng.Digits(3);
  m.postcode = rng.Chance(own_page ? 15 : 50) ? FullWidthDigits(postcode) : postcode;

  std::string site = "http://www." + m.name + ".com/";
  if (own_page) {
    if (rng.Chance(70)) m.web_links = {site};
  } else {
    int links = rng.Between(0, 2);
    if (links >= 1) m.web_links.push_back(site);
    if (links == 2) m.web_links.push_back("http://www." + m.name + ".com.cn/");
  }
}

void FillProfile(Rng& rng, const City& city, const Trade& trade, Member& m) {
  m.profile_form = rng.Chance(17) ? ProfileForm::kDirectoryEntry : ProfileForm::kFullProfile;
  std::string year = std::to_string(rng.Between(1990, 2006));
  std::string staff(rng.Pick(kStaffSizes));
  std::string capital = std::to_string(rng.Between(1, 50) * 10) + (rng.Chance(25) ? " " : "") + "万元人民币";
  m.profile = {
      m.web_links.empty() ? "" : m.web_links.front(),
      rng.Chance(60) ? m.person : "",
      std::string(rng.Pick(kRatings)),
      std::string(rng.Pick(kCertificates)),
      std::string(rng.Pick(kRegistrations)),
      rng.Chance(75) ? std::string(rng.Pick(kStaffSizes)) : "",
      std::string(rng.Pick(kMarkets)),
      std::string(city.name) + std::string(rng.Pick(kDistricts)),
      year,
      staff,
      std::string(city.province) + "/" + std::string(city.name),
      capital,
      std::string(rng.Pick(kModels)),
      std::string(rng.Pick(kEnterpriseTypes)),
      std::string(trade.industry),
      std::string(trade.products),
  };
  m.introduction = {
      m.company + "成立于" + year + "年，位于" + std::string(city.name) + "，专业生产" +
          std::string(trade.products) + "等产品。",
      "公司现有员工" + staff + "，拥有完善的质量管理体系，产品远销国内外。",
  };
  if (!m.web_links.empty() && rng.Chance(50)) {
    m.introduction.push_back("欢迎访问我们的网站 " + m.web_links.front() + " 洽谈合作。");
  }
}

void FillCredit(Rng& rng, const City& city, Member& m) {
  Credit& c = m.credit;
  c.seller = rng.Pick(kSellerCredit);
  c.buyer = rng.Pick(kBuyerCredit);
  std::uint32_t where = rng.Below(10);
  if (where < 8) {
    c.province = city.province;
    c.city = city.credit_city;
    c.location = c.province + c.city;
  } else if (where == 8) {
    c.location = rng.Pick(kPlacesAbroad);
    c.province = c.city = "其他";
  }
  char date[16];
  std::snprintf(date, sizeof date, "%d-%02d-%02d", rng.Between(2000, 2005), rng.Between(1, 12),
                rng.Between(1, 28));
  c.signed_up = date;
  std::snprintf(date, sizeof date, "2006-%02d-%02d", rng.Between(1, 12), rng.Between(1, 28));
  c.last_login = date;
}

}  // namespace

Member GenerateMember(std::uint32_t seed, int number) {
  Rng rng(seed, static_cast<std::uint32_t>(number));
  Member m;
  m.number = number;
  m.name = MemberName(rng, number);
  m.contact_form = ContactFormFor(seed, number);
  m.listing_link = ListingLinkFor(seed, number);
  m.has_offer_list = rng.Chance(67);
  const City& city = kCities[rng.Below(std::size(kCities))];
  const Trade& trade = kTrades[rng.Below(std::size(kTrades))];
  FillContact(rng, city, trade, m);
  FillProfile(rng, city, trade, m);
  FillCredit(rng, city, m);
  return m;
}

Catalogue::Catalogue(const CatalogueOptions& options) : seed_(options.seed) {
  if (options.members < 1) throw std::invalid_argument("the catalogue needs at least one member");
  members_.reserve(options.members);
  for (int number = 1; number <= options.members; ++number) {
    Member m = GenerateMember(options.seed, number);
    std::size_t hostile = static_cast<std::size_t>(number / 3);
    if (options.hostile_names && number % 3 == 0 && hostile <= kHostileNames.size()) {
      m.name = kHostileNames[hostile - 1];
      m.listing_link = ListingLink::kOfferListText;
      m.web_links.clear();
      m.profile[0].clear();
      if (m.introduction.size() > 2) m.introduction.pop_back();
    }
    index_by_name_.emplace(m.name, number);
    members_.push_back(std::move(m));
  }
}

const Member* Catalogue::Find(std::string_view name) const {
  auto found = index_by_name_.find(std::string(name));
  return found == index_by_name_.end() ? nullptr : &members_[found->second - 1];
}

}  // namespace sample_market
