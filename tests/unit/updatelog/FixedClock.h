// The update log's clock held at 2027-03-07 08:09:05, so its lines can be compared whole.
#pragma once
#include <windows.h>

#include "app/UpdateLog.h"
#include "support/NoCopy.h"

inline SYSTEMTIME March7th2027()
{
    return SYSTEMTIME{2027, 3, 0, 7, 8, 9, 5, 0};
}

// Sets the clock for its lifetime and puts the previous one back.
class FixedClock : CNoCopy
{
public:
    FixedClock() : m_pfnPrevious(SetUpdateLogClock(&March7th2027)) {}
    ~FixedClock() { SetUpdateLogClock(m_pfnPrevious); }

private:
    UpdateLogClock m_pfnPrevious;
};
