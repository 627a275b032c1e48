#include "store/worker_limit.h"

#include "store/settings.h"
#include "worker/leading_number.h"

#include <QByteArray>
#include <string_view>

namespace quenlo {

std::optional<int> ParseWorkerLimit(const QString& text) {
  const QByteArray utf8 = text.toUtf8();
  const std::optional<int> rounded = pitrel::RoundToInt32(
      pitrel::LeadingNumber(std::string_view(utf8.constData(), std::size_t(utf8.size()))));
  if (!rounded || *rounded < kMinWorkerLimit || *rounded > kMaxWorkerLimit) return std::nullopt;
  return rounded;
}

int WorkerLimitFromSetting(const QString& stored) {
  return ParseWorkerLimit(stored).value_or(kDefaultWorkerLimit);
}

int StoredWorkerLimit() {
  return WorkerLimitFromSetting(
      GetSettingValue(kSettingsApplication, kSettingsSection, QStringLiteral("Max_Thread"), {}));
}

std::optional<int> AskWorkerLimit(int current, const AnswerAsker& ask) {
  QString prompt = QString::fromUtf8(kWorkerLimitPrompt);
  for (;;) {
    const QString answer = ask(prompt, QString::number(current));
    if (answer.isEmpty()) return std::nullopt;
    if (auto limit = ParseWorkerLimit(answer)) return limit;
    prompt = QString::fromUtf8(kWorkerLimitRetryPrompt).arg(answer);
  }
}

}  // namespace quenlo
