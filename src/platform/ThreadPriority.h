#pragma once

namespace kaz {

// The priority a long operation runs at, chosen in the Priority menu.
enum class ThreadPriority { Normal = 0, Idle = 1, Low = 2, High = 3 };

// The nice value that stands for a priority: 19, 5, 0 or -5.
int niceValue(ThreadPriority priority);

// Applies the priority to the calling thread only. A raise the system
// refuses (a lower nice value without the right to it) is ignored.
void applyThreadPriority(ThreadPriority priority);

// The calling thread's nice value.
int currentThreadNice();

} // namespace kaz
