// Two client processes appending to the log at the same moment must not lose or mix lines.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "unit/updatelog/ScratchFolder.h"

namespace {

std::wstring WriterPath()
{
    wchar_t szSelf[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, szSelf, MAX_PATH);
    std::wstring path(szSelf);
    return path.substr(0, path.rfind(L'\\') + 1) + L"updatelog_writer.exe";
}

struct Writer
{
    PROCESS_INFORMATION pi{};
    bool Start(const std::wstring& log, const wchar_t* tag, const std::wstring& eventName)
    {
        std::wstring cmd = L"updatelog_writer.exe \"" + log + L"\" " + tag + L" 1000 " + eventName;
        STARTUPINFOW si{};
        si.cb = sizeof si;
        return CreateProcessW(WriterPath().c_str(), &cmd[0], nullptr, nullptr, FALSE, 0, nullptr,
                              nullptr, &si, &pi) != FALSE;
    }
    DWORD Finish()
    {
        DWORD code = 9999;
        if (WaitForSingleObject(pi.hProcess, 50000) == WAIT_OBJECT_0)
            GetExitCodeProcess(pi.hProcess, &code);
        else
            TerminateProcess(pi.hProcess, 1);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
        return code;
    }
};

} // namespace

TEST(UpdateLogConcurrency, TwoProcessesWritingAtOnceLeaveEveryLineWhole)
{
    CScratchFolder dir(L"lograce");
    CreateDirectoryW(dir.Sub(L"res").c_str(), nullptr);
    const std::wstring log = dir.Sub(L"res\\update.log");
    const std::wstring eventName = L"torvel_lograce_" + std::to_wstring(GetCurrentProcessId());
    HANDLE hStart = CreateEventW(nullptr, TRUE, FALSE, eventName.c_str());
    ASSERT_NE(hStart, nullptr);

    Writer a, b;
    ASSERT_TRUE(a.Start(log, L"A", eventName));
    ASSERT_TRUE(b.Start(log, L"B", eventName));
    SetEvent(hStart);
    EXPECT_EQ(a.Finish(), 0u) << "lines of writer A were lost";
    EXPECT_EQ(b.Finish(), 0u) << "lines of writer B were lost";
    CloseHandle(hStart);

    const std::string bytes = ReadFileBytes(log);
    ASSERT_EQ(bytes.size() % 2, 0u);
    const std::wstring text(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / 2);
    const std::wstring header = L"2027- 3- 7  8: 9: 5 : \tUpdateModule\t";

    int nextA = 0, nextB = 0, broken = 0;
    size_t pos = 0;
    while (pos < text.size()) {
        const size_t end = text.find(L"\r\n", pos);
        if (end == std::wstring::npos) {
            ++broken;
            break;
        }
        const std::wstring line = text.substr(pos, end - pos);
        pos = end + 2;
        wchar_t expectA[16], expectB[16];
        swprintf_s(expectA, L"A %04d", nextA);
        swprintf_s(expectB, L"B %04d", nextB);
        if (line == header + expectA)
            ++nextA;
        else if (line == header + expectB)
            ++nextB;
        else
            ++broken;
    }
    EXPECT_EQ(nextA, 1000);
    EXPECT_EQ(nextB, 1000);
    EXPECT_EQ(broken, 0);
    EXPECT_EQ(bytes.size(), 2000u * 2 * (36 + 6 + 2));
}
