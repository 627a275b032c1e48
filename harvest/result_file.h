// Result files of the workers: complete once they exist under their final
// name (the worker renames them into place), in the GBK family of encodings.
#pragma once

#include <QString>

namespace quenlo {

inline constexpr int kResultReadAttempts = 100;

// A file of that name exists in the current directory.
bool ResultReady(const QString& fileName);

// The whole text of a result file, deleting it afterwards when deleteFile is
// set. An attempt that cannot open the file or finds it empty is repeated
// after a pause; after 100 failed attempts the user is told and the result
// is the empty text.
QString ReadResultFile(const QString& fileName, bool deleteFile);

// The text of a result file's bytes (GB18030, a superset of GBK).
QString DecodeResult(const QByteArray& bytes);

}  // namespace quenlo
