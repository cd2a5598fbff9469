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
    CScratchFolder root;
    MakeFile(root / L"a.txt");
    MakeFile(root / L"page.htm", "<html></html>");
    MakeFile(root / L"desktop.ini", "[.ShellClassInfo]");
    MakeFolder(root / L"sub1\\deep\\empty");
    MakeFile(root / L"sub1\\c.txt");
    MakeFile(root / L"sub1\\deep\\d.txt");
    MakeFolder(root / L"sub2");
    MakeFile(root / L"sub2\\DESKTOP.INI", "[.ShellClassInfo]");
    MakeFile(root / L"sub2\\f.txt");
    MakeFolder(root / L"sub3");
    MakeFile(root / L"sub3\\Desktop.Ini.bak");

    CTraceCapture trace;
    EXPECT_TRUE(DeleteFolderContents(root.Path().c_str()));

    EXPECT_TRUE(FolderExists(root.Path()));
    EXPECT_TRUE(FileExists(root / L"desktop.ini"));
    EXPECT_TRUE(FileExists(root / L"sub2\\DESKTOP.INI"));
    EXPECT_TRUE(FolderExists(root / L"sub2"));
    for (const wchar_t* gone : {L"a.txt", L"page.htm", L"sub2\\f.txt", L"sub1", L"sub3"})
        EXPECT_EQ(GetFileAttributesW((root / gone).c_str()), INVALID_FILE_ATTRIBUTES) << gone;

    const std::vector<std::wstring> lines = trace.Lines();
    EXPECT_EQ(lines.size(), 6u);
    for (const std::wstring& folder : {root.Path(), root / L"sub1", root / L"sub1\\deep", root / L"sub1\\deep\\empty",
                                       root / L"sub2", root / L"sub3"})
        EXPECT_EQ(trace.Count(StartLine(folder)), 1);
    EXPECT_EQ(lines.front(), StartLine(root.Path()));
}

TEST(DeleteFolderContents, ReadOnlyFilesAreMadeWritableAndDeleted)
{
    CScratchFolder root;
    MakeFile(root / L"locked.dat", "data", FILE_ATTRIBUTE_READONLY);
    MakeFolder(root / L"inner");
    MakeFile(root / L"inner\\hidden.dat", "data", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    ASSERT_TRUE(GetFileAttributesW((root / L"locked.dat").c_str()) & FILE_ATTRIBUTE_READONLY);

    CTraceCapture trace;
    EXPECT_TRUE(DeleteFolderContents(root.Path().c_str()));
    EXPECT_FALSE(FileExists(root / L"locked.dat"));
    EXPECT_FALSE(FolderExists(root / L"inner"));
    for (const std::wstring& line : trace.Lines())
        EXPECT_EQ(line.find(L"失败"), std::wstring::npos);
}

TEST(DeleteFolderContents, FileInUseIsTracedAndTheWalkGoesOn)
{
    CScratchFolder root;
    MakeFolder(root / L"Content");
    MakeFile(root / L"Content\\index.dat", "in use");
    MakeFile(root / L"Content\\a.bin");
    MakeFile(root / L"z.bin");
    HANDLE hBusy = CreateFileW((root / L"Content\\index.dat").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                               OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(hBusy, INVALID_HANDLE_VALUE);

    CTraceCapture trace;
    EXPECT_TRUE(DeleteFolderContents(root.Path().c_str()));
    CloseHandle(hBusy);

    EXPECT_EQ(trace.Count(L"***********删除文件:index.dat失败，错误代码:32******************\r\n"), 1);
    EXPECT_TRUE(FileExists(root / L"Content\\index.dat"));
    EXPECT_FALSE(FileExists(root / L"Content\\a.bin"));
    EXPECT_FALSE(FileExists(root / L"z.bin"));
    EXPECT_TRUE(FolderExists(root / L"Content"));
    EXPECT_EQ(trace.Lines().size(), 3u);
}

TEST(DeleteFolderContents, MissingFolderIsReported)
{
    CScratchFolder root;
    const std::wstring missing = root / L"not-there";
    CTraceCapture trace;
    EXPECT_FALSE(DeleteFolderContents(missing.c_str()));
    EXPECT_EQ(trace.Lines(), std::vector<std::wstring>{StartLine(missing)});
}

TEST(DeleteFolderContents, EmptyFolderIsListedAndKept)
{
    CScratchFolder root;
    CTraceCapture trace;
    EXPECT_TRUE(DeleteFolderContents(root.Path().c_str()));
    EXPECT_TRUE(FolderExists(root.Path()));
    EXPECT_EQ(trace.Lines(), std::vector<std::wstring>{StartLine(root.Path())});
}

TEST(DeleteFolderContents, ChineseAndDottedNames)
{
    CScratchFolder root;
    MakeFile(root / L"缓存文件.txt");
    MakeFile(root / L"..hidden");
    MakeFile(root / L".profile");
    MakeFolder(root / L"图片");
    MakeFile(root / L"图片\\a.png");
    EXPECT_TRUE(DeleteFolderContents(root.Path().c_str()));
    for (const wchar_t* gone : {L"缓存文件.txt", L"..hidden", L".profile", L"图片"})
        EXPECT_EQ(GetFileAttributesW((root / gone).c_str()), INVALID_FILE_ATTRIBUTES) << gone;
}
