// Putting a new copy over a file: the whole copy or nothing. Works in a scratch folder of its own.
#include "app/FileReplace.h"
#include "framework/Handles.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace {

class FileReplace : public testing::Test
{
protected:
    std::vector<std::wstring> Names() const { return FilesIn(m_folder.Path().c_str()); }
    static std::string Pattern(size_t nBytes, unsigned nSeed)
    {
        std::string bytes(nBytes, '\0');
        for (size_t i = 0; i < nBytes; ++i) {
            nSeed = nSeed * 1103515245u + 12345u;
            bytes[i] = char(nSeed >> 16);
        }
        return bytes;
    }

    CScratchFolder m_folder{L"replace"};
    const std::wstring m_strSource = m_folder.Sub(L"new.exe");
    const std::wstring m_strTarget = m_folder.Sub(L"installed.exe");
};

}  // namespace

TEST_F(FileReplace, TheCopyTakesTheTargetsPlaceAndNothingElseStays)
{
    const std::string fresh = Pattern(300 * 1024 + 17, 7);
    ASSERT_TRUE(WriteFileBytes(m_strSource, fresh));
    // No target yet: it is made; an old one: it is replaced, shorter or longer.
    EXPECT_TRUE(ReplaceFileWithCopy(m_strSource.c_str(), m_strTarget.c_str()));
    EXPECT_EQ(ReadFileBytes(m_strTarget), fresh);
    ASSERT_TRUE(WriteFileBytes(m_strTarget, Pattern(900 * 1024, 3)));
    EXPECT_TRUE(ReplaceFileWithCopy(m_strSource.c_str(), m_strTarget.c_str()));
    EXPECT_EQ(ReadFileBytes(m_strTarget), fresh);
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"installed.exe", L"new.exe"}));

    // Temporary files of copies killed on the way go at the next replace; files that only look alike stay.
    for (const wchar_t* pszName : {L"installed.exe.~1f2e3d.tmp", L"installed.exe.~0.tmp", L"installed.exe.~1.txt",
                                   L"other.exe.~1f2e3d.tmp"})
        ASSERT_TRUE(WriteFileBytes(m_folder.Sub(pszName), "left over"));
    EXPECT_TRUE(ReplaceFileWithCopy(m_strSource.c_str(), m_strTarget.c_str()));
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"installed.exe", L"installed.exe.~1.txt", L"new.exe",
                                                  L"other.exe.~1f2e3d.tmp"}));
}

TEST_F(FileReplace, ARenameRefusedForAMomentIsTriedAgain)
{
    // Large enough that the copy is still being written when the scanner below starts watching.
    const std::string fresh = Pattern(48 * 1024 * 1024, 19);
    ASSERT_TRUE(WriteFileBytes(m_strSource, fresh));
    ASSERT_TRUE(WriteFileBytes(m_strTarget, "old"));
    // A virus scanner: it opens the new file as soon as it appears and keeps it open for a while,
    // without letting anyone rename it meanwhile.
    struct Scanner
    {
        std::wstring strPattern;
        size_t nExpectedBytes;
        bool bHeld = false;
        static DWORD WINAPI Run(LPVOID pParam)
        {
            auto* self = static_cast<Scanner*>(pParam);
            const std::wstring strFolder = self->strPattern.substr(0, self->strPattern.rfind(L'\\') + 1);
            for (int nTry = 0; nTry < 20000 && !self->bHeld; ++nTry) {
                WIN32_FIND_DATAW found{};
                UniqueFindFile find(FindFirstFileW(self->strPattern.c_str(), &found));
                if (!find) {
                    Sleep(1);
                    continue;
                }
                UniqueFile file(CreateFileW((strFolder + found.cFileName).c_str(), GENERIC_READ,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
                if (!file)
                    continue;
                self->bHeld = true;
                // Still held when the writer is done and renames it.
                LARGE_INTEGER size{};
                for (int nWait = 0; nWait < 20000 && GetFileSizeEx(file.get(), &size) &&
                                    size.QuadPart < LONGLONG(self->nExpectedBytes);
                     ++nWait)
                    Sleep(1);
                Sleep(400);
            }
            return 0;
        }
    } scanner{m_strTarget + L".~*.tmp", fresh.size()};
    UniqueHandle thread(CreateThread(nullptr, 0, Scanner::Run, &scanner, 0, nullptr));
    ASSERT_TRUE(thread);

    EXPECT_TRUE(ReplaceFileWithCopy(m_strSource.c_str(), m_strTarget.c_str())) << GetLastError();
    WaitForSingleObject(thread.get(), 30000);
    ASSERT_TRUE(scanner.bHeld) << "the scanner never caught the new file";
    EXPECT_TRUE(ReadFileBytes(m_strTarget) == fresh);
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"installed.exe", L"new.exe"}));
}

TEST_F(FileReplace, ACopyCutShortLeavesTheOldTargetWholeAndNoTemporaryFile)
{
    const std::string old = Pattern(200 * 1024, 11);
    ASSERT_TRUE(WriteFileBytes(m_strTarget, old));
    // A source whose bytes stop coming half-way: a pipe whose writer goes away after 256 KiB, as a
    // file on a share does when the network drops.
    const std::wstring source = L"\\\\.\\pipe\\torvel-replace-" + std::to_wstring(GetCurrentProcessId());
    UniqueFile pipe(CreateNamedPipeW(source.c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE | PIPE_WAIT, 1, 65536, 65536,
                                     0, nullptr));
    ASSERT_TRUE(pipe);
    struct Writer
    {
        static DWORD WINAPI Run(LPVOID pParam)
        {
            HANDLE hPipe = static_cast<HANDLE>(pParam);
            ConnectNamedPipe(hPipe, nullptr);
            const std::string half = Pattern(256 * 1024, 5);
            DWORD written = 0;
            WriteFile(hPipe, half.data(), DWORD(half.size()), &written, nullptr);
            FlushFileBuffers(hPipe);
            DisconnectNamedPipe(hPipe);
            return 0;
        }
    };
    UniqueHandle writer(CreateThread(nullptr, 0, Writer::Run, pipe.get(), 0, nullptr));
    ASSERT_TRUE(writer);

    EXPECT_FALSE(ReplaceFileWithCopy(source.c_str(), m_strTarget.c_str()));
    const DWORD dwError = GetLastError();
    EXPECT_TRUE(dwError == ERROR_BROKEN_PIPE || dwError == ERROR_PIPE_NOT_CONNECTED) << dwError;
    WaitForSingleObject(writer.get(), 10000);
    EXPECT_TRUE(ReadFileBytes(m_strTarget) == old) << "the old target was changed";
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"installed.exe"}));
}

TEST_F(FileReplace, AnOpenTargetFailsWithItsSharingErrorAndStaysAsItWas)
{
    const std::string old = Pattern(64 * 1024, 13);
    ASSERT_TRUE(WriteFileBytes(m_strTarget, old));
    ASSERT_TRUE(WriteFileBytes(m_strSource, Pattern(128 * 1024, 17)));
    // Open the way a loaded executable is: readable by others, never writable.
    UniqueFile running(CreateFileW(m_strTarget.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(running);
    EXPECT_FALSE(ReplaceFileWithCopy(m_strSource.c_str(), m_strTarget.c_str()));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_SHARING_VIOLATION));
    EXPECT_TRUE(ReadFileBytes(m_strTarget) == old);
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"installed.exe", L"new.exe"}));
}
