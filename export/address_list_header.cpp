#include "export/address_list_header.h"

#include <QString>
#include <array>

#include "browser/grid_model.h"
#include "store/database.h"

namespace quenlo {
namespace {

struct AddressColumn {
  const char16_t* field;
  const char16_t* caption;
};

constexpr std::array<AddressColumn, 12> kAddressColumns{{
    {u"", u"序号"},
    {u"AName", u"会员编号"},
    {u"CName", u"公司名称"},
    {u"RName", u"联系人"},
    {u"RMob", u"手机"},
    {u"RPhone", u"电话"},
    {u"RFax", u"传真"},
    {u"RSex", u"性别"},
    {u"RJob", u"职务"},
    {u"CAddr", u"地址"},
    {u"CPC", u"邮编"},
    {u"CUrl", u"网址"},
}};

}  // namespace

void SetUpAddressListHeader(GridModel& grid) {
  grid.SetCols(static_cast<int>(kAddressColumns.size()));
  grid.SetRows(2);
  grid.SetFixedRows(2);
  grid.SetFixedCols(1);
  grid.SetRowHeight(0, 0);
  for (int col = 0; col < grid.Cols(); ++col) {
    grid.SetTextMatrix(0, col, QString::fromUtf16(kAddressColumns[col].field));
    grid.SetTextMatrix(1, col, QString::fromUtf16(kAddressColumns[col].caption));
  }
  grid.SetTag(kContactTable);
}

}  // namespace quenlo
