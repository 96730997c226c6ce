// Keeps the main window alive during long work on the one thread.
#pragma once

// Dispatches at most one timer, one paint and one key-down message of the main window, so that
// the clock runs, the screen repaints and Esc reaches the window (which sets AbortFlag while
// BusyFlag is set). Looks at the queue at most every PUMP_INTERVAL_MS; calls in between cost
// nothing, so long work may call it before and after every small step.
void PumpMessages();
// The next PumpMessages looks at the queue whatever the time.
void PumpNow();

enum { PUMP_INTERVAL_MS = 15 };
