#include "harvest/regions.h"

#include <array>
#include <utility>

namespace quenlo {

const QStringList& RegionEntries() {
  static const QStringList entries = {
      "所有省份", "江浙沪", "华东地区", "华南地区", "华中地区", "华北地区", "海外",
      "北京",     "上海",   "天津",     "重庆",     "浙江",     "广东",     "福建",
      "江苏",     "安徽",   "广西",     "贵州",     "海南",     "河北",     "河南",
      "黑龙江",   "湖北",   "湖南",     "吉林",     "江西",     "辽宁",     "内蒙古",
      "宁夏",     "青海",   "山东",     "山西",     "陕西",     "云南",     "四川",
      "甘肃",     "新疆",   "西藏",     "香港",     "澳门",     "台湾"};
  return entries;
}

QString RegionValue(const QString& entry) {
  // Group values: the GBK bytes of the province names, comma separated, each
  // byte percent-encoded.
  static const std::array<std::pair<const char*, const char*>, 9> kCoded = {{
      {"所有省份", ""},
      {"台湾", "TW"},
      {"澳门", "MO"},
      {"香港", "HK"},
      {"江浙沪", "%BD%AD%CB%D5%2C%D5%E3%BD%AD%2C%C9%CF%BA%A3"},
      {"华东地区",
       "%C9%BD%B6%AB%2C%BD%AD%CB%D5%2C%B0%B2%BB%D5%2C%D5%E3%BD%AD%2C%B8%A3%BD%A8%2C%C9%CF%BA%A3"},
      {"华南地区", "%B9%E3%B6%AB%2C%B9%E3%CE%F7%2C%BA%A3%C4%CF"},
      {"华中地区", "%BA%FE%B1%B1%2C%BA%FE%C4%CF%2C%BA%D3%C4%CF%2C%BD%AD%CE%F7"},
      {"华北地区", "%B1%B1%BE%A9%2C%CC%EC%BD%F2%2C%BA%D3%B1%B1%2C%C9%BD%CE%F7%2C%C4%DA%C3%C9%B9%C5"},
  }};
  for (const auto& [name, value] : kCoded) {
    if (entry == QString::fromUtf8(name)) return QString::fromLatin1(value);
  }
  return entry;
}

}  // namespace quenlo
