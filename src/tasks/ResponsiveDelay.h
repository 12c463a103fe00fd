#pragma once

namespace pellorin::tasks {

// Units of ResponsiveDelay's amount.
enum class DelayUnit { Millisecond = 0, Second = 1, Minute = 2, Hour = 3 };

// Waits the given time on the window thread while its events go on being handled: clicks
// during the wait run their handlers nested inside it, and a wait started by such a
// handler ends before this one returns. Returns at its due time, never earlier; at once
// for an amount of 0 or less. Off the window thread it simply sleeps.
bool ResponsiveDelay(long long amount, DelayUnit unit = DelayUnit::Millisecond);

} // namespace pellorin::tasks
