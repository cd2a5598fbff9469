// The flags the client gives the system for its hotkeys. A held key must act once (MOD_NOREPEAT),
// but Wine repeats WM_HOTKEY for a held key whatever the flags say, so no key press here can show
// it; Wine's own diagnostics record every RegisterHotKey call as the system receives it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <set>
#include <sstream>
#include <string>

#include "MainWndDriver.h"
#include "support/ClientWindows.h"
#include "support/FilesAndKeys.h"
#include "support/Wait.h"

namespace {

struct Registration
{
    unsigned long modifiers;
    unsigned long key;
};

// The RegisterHotKey calls for hWnd in Wine's keyboard diagnostics, by hotkey id:
// "trace:keyboard:NtUserRegisterHotKey (0x10048,2,0x00004000,79)", all numbers in hex but the id.
std::map<int, std::vector<Registration>> RegistrationsFor(const std::string& log, HWND hWnd)
{
    static const char kCall[] = ":NtUserRegisterHotKey (";
    std::map<int, std::vector<Registration>> found;
    std::istringstream lines(log);
    for (std::string line; std::getline(lines, line);) {
        const size_t at = line.find(kCall);
        if (at == std::string::npos)
            continue;
        char* p = &line[at + sizeof kCall - 1];
        const unsigned long long window = strtoull(p, &p, 16);
        const int nId = static_cast<int>(strtol(p + 1, &p, 10));
        Registration r{};
        r.modifiers = strtoul(p + 1, &p, 16);
        r.key = strtoul(p + 1, &p, 16);
        if (*p == ')' && window == reinterpret_cast<ULONG_PTR>(hWnd))
            found[nId].push_back(r);
    }
    return found;
}

}  // namespace

TEST(MainWindowE2E, EveryHotKeyIsRegisteredToActOncePerPress)
{
    CPatchedClient copy(kUnreachableGameUrl);
    ASSERT_TRUE(copy.Ready());
    const CString strLog = TempPath(L"TorvelHotKeyFlags.log");
    ::DeleteFileW(strLog);
    ClientProcess client;
    ASSERT_TRUE(client.StartWithWineDiagnostics(copy.Path(), "trace+keyboard", strLog));
    HWND hMain = WaitForMainWindow(client.Id());
    ASSERT_NE(hMain, nullptr);
    // The refresh and screenshot keys are taken while the window is active.
    std::map<int, std::vector<Registration>> registered;
    EXPECT_TRUE(WaitUntil([&] {
        registered = RegistrationsFor(ReadFileBytes(strLog), hMain);
        return registered.size() == 4;
    }, 10000)) << registered.size() << " hotkeys registered";
    EXPECT_TRUE(CloseThroughPrompt(client, hMain));
    ::DeleteFileW(strLog);

    EXPECT_EQ((std::set<int>{1, 2, 3, 4}), [&] {
        std::set<int> ids;
        for (const auto& entry : registered)
            ids.insert(entry.first);
        return ids;
    }());
    for (const auto& [nId, calls] : registered) {
        for (const Registration& r : calls) {
            EXPECT_EQ(r.modifiers & MOD_NOREPEAT, unsigned(MOD_NOREPEAT)) << "hotkey " << nId << " repeats while held";
            EXPECT_EQ(r.modifiers & ~unsigned(MOD_NOREPEAT | MOD_ALT | MOD_CONTROL | MOD_SHIFT), 0u)
                << "hotkey " << nId;
            EXPECT_NE(r.key, 0u) << "hotkey " << nId;
        }
    }
    // F5 is the refresh key whatever the settings say.
    ASSERT_FALSE(registered[1].empty());
    EXPECT_EQ(registered[1].back().key, unsigned(VK_F5));
    EXPECT_EQ(registered[1].back().modifiers, unsigned(MOD_NOREPEAT));
}
