#include "worker/profile.h"

#include <array>

#include "worker/protocol.h"
#include "worker/text_cut.h"

namespace pitrel {
namespace {

// In page order from the bottom up: each value runs from its label down to
// the next label of this list that the page shows.
constexpr std::array<std::string_view, 16> kProfileLabels = {
    "公司主页：",     "资信参考人：",   "会员评价：",   "证书及荣誉：",
    "工商注册信息：", "研发部门人数：", "主要市场：",   "主要经营地点：",
    "公司成立时间：", "员工人数：",     "公司注册地：", "注册资本：",
    "经营模式：",     "企业类型：",     "主营行业：",   "主营产品或服务：",
};

// The profile block of the page, with spaces and line breaks gone and every
// "http://" turned into ";".
std::string ProfileBlock(std::string s) {
  CutAtMarker(s, "\r\n友情链接\r\n", true);
  CutAtMarker(s, "\r\n公司介绍    ", true);
  CutAtMarker(s, "技术支持：阿里巴巴\r\n", false);
  s = RemoveAll(s, " ");
  CutAtMarker(s, "\r\n\r\n\r\n", false);
  s = RemoveAll(s, "\r\n");
  return ReplaceAll(s, "http://", ";");
}

}  // namespace

std::string CondenseProfile(std::string_view text, std::string_view /*html*/) {
  std::string s = ProfileBlock(std::string(text));
  if (StartsWith(s, "公司黄页")) return std::string("公司黄页").append(kFieldSeparator);

  std::string out = std::string("公司主页").append(kFieldSeparator);
  for (std::string_view label : kProfileLabels)
    out.append(WithoutSeparator(CutAtMarker(s, label, false))).append(kFieldSeparator);
  CutAtMarker(s, "详细信息", false);
  return out.append(WithoutSeparator(s));
}

}  // namespace pitrel
