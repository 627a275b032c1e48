// Long operations run on the window thread and keep the window alive by
// pumping its events between their steps. Pumping never spins the CPU: a wait
// sleeps until an event arrives or the time is up.
#pragma once

namespace quenlo {

class EventPump {
 public:
  virtual ~EventPump() = default;
  // Handles the events that are pending now, without waiting.
  virtual void ProcessPending() = 0;
  // The same, but the user's input waits for a later pump: a grid operation
  // in progress must not have a click sort, refill or delete under it.
  virtual void ProcessPendingExceptInput() { ProcessPending(); }
  // Sleeps until an event arrives (and handles it) or milliseconds pass.
  virtual void WaitForEvents(int milliseconds) = 0;
};

// The pump in force; never null. The default one drives the Qt event loop of
// the running QCoreApplication (or just sleeps when there is none).
EventPump& ActivePump();
void SetActivePump(EventPump* pump);  // nullptr restores the default

}  // namespace quenlo
