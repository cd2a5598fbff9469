// The walk over the Temporary Internet Files folder, on scratch folders: what is deleted, what
// survives ("desktop.ini" and the folders keeping one), read-only files, files in use, and the
// trace lines of the walk.
#include <gtest/gtest.h>

#include "CacheTestSupport.h"
#include "mainwnd/CacheCleaner.h"

#include <algorithm>

namespace {

std::wstring StartLine(const std::wstring& folder)
{
    return L"开始清理" + folder + L"文件夹\r\n";
}

}  // namespace

TEST(DeleteFolderContents, DeletesEverythingButDesktopIni)
{
    CScratchFolder root(L"clean");
    MakeFile(root.Sub(L"a.txt"));
    MakeFile(root.Sub(L"page.htm"), "<html></html>");
    MakeFile(root.Sub(L"desktop.ini"), "[.ShellClassInfo]");
    MakeFolder(root.Sub(L"sub1\\deep\\empty"));
    MakeFile(root.Sub(L"sub1\\c.txt"));
    MakeFile(root.Sub(L"sub1\\deep\\d.txt"));
    MakeFolder(root.Sub(L"sub2"));
    MakeFile(root.Sub(L"sub2\\DESKTOP.INI"), "[.ShellClassInfo]");
    MakeFile(root.Sub(L"sub2\\f.txt"));
    MakeFolder(root.Sub(L"sub3"));
    MakeFile(root.Sub(L"sub3\\Desktop.Ini.bak"));

    CTraceCapture trace;
    EXPECT_TRUE(DeleteFolderContents(root.Path().c_str()));

    EXPECT_TRUE(FolderExists(root.Path()));
    EXPECT_TRUE(FileExists(root.Sub(L"desktop.ini")));
    EXPECT_TRUE(FileExists(root.Sub(L"sub2\\DESKTOP.INI")));
    EXPECT_TRUE(FolderExists(root.Sub(L"sub2")));
    for (const wchar_t* gone : {L"a.txt", L"page.htm", L"sub2\\f.txt", L"sub1", L"sub3"})
        EXPECT_EQ(GetFileAttributesW((root.Sub(gone)).c_str()), INVALID_FILE_ATTRIBUTES) << gone;

    const std::vector<std::wstring> lines = trace.Lines();
    EXPECT_EQ(lines.size(), 6u);
    for (const std::wstring& folder : {root.Path(), root.Sub(L"sub1"), root.Sub(L"sub1\\deep"), root.Sub(L"sub1\\deep\\empty"),
                                       root.Sub(L"sub2"), root.Sub(L"sub3")})
        EXPECT_EQ(trace.Count(StartLine(folder)), 1);
    EXPECT_EQ(lines.front(), StartLine(root.Path()));
}

TEST(DeleteFolderContents, ReadOnlyFilesAreMadeWritableAndDeleted)
{
    CScratchFolder root(L"clean");
    MakeFile(root.Sub(L"locked.dat"), "data", FILE_ATTRIBUTE_READONLY);
    MakeFolder(root.Sub(L"inner"));
    MakeFile(root.Sub(L"inner\\hidden.dat"), "data", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    ASSERT_TRUE(GetFileAttributesW((root.Sub(L"locked.dat")).c_str()) & FILE_ATTRIBUTE_READONLY);

    CTraceCapture trace;
    EXPECT_TRUE(DeleteFolderContents(root.Path().c_str()));
    EXPECT_FALSE(FileExists(root.Sub(L"locked.dat")));
    EXPECT_FALSE(FolderExists(root.Sub(L"inner")));
    for (const std::wstring& line : trace.Lines())
        EXPECT_EQ(line.find(L"失败"), std::wstring::npos);
}

TEST(DeleteFolderContents, FileInUseIsTracedAndTheWalkGoesOn)
{
    CScratchFolder root(L"clean");
    MakeFolder(root.Sub(L"Content"));
    MakeFile(root.Sub(L"Content\\index.dat"), "in use");
    MakeFile(root.Sub(L"Content\\a.bin"));
    MakeFile(root.Sub(L"z.bin"));
    HANDLE hBusy = CreateFileW((root.Sub(L"Content\\index.dat")).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                               OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(hBusy, INVALID_HANDLE_VALUE);

    CTraceCapture trace;
    EXPECT_TRUE(DeleteFolderContents(root.Path().c_str()));
    CloseHandle(hBusy);

    EXPECT_EQ(trace.Count(L"***********删除文件:index.dat失败，错误代码:32******************\r\n"), 1);
    EXPECT_TRUE(FileExists(root.Sub(L"Content\\index.dat")));
    EXPECT_FALSE(FileExists(root.Sub(L"Content\\a.bin")));
    EXPECT_FALSE(FileExists(root.Sub(L"z.bin")));
    EXPECT_TRUE(FolderExists(root.Sub(L"Content")));
    EXPECT_EQ(trace.Lines().size(), 3u);
}

TEST(DeleteFolderContents, MissingFolderIsReported)
{
    CScratchFolder root(L"clean");
    const std::wstring missing = root.Sub(L"not-there");
    CTraceCapture trace;
    EXPECT_FALSE(DeleteFolderContents(missing.c_str()));
    EXPECT_EQ(trace.Lines(), std::vector<std::wstring>{StartLine(missing)});
}

TEST(DeleteFolderContents, EmptyFolderIsListedAndKept)
{
    CScratchFolder root(L"clean");
    CTraceCapture trace;
    EXPECT_TRUE(DeleteFolderContents(root.Path().c_str()));
    EXPECT_TRUE(FolderExists(root.Path()));
    EXPECT_EQ(trace.Lines(), std::vector<std::wstring>{StartLine(root.Path())});
}

TEST(DeleteFolderContents, ChineseAndDottedNames)
{
    CScratchFolder root(L"clean");
    MakeFile(root.Sub(L"缓存文件.txt"));
    MakeFile(root.Sub(L"..hidden"));
    MakeFile(root.Sub(L".profile"));
    MakeFolder(root.Sub(L"图片"));
    MakeFile(root.Sub(L"图片\\a.png"));
    EXPECT_TRUE(DeleteFolderContents(root.Path().c_str()));
    for (const wchar_t* gone : {L"缓存文件.txt", L"..hidden", L".profile", L"图片"})
        EXPECT_EQ(GetFileAttributesW((root.Sub(gone)).c_str()), INVALID_FILE_ATTRIBUTES) << gone;
}
