#include "harvest/page_failure.h"

#include "harvest/worker_protocol.h"

#include <QFile>

namespace quenlo {

namespace {

QString CompanionOf(const QString& resultFile) {
  return FromProtocol(pitrel::FailureFileFor(resultFile.toStdString()));
}

QString TemporaryOf(const QString& file) {
  return FromProtocol(pitrel::TemporaryResultFile(file.toStdString()));
}

}  // namespace

std::optional<pitrel::PageFailure> TakePageFailure(const QString& resultFile) {
  QFile companion(CompanionOf(resultFile));
  if (!companion.exists()) return std::nullopt;
  const QByteArray text = companion.open(QIODevice::ReadOnly) ? companion.read(4096) : QByteArray();
  companion.close();
  companion.remove();
  if (auto failure =
          pitrel::ParsePageFailure(std::string_view(text.constData(), size_t(text.size()))))
    return failure;
  return pitrel::PageFailure{true, 0, std::nullopt,
                             "the worker's failure report could not be read"};
}

void RemoveWorkerFiles(const QString& resultFile) {
  const QString companion = CompanionOf(resultFile);
  for (const QString& file :
       {resultFile, TemporaryOf(resultFile), companion, TemporaryOf(companion)})
    QFile::remove(file);
}

}  // namespace quenlo
