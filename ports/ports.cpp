#include "ports/event_pump.h"
#include "ports/messenger.h"
#include "ports/progress_sink.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <QTimer>
#include <cstdio>

namespace quenlo {
namespace {

class StderrMessenger final : public Messenger {
 public:
  void ShowMessage(const QString& text) override {
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
  }
  bool AskYesNo(const QString& text) override {
    std::fprintf(stderr, "%s (answered No)\n", text.toLocal8Bit().constData());
    return false;
  }
};

class SilentProgress final : public ProgressSink {
 public:
  void Begin(const QString&, int total, int& start) override {
    total_ = total;
    if (start < 0) start = position_;
    position_ = start;
  }
  void Step(int count, const QString&) override { position_ += count; }
  void SetPosition(int position) override { position_ = position; }
  void End() override {}

 private:
  int total_ = 0;
  int position_ = 0;
};

class QtEventPump final : public EventPump {
 public:
  void ProcessPending() override {
    if (QCoreApplication::instance()) QCoreApplication::processEvents(QEventLoop::AllEvents);
  }
  void ProcessPendingExceptInput() override {
    if (QCoreApplication::instance())
      QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  }
  void WaitForEvents(int milliseconds) override {
    if (milliseconds <= 0) return ProcessPending();
    if (!QCoreApplication::instance()) return QThread::msleep(milliseconds);
    // WaitForMoreEvents sleeps until something arrives; the timer bounds the
    // sleep when nothing at all happens.
    QTimer wake;
    wake.setSingleShot(true);
    wake.start(milliseconds);
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
  }
};

StderrMessenger default_messenger;
SilentProgress default_progress;
QtEventPump default_pump;
Messenger* active_messenger = &default_messenger;
ProgressSink* active_progress = &default_progress;
EventPump* active_pump = &default_pump;

}  // namespace

Messenger& ActiveMessenger() { return *active_messenger; }
void SetActiveMessenger(Messenger* m) { active_messenger = m ? m : &default_messenger; }
ProgressSink& ActiveProgress() { return *active_progress; }
void SetActiveProgress(ProgressSink* s) { active_progress = s ? s : &default_progress; }
EventPump& ActivePump() { return *active_pump; }
void SetActivePump(EventPump* p) { active_pump = p ? p : &default_pump; }

}  // namespace quenlo
