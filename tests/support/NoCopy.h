// The base of the tests' owners of something outside the object (a window, a folder, a setting, a
// server): each has one owner, so none is copied.
#pragma once

class CNoCopy
{
public:
    CNoCopy(const CNoCopy&) = delete;
    CNoCopy& operator=(const CNoCopy&) = delete;

protected:
    CNoCopy() = default;
    ~CNoCopy() = default;
};
