#include "harvest/result_file.h"

#include "harvest/wait_ticks.h"
#include "harvest/worker_protocol.h"
#include "ports/event_pump.h"
#include "ports/messenger.h"

#include <QFile>
#include <QStringDecoder>

namespace quenlo {

bool ResultReady(const QString& fileName) { return QFile::exists(fileName); }

QString DecodeResult(const QByteArray& bytes) {
  QStringDecoder decoder(pitrel::kResultEncoding);
  if (!decoder.isValid()) return QString::fromLocal8Bit(bytes);
  return decoder.decode(bytes);
}

namespace {

// One attempt: false when the file cannot be opened or read.
bool ReadWhole(const QString& fileName, QByteArray* bytes) {
  QFile file(fileName);
  if (!file.open(QIODevice::ReadOnly)) return false;
  *bytes = file.readAll();
  return file.error() == QFile::NoError;
}

}  // namespace

QString ReadResultFile(const QString& fileName, bool deleteFile) {
  // The caller has seen the file under its final name, so the first attempt
  // reads at once; only retries pause.
  ActivePump().ProcessPending();
  for (int attempt = 1; attempt <= kResultReadAttempts; ++attempt) {
    if (attempt > 1) WaitTicks(200);
    QByteArray bytes;
    if (!ReadWhole(fileName, &bytes)) continue;
    if (bytes.isEmpty()) {
      WaitTicks(1000);
      continue;
    }
    if (deleteFile) QFile::remove(fileName);
    return DecodeResult(bytes);
  }
  ShowMessage(QStringLiteral("无法打开下载文档：\r\n") + fileName);
  return {};
}

}  // namespace quenlo
