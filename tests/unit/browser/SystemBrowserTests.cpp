// New windows opened in the system's Internet Explorer: the parameter string, and what
// ShellExecuteW("iexplore.exe") really starts, observed through a recorder program found first.
#include <gtest/gtest.h>

#include "BrowserTestSupport.h"

#include <exdispid.h>
#include <shellapi.h>
#include <wrl/client.h>

#include "browser/SystemBrowser.h"
#include "browser/MyHtmlView.h"
#include "browser/WebFormLogin.h"

using Microsoft::WRL::ComPtr;

TEST(SystemBrowser, WebAddressesBecomeOneQuotedArgument)
{
    struct Case
    {
        const wchar_t* pszUrl;
        const wchar_t* pszParams;
    } cases[] = {
        {L"http://game.example/news", L"\"http://game.example/news\""},
        {L"HTTPS://game.example/a b", L"\"HTTPS://game.example/a b\""},
        {L"http://x/\" -nohome \"", L"\"http://x/%22 -nohome %22\""},
        {L"http://x/a\\", L"\"http://x/a\\\\\""},
        {L"http://x/a\\b", L"\"http://x/a\\b\""},
        {L"http://x/\r\n\t", L"\"http://x/%0D%0A%09\""},
        {L"https://x/\u5355\u51fb", L"\"https://x/\u5355\u51fb\""},
    };
    for (const Case& c : cases) {
        CString strParams;
        EXPECT_TRUE(BuildIExploreParameters(c.pszUrl, strParams)) << c.pszUrl;
        EXPECT_EQ(std::wstring(strParams), c.pszParams);
    }
}

TEST(SystemBrowser, OtherSchemesAreRefused)
{
    const wchar_t* const urls[] = {L"file:///c:/windows/system32/calc.exe", L"javascript:alert(1)", L"-embedding",
                                   L" http://x/", L"httpx://x/", L"http:/x", L"", L"mailto:a@b", L"about:blank"};
    for (const wchar_t* pszUrl : urls) {
        CString strParams(L"left over");
        EXPECT_FALSE(BuildIExploreParameters(pszUrl, strParams)) << pszUrl;
        EXPECT_TRUE(strParams.IsEmpty());
        EXPECT_FALSE(OpenInSystemBrowser(pszUrl)) << pszUrl;
    }
}

namespace {

// Puts the recorder where ShellExecuteW finds "iexplore.exe" in the test prefix. Wine starts a program
// name with an executable extension directly, looking in the system folder before anything else
// (App Paths and the current directory are never reached), so the prefix's own iexplore.exe is set
// aside for the test and put back afterwards, also after an earlier run that did not get to. Wine
// prefers its built-in programs to files in the system folder; a DLL override makes it run the file.
class CRecorderAsIExplore
{
public:
    CRecorderAsIExplore()
    {
        wchar_t szExe[MAX_PATH];
        GetModuleFileNameW(nullptr, szExe, MAX_PATH);
        std::wstring strRecorder(szExe);
        strRecorder.resize(strRecorder.rfind(L'\\') + 1);
        strRecorder += L"iexplore_recorder.exe";
        wchar_t szSystem[MAX_PATH];
        GetSystemDirectoryW(szSystem, MAX_PATH);
        m_strTarget = std::wstring(szSystem) + L"\\iexplore.exe";
        m_strSaved = m_strTarget + L".torvel-saved";
        Restore();
        wchar_t szTemp[MAX_PATH];
        GetTempPathW(MAX_PATH, szTemp);
        m_strOutput = std::wstring(szTemp) + L"torvel_iexplore_" + std::to_wstring(GetCurrentProcessId()) + L".txt";
        DeleteFileW(m_strOutput.c_str());
        SetEnvironmentVariableW(L"TORVEL_RECORDER_OUT", m_strOutput.c_str());
        m_bReady = MoveFileExW(m_strTarget.c_str(), m_strSaved.c_str(), 0) &&
                   CopyFileW(strRecorder.c_str(), m_strTarget.c_str(), TRUE) &&
                   RegSetKeyValueW(HKEY_CURRENT_USER, kOverrides, L"iexplore.exe", REG_SZ, L"native",
                                   sizeof L"native") == ERROR_SUCCESS;
    }
    ~CRecorderAsIExplore()
    {
        // The recorder may still be finishing; give it a moment to let go of its file.
        for (int i = 0; i < 50 && GetFileAttributesW(m_strSaved.c_str()) != INVALID_FILE_ATTRIBUTES; ++i) {
            Restore();
            Sleep(20);
        }
        SetEnvironmentVariableW(L"TORVEL_RECORDER_OUT", nullptr);
        DeleteFileW(m_strOutput.c_str());
    }

    bool Ready() const { return m_bReady; }

