// Short colon-separated durations for the progress display: 7 s is "0:7",
// 125 s "2:5", 3725 s "1:2:5".
#pragma once

#include <QString>

namespace quenlo {

QString FormatDuration(qint64 seconds);

}  // namespace quenlo
