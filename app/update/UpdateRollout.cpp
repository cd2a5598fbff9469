#include "app/update/UpdateRollout.h"

#include <windows.h>
#include <bcrypt.h>

#include "framework/Handles.h"

const wchar_t kRolloutValueName[] = L"UpdateRollout";

namespace {

constexpr int kRolloutSlots = 100;
// Where no number can be drawn: the last slot, reached only at rollout=100.
constexpr int kLastSlot = kRolloutSlots - 1;

}  // namespace

int DrawRolloutNumber()
{
    // A byte below 200 taken modulo 100 gives each number exactly twice; bytes of 200 and above are
    // drawn again, or the numbers below 56 would come more often than the rest.
    for (int nTry = 0; nTry < 64; ++nTry) {
        UCHAR byte = 0;
        if (BCryptGenRandom(nullptr, &byte, sizeof byte, BCRYPT_USE_SYSTEM_PREFERRED_RNG) < 0)
            return -1;
        if (byte < 2 * kRolloutSlots)
            return byte % kRolloutSlots;
    }
    return -1;
}

int InstallationRolloutNumber(const CString& strProfileKey)
{
    UniqueRegKey key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, strProfileKey, 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr,
                        key.put(), nullptr) != ERROR_SUCCESS)
        key.reset();
    if (key) {
        DWORD dwValue = 0, dwType = 0, cb = sizeof dwValue;
        if (RegQueryValueExW(key.get(), kRolloutValueName, nullptr, &dwType, reinterpret_cast<BYTE*>(&dwValue), &cb) ==
                ERROR_SUCCESS &&
            dwType == REG_DWORD && cb == sizeof dwValue && dwValue < DWORD(kRolloutSlots))
            return int(dwValue);
    }
    const int nDrawn = DrawRolloutNumber();
    if (nDrawn < 0)
        return kLastSlot;
    if (key) {
        // Kept, or the installation would draw again at every start and sooner or later take every
        // rollout; a number that cannot be kept still serves this run.
        const DWORD dwValue = DWORD(nDrawn);
        RegSetValueExW(key.get(), kRolloutValueName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dwValue), sizeof dwValue);
    }
    return nDrawn;
}
