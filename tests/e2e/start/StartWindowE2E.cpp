// The start window in a process of its own, started from a copy whose login address (string 114)
// points at a loopback server: the popup's first navigation to an address with the game-start
// marker is cancelled and handed over without any page being shown, an ordinary login page keeps
// the window waiting, and a confirmed close prompt ends the process with 0.
#include <gtest/gtest.h>

#include "support/ClientWindows.h"
#include "support/FilesAndKeys.h"
#include "support/ResourcePatch.h"
#include "support/LoopbackHttpServer.h"
#include "app/Paths.h"
#include "res/resource.h"

namespace {
const wchar_t kTitle[] = L"《Vantor》微端";

class CHostCopy
{
public:
    explicit CHostCopy(const std::wstring& strLoginUrl)
    {
        m_strFolder = TempPath(L"TorvelStartE2E" + std::to_wstring(GetCurrentProcessId()));
        m_strExe = CopyExecutableTo(TestBinDir() + L"start_window_host.exe", m_strFolder);
        if (m_strExe.IsEmpty())
            return;
        CResourcePatch patch(m_strExe);
        patch.SetString(IDS_LOGIN_URL, strLoginUrl.c_str());
        m_bReady = patch.Commit();
        m_strResult = m_strFolder + L"\\game_url.txt";
        DeleteFileW(m_strResult);
    }
    ~CHostCopy()
    {
        // The start window installs the program it runs in: the copy it left in the data folder.
        if (!GetDataDir().IsEmpty())
            DeleteFileW(GetDataDir() + L"start_window_host.exe");
        DeleteFileW(m_strResult);
        DeleteFileW(m_strExe);
        RemoveDirectoryW(m_strFolder);
    }
    bool Start(ClientProcess& process) const
    {
        return m_bReady && process.Start(m_strExe, L"\"" + m_strExe + L"\" \"" + m_strResult + L"\"");
    }
    std::string Result() const
    {
        std::string bytes;
        UniqueFile file(CreateFileW(m_strResult, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        char buf[1024];
        DWORD got = 0;
        while (file && ReadFile(file.get(), buf, sizeof buf, &got, nullptr) && got)
            bytes.append(buf, got);
        return bytes;
    }

private:
    CString m_strFolder, m_strExe, m_strResult;
    bool m_bReady = false;
};

// The popup: the visible 700 x 460 window of the process.
HWND FindPopup(const ClientProcess& process)
{
    for (HWND hwnd : process.TopLevelWindows(true)) {
        RECT rc{};
        GetWindowRect(hwnd, &rc);
        if (rc.right - rc.left == 700 && rc.bottom - rc.top == 460)
            return hwnd;
    }
    return nullptr;
}
}  // namespace

TEST(StartWindowE2E, TheGameAddressAsLoginSiteIsHandedOverWithoutBeingFetched)
{
    CPageServer server;
    ASSERT_TRUE(server.IsListening());
    std::wstring strGame = server.Url(L"/vorq/start?play_gamecode=e2e&s=3");
    CHostCopy copy(strGame);
    ClientProcess process;
    ASSERT_TRUE(copy.Start(process));
    ASSERT_TRUE(process.WaitForExit(30000)) << "the start window did not end";
    EXPECT_EQ(process.ExitCode(), 0u);
    EXPECT_EQ(copy.Result(), CString(strGame.c_str()).ToUtf8());
    EXPECT_EQ(server.CountRequestsContaining("play_gamecode"), 0) << "the popup went to the game address";
}

TEST(StartWindowE2E, AnOrdinaryLoginPageKeepsItWaitingAndAConfirmedPromptEndsWithZero)
{
    CPageServer server;
    ASSERT_TRUE(server.IsListening());
    CHostCopy copy(server.Url(L"/vorq/login/"));
    ClientProcess process;
    ASSERT_TRUE(copy.Start(process));
    HWND hStart = process.WaitForWindow(kTitle);
    ASSERT_NE(hStart, nullptr);
    // The login page is requested, and the window goes on waiting for the player.
    for (int i = 0; i < 200 && server.CountRequestsContaining("/vorq/login/") == 0; ++i)
        Sleep(50);
    EXPECT_EQ(server.CountRequestsContaining("/vorq/login/"), 1);
    EXPECT_FALSE(process.WaitForExit(500));
    RECT rcStart{}, rcPopup{};
    GetWindowRect(hStart, &rcStart);
    HWND hPopup = FindPopup(process);
    ASSERT_NE(hPopup, nullptr);
    GetWindowRect(hPopup, &rcPopup);
    EXPECT_EQ(rcPopup.left - rcStart.left, 359);
    EXPECT_EQ(rcPopup.top - rcStart.top, 197);

    // Declined first: everything stays.
    PostMessageW(hStart, WM_SYSCOMMAND, SC_CLOSE, 0);
    HWND hBox = WaitForMessageBox(process, 15000);
    ASSERT_NE(hBox, nullptr) << "no close prompt";
    SendMessageW(GetDlgItem(hBox, IDCANCEL), BM_CLICK, 0, 0);
    EXPECT_FALSE(process.WaitForExit(500));
    EXPECT_TRUE(IsWindowVisible(hStart));
    EXPECT_TRUE(IsWindowVisible(hPopup));

    // The popup's close button, confirmed: the process ends with 0 and hands nothing over.
    PostMessageW(hPopup, WM_COMMAND, MAKEWPARAM(IDC_POPUP_BTN_1027, BN_CLICKED), 0);
    hBox = WaitForMessageBox(process, 15000);
    ASSERT_NE(hBox, nullptr) << "no close prompt from the popup";
    SendMessageW(GetDlgItem(hBox, IDOK), BM_CLICK, 0, 0);
    ASSERT_TRUE(process.WaitForExit(15000));
    EXPECT_EQ(process.ExitCode(), 0u);
    EXPECT_EQ(copy.Result(), "") << "a result file was written";
}