    // The command lines recorded so far.
    std::vector<std::wstring> Lines() const
    {
        std::string bytes = ReadFileBytes(m_strOutput.c_str());
        std::wstring text(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
        std::vector<std::wstring> lines;
        for (size_t pos = 0, next; (next = text.find(L'\n', pos)) != std::wstring::npos; pos = next + 1)
            lines.push_back(text.substr(pos, next - pos));
        return lines;
    }

private:
    static constexpr const wchar_t* kOverrides = L"Software\\Wine\\DllOverrides";

    void Restore()
    {
        RegDeleteKeyValueW(HKEY_CURRENT_USER, kOverrides, L"iexplore.exe");
        if (GetFileAttributesW(m_strSaved.c_str()) != INVALID_FILE_ATTRIBUTES)
            MoveFileExW(m_strSaved.c_str(), m_strTarget.c_str(), MOVEFILE_REPLACE_EXISTING);
    }

    std::wstring m_strTarget;
    std::wstring m_strSaved;
    std::wstring m_strOutput;
    bool m_bReady = false;
};

std::vector<std::wstring> SplitCommandLine(const std::wstring& strLine)
{
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(strLine.c_str(), &argc);
    std::vector<std::wstring> args;
    for (int i = 0; argv && i < argc; ++i)
        args.push_back(argv[i]);
    LocalFree(argv);
    return args;
}

HRESULT NewWindow3(IDispatch* pSink, const wchar_t* pszUrl, VARIANT_BOOL* pCancel)
{
    IDispatch* pNew = nullptr;
    CEventParams params;
    params.DispatchRef(&pNew).BoolRef(pCancel).Long(0x4).String(L"http://127.0.0.1:9/login").String(pszUrl);
    return RaiseEvent(pSink, DISPID_NEWWINDOW3, params.Get());
}

} // namespace

TEST(SystemBrowser, LoginBrowserNewWindowStartsIExploreWithTheQuotedUrl)
{
    CRecorderAsIExplore recorder;
    ASSERT_TRUE(recorder.Ready());
    WebFormLogin login;

    VARIANT_BOOL cancel = VARIANT_FALSE;
    EXPECT_EQ(NewWindow3(&login, L"http://127.0.0.1:9/news page?q=\"x\" -k", &cancel), S_OK);
    EXPECT_EQ(cancel, VARIANT_TRUE);
    ASSERT_TRUE(PumpUntil([&] { return !recorder.Lines().empty(); }, 10000)) << "iexplore.exe was not started";
    std::vector<std::wstring> args = SplitCommandLine(recorder.Lines()[0]);
    ASSERT_EQ(args.size(), 2u) << recorder.Lines()[0].c_str();
    EXPECT_EQ(args[1], L"http://127.0.0.1:9/news page?q=%22x%22 -k");

    // Another scheme: cancelled, and nothing is started.
    cancel = VARIANT_FALSE;
    EXPECT_EQ(NewWindow3(&login, L"file:///c:/windows/notepad.exe", &cancel), S_OK);
    EXPECT_EQ(cancel, VARIANT_TRUE);
    PumpFor(1500);
    EXPECT_EQ(recorder.Lines().size(), 1u);
}

TEST(SystemBrowser, GameViewNewWindowStartsIExploreWithTheQuotedUrl)
{
    CRecorderAsIExplore recorder;
    ASSERT_TRUE(recorder.Ready());
    CTestHostWindow host;
    CMyHtmlView view;
    ASSERT_TRUE(view.Create(nullptr, L"MyWebBrowser", WS_CHILD | WS_VISIBLE, RECT{0, 0, 0, 0},
                            CWnd::FromHandle(host.Handle()), 10000));
    ComPtr<IOleObject> pControl;
    ASSERT_EQ(view.GetWebBrowser()->QueryInterface(IID_PPV_ARGS(&pControl)), S_OK);
    ComPtr<IOleClientSite> pSite;
    ASSERT_EQ(pControl->GetClientSite(&pSite), S_OK);
    ComPtr<IDispatch> pEvents;
    ASSERT_EQ(pSite.As(&pEvents), S_OK);

    VARIANT_BOOL cancel = VARIANT_FALSE;
    EXPECT_EQ(NewWindow3(pEvents.Get(), L"https://game.example/pay now?a=\"1\"&b=2", &cancel), S_OK);
    EXPECT_EQ(cancel, VARIANT_TRUE);
    ASSERT_TRUE(PumpUntil([&] { return !recorder.Lines().empty(); }, 10000)) << "iexplore.exe was not started";
    std::vector<std::wstring> args = SplitCommandLine(recorder.Lines()[0]);
    ASSERT_EQ(args.size(), 2u) << recorder.Lines()[0].c_str();
    EXPECT_EQ(args[1], L"https://game.example/pay now?a=%221%22&b=2");
}
