// The worker limit: how many pitrel workers may run at once (5 to 50). Kept
// in the settings as Max_Thread, read at start and changed through a dialog
// (the window asks; the rules here judge the answer) or by --threads.
#pragma once

#include <QString>
#include <functional>
#include <optional>

namespace quenlo {

inline constexpr int kMinWorkerLimit = 5;
inline constexpr int kMaxWorkerLimit = 50;
inline constexpr int kDefaultWorkerLimit = 15;

// The number a text starts with, read as the worker reads numbers
// (worker/leading_number.h), rounded half to even; nullopt outside 5..50.
std::optional<int> ParseWorkerLimit(const QString& text);

// A stored Max_Thread value turned into the limit in force (15 when unusable).
int WorkerLimitFromSetting(const QString& stored);

// The limit in force by the stored Max_Thread setting.
int StoredWorkerLimit();

inline constexpr char kWorkerLimitPrompt[] = "请输入线程数（5-50）：";
// Asked again after an unusable answer, which it names.
inline constexpr char kWorkerLimitRetryPrompt[] =
    "“%1”不可用：线程数必须是 5 到 50 之间的整数。\n请输入线程数（5-50）：";

// Asks for a new limit until the answer is usable, saying after an unusable
// answer why it was not taken. ask(prompt, default answer) returns the
// answer; an empty answer (also Cancel) ends without a change.
using AnswerAsker = std::function<QString(const QString& prompt, const QString& defaultAnswer)>;
std::optional<int> AskWorkerLimit(int current, const AnswerAsker& ask);

}  // namespace quenlo
