#include "tools/sample_market/filler.h"

#include "tools/sample_market/gbk.h"
#include "tools/sample_market/rng.h"

#include <string_view>

namespace sample_market {
namespace {

constexpr std::string_view kCategories[] = {
    "电子元器件", "五金工具", "服装服饰", "家居用品", "汽摩配件", "照明工业", "数码产品", "办公文教",
    "运动休闲", "食品饮料", "农业", "冶金矿产", "安全防护", "印刷", "环保", "医药保养",
    "纺织皮革", "化工", "橡塑", "包装", "精细化学品", "仪器仪表", "通信产品", "家用电器"};

constexpr std::string_view kAdvertising[] = {
    "本周热门产品推荐，欢迎选购。", "优质供应商，诚信经营，品质保证。", "最新求购信息每日更新。",
    "诚招各地代理商，共创美好未来。", "厂家直销，价格优惠，量大从优。", "支持来图来样定做。",
    "新品上市，限时特惠。", "专业团队，一站式采购服务。"};

std::string MenuBlock(Rng& rng) {
  std::string block = "<div class=nav><ul>\n";
  for (int i = 0; i < 8; ++i) {
    block += "<li><a href=\"/trade/c" + std::to_string(rng.Between(100, 999)) + ".htm\">";
    block += rng.Pick(kCategories);
    block += "</a></li>\n";
  }
  return block + "</ul></div>\n";
}

std::string AdvertisingBlock(Rng& rng) {
  std::string block = "<div class=ad><p>";
  for (int i = 0; i < 4; ++i) block += rng.Pick(kAdvertising);
  return block + "</p></div>\n";
}

}  // namespace

std::string Filler(std::size_t gbk_bytes, std::uint32_t seed) {
  Rng rng(seed, 0xF111u);
  std::string filler;
  std::size_t size = 0;
  while (size < gbk_bytes) {
    std::string block = rng.Chance(50) ? MenuBlock(rng) : AdvertisingBlock(rng);
    size += GbkSize(block);
    filler += block;
  }
  return filler;
}

}  // namespace sample_market
