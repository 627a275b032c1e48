// The short user manual shown on the main window's help tab.
#pragma once

#include <QString>

namespace quenlo {

QString UserManualText();

}  // namespace quenlo
