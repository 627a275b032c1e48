#include "shell/worker_limit.h"

#include <cmath>

namespace quenlo {
namespace {

bool IsBlank(QChar c) { return c == u' ' || c == u'\t' || c == u'\n'; }

// Collects the characters of the number at the start of text, blanks removed.
QString NumberPrefix(const QString& text) {
  QString out;
  bool digits = false, point = false, exponent = false;
  for (QChar c : text) {
    if (IsBlank(c)) continue;
    const QChar last = out.isEmpty() ? QChar() : out.back();
    if (c.isDigit() && c.unicode() < 128) {
      out += c;
      digits = true;
    } else if ((c == u'+' || c == u'-') && (out.isEmpty() || last == u'E')) {
      out += c;
    } else if (c == u'.' && !point && !exponent) {
      out += c;
      point = true;
    } else if ((c == u'e' || c == u'E' || c == u'd' || c == u'D') && digits && !exponent) {
      out += u'E';
      exponent = true;
    } else {
      break;
    }
  }
  // Drop an unfinished exponent or a lone sign/point left at the end.
  while (!out.isEmpty() && !out.back().isDigit()) {
    if (out.back() == u'.' && digits) break;
    out.chop(1);
  }
  return out;
}

}  // namespace

double LeadingNumber(const QString& text) {
  bool ok = false;
  const double value = NumberPrefix(text).toDouble(&ok);
  return ok && std::isfinite(value) ? value : 0.0;
}

std::optional<int> ParseWorkerLimit(const QString& text) {
  const double rounded = std::nearbyint(LeadingNumber(text));  // halves to even
  if (rounded < kMinWorkerLimit || rounded > kMaxWorkerLimit) return std::nullopt;
  return static_cast<int>(rounded);
}

int WorkerLimitFromSetting(const QString& stored) {
  return ParseWorkerLimit(stored).value_or(kDefaultWorkerLimit);
}

std::optional<int> AskWorkerLimit(int current, const AnswerAsker& ask) {
  const QString prompt = QString::fromUtf8(kWorkerLimitPrompt);
  for (;;) {
    const QString answer = ask(prompt, QString::number(current));
    if (answer.isEmpty()) return std::nullopt;
    if (auto limit = ParseWorkerLimit(answer)) return limit;
  }
}

}  // namespace quenlo
