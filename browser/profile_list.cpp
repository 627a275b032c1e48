#include "browser/profile_list.h"

#include "store/database.h"

namespace quenlo {

const RecordList& ProfileList() {
  static const RecordList list{
      kProfileTable,
      {QString(), QStringLiteral("AName"), QStringLiteral("Score"), QStringLiteral("BA"),
       QStringLiteral("RV"), QStringLiteral("MKT"), QStringLiteral("RDate"),
       QStringLiteral("RAddr"), QStringLiteral("RCap"), QStringLiteral("RMode"),
       QStringLiteral("Field"), QStringLiteral("Model"), QStringLiteral("Prod"),
       QStringLiteral("SNum"), QStringLiteral("Intro")},
      {QStringLiteral("序号"), QStringLiteral("会员编号"), QStringLiteral("会员评价"),
       QStringLiteral("工商注册信息"), QStringLiteral("研发部门人数"), QStringLiteral("主要市场"),
       QStringLiteral("公司成立时间"), QStringLiteral("公司注册地"), QStringLiteral("资信参考人"),
       QStringLiteral("企业类型"), QStringLiteral("主营行业"), QStringLiteral("经营模式"),
       QStringLiteral("主营产品或服务"), QStringLiteral("员工人数"), QStringLiteral("公司介绍")}};
  return list;
}

}  // namespace quenlo
