// The system's clock, as the stopwatch reads it.
#pragma once

struct UtcTime {
    int Hour, Minute, Second, Millisecond;
};
UtcTime ReadUtcTime();
