// The fixed texts the exports show: messages, questions, progress captions
// and sheet names.
#pragma once

#include <QString>

namespace quenlo {

inline const QString kNoDataMessage = QStringLiteral("表格中没有数据！");
inline const QString kOverwriteQuestion = QStringLiteral("该文件已存在，是否覆盖？");
inline const QString kCannotOverwriteMessage =
    QStringLiteral("该文件无法覆盖，请确认该文件没被其他软件打开！");
inline const QString kSaveFailedMessage = QStringLiteral("文件保存出错！");
inline const QString kRecordBaseTargetMessage =
    QStringLiteral("该文件是本程序的数据库或其日志文件，不能用作导出文件！请另选文件名。");

// A workbook export that had to cut cells (a sheet cell holds 32767 characters).
inline QString CutCellsMessage(int count) {
  return QStringLiteral("有 %1 个单元格超过 32767 个字符（表格单元格的上限），已截断保存。")
      .arg(count);
}

// A failure's text with why, on a line of its own, when why is known.
inline QString WithReason(const QString& message, const QString& why) {
  return why.isEmpty() || why == message ? message : message + QStringLiteral("\r\n") + why;
}

inline const QString kCsvProgressCaption = QStringLiteral("正在导出数据至CSV格式文件……");
inline const QString kWorkbookProgressCaption = QStringLiteral("正在将数据导出到EXCEL文件 …");
inline const QString kVCardProgressCaption = QStringLiteral("正在导出数据至vCard文件……");
inline const QString kProgressUnit = QStringLiteral("pages");

inline const QString kAddressSheetTitle = QStringLiteral("阿里巴巴会员地址");
inline const QString kProfileSheetTitle = QStringLiteral("阿里巴巴会员企业介绍");
inline const QString kTableSheetName = QStringLiteral("淘宝交易数据");

}  // namespace quenlo
