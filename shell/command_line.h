// What quenlo was asked to do on its command line, and the usage text.
#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace quenlo {

enum class LaunchMode { Window, CreateDatabase, Harvest, Export, Help, Unknown };

// args: the arguments after the program name.
LaunchMode ClassifyCommandLine(const QStringList& args);

QString UsageText();

// Whether a window can be shown: a platform was named or a display is there.
bool HasDisplay(const QProcessEnvironment& env);
// The one line printed instead of a toolkit error when there is no display.
QString NoDisplayText();

}  // namespace quenlo
