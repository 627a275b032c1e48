#include "worker/trade_credit.h"

#include <array>
#include <vector>

#include "worker/protocol.h"
#include "worker/text_cut.h"

namespace pitrel {
namespace {

constexpr std::string_view kSellerLabel = "卖家信用：";

// Matched in this order; a location that begins with none of them is "其他".
constexpr std::array<std::string_view, 34> kProvinces = {
    "北京", "天津", "上海",   "重庆", "内蒙古", "新疆", "西藏", "宁夏", "广西",
    "香港", "澳门", "黑龙江", "吉林", "辽宁",   "河北", "山西", "青海", "山东",
    "河南", "江苏", "安徽",   "浙江", "福建",   "江西", "湖南", "湖北", "广东",
    "台湾", "海南", "甘肃",   "陕西", "四川",   "贵州", "云南",
};

std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t pos = 0;
  for (std::size_t hit; (hit = text.find("\r\n", pos)) != std::string_view::npos; pos = hit + 2)
    lines.push_back(text.substr(pos, hit - pos));
  lines.push_back(text.substr(pos));
  return lines;
}

// The rest of the first line that begins with label; empty when none does.
std::string ValueOf(const std::vector<std::string_view>& lines, std::string_view label) {
  for (std::string_view line : lines)
    if (StartsWith(line, label)) return std::string(line.substr(label.size()));
  return {};
}

std::pair<std::string, std::string> ProvinceAndCity(const std::string& location) {
  if (location.empty()) return {};
  for (std::string_view province : kProvinces)
    if (StartsWith(location, province))
      return {std::string(province), location.substr(province.size())};
  return {"其他", "其他"};
}

}  // namespace

std::string CondenseTradeCredit(std::string_view text) {
  const std::size_t block = text.rfind(kSellerLabel);
  if (block == std::string_view::npos) return {};
  std::string s(text.substr(block));
  if (const std::size_t end = s.find("站内信件： "); end != std::string::npos) s.resize(end);
  s = RemoveAll(s, " ");

  const std::vector<std::string_view> lines = Lines(s);
  const auto [province, city] = ProvinceAndCity(ValueOf(lines, "所在地："));
  return JoinFields({ValueOf(lines, kSellerLabel), ValueOf(lines, "买家信用："), province, city,
                     ValueOf(lines, "注册时间："), ValueOf(lines, "上次登录：")});
}

}  // namespace pitrel
