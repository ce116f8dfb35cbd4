// The startup shortcut: its name, its text form byte for byte, and the file in the real startup folder.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <fstream>
#include <iterator>
#include <string>

#include <gtest/gtest.h>

#include "app/Shortcut.h"
#include "platform/Startup.h"

namespace {

std::string ReadFileBytes(const std::wstring& path)
{
    std::ifstream file(path.c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

bool FileExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The target of a shell link, read back through the shell.
std::wstring LinkTarget(const std::wstring& linkPath)
{
    IShellLinkW* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link))))
        return L"<no shell link object>";
    std::wstring target = L"<unreadable>";
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        wchar_t path[MAX_PATH] = {};
        if (SUCCEEDED(file->Load(linkPath.c_str(), STGM_READ)) &&
            SUCCEEDED(link->GetPath(path, MAX_PATH, nullptr, 0)))
            target = path;
        file->Release();
    }
    link->Release();
    return target;
}

std::wstring TempFile(const wchar_t* name)
{
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    return std::wstring(folder) + name;
}

}  // namespace

TEST(ShortcutText, CountsItsOwnBytesWithTwoOrThreeDigits)
{
    const std::wstring path = L"\\Program Files\\Tabula\\Tabula.exe";   // 32 characters
    ASSERT_EQ(32u, path.size());
    EXPECT_EQ("37#\"\\Program Files\\Tabula\\Tabula.exe\"", BuildShortcutText(path));   // no NUL, no line end

    // From 95 characters the count takes three digits.
    EXPECT_EQ("99#\"", BuildShortcutText(L"\\" + std::wstring(89, L'a') + L".exe").substr(0, 4));
    const std::string three = BuildShortcutText(L"\\" + std::wstring(90, L'a') + L".exe");
    EXPECT_EQ("100#\"", three.substr(0, 5));
    EXPECT_EQ(3u + 1 + 2 + 95, three.size());

    const std::wstring long300 = L"C:\\" + std::wstring(293, L'x') + L".exe";   // written whole
    ASSERT_EQ(300u, long300.size());
    const std::string text = BuildShortcutText(long300);
    ASSERT_EQ(3u + 1 + 1 + 300 + 1, text.size());
    EXPECT_EQ("305#\"C:\\", text.substr(0, 8));
    EXPECT_EQ(".exe\"", text.substr(text.size() - 5));
}

TEST(ShortcutText, NonAsciiPathsAreConvertedWholeEvenWhenTheyNeedTwoBytesACharacter)
{
    // é is one byte in the Western code page; each Japanese character takes two in code page 932.
    const std::wstring western = L"C:\\Caf\x00E9\\Tabula.exe";
    EXPECT_EQ(std::string("23#\"C:\\Caf\xE9\\Tabula.exe\""), BuildShortcutText(western, 1252));

    const std::wstring japanese = L"C:\\\x6587\x66F8\\Tabula.exe";   // 16 characters
    const std::string text = BuildShortcutText(japanese, 932);
    ASSERT_EQ(2u + 1 + 1 + 16 + 1 + 2, text.size());   // two characters take two bytes more
    EXPECT_EQ("21#\"C:\\", text.substr(0, 7));
    EXPECT_EQ("\\Tabula.exe\"", text.substr(text.size() - 12));
    // Read back in the same code page, it is the whole text again.
    wchar_t wide[64] = {};
    const int length = MultiByteToWideChar(932, 0, text.data(), static_cast<int>(text.size()), wide, 64);
    EXPECT_EQ(L"21#\"" + japanese + L"\"", std::wstring(wide, length));
}

TEST(ShortcutPath, NamedAfterTheProgramWithoutItsLastExtension)
{
    EXPECT_EQ(L"\\Windows\\StartUp\\Tabula.lnk", BuildShortcutPath(L"\\Program Files\\Tabula.exe", L"\\Windows\\StartUp"));
    // No backslash: the whole path is the name; no dot: nothing is cut.
    EXPECT_EQ(L"S\\Tabula.lnk", BuildShortcutPath(L"Tabula.exe", L"S"));
    EXPECT_EQ(L"S\\Tabula.lnk", BuildShortcutPath(L"\\Apps\\Tabula", L"S"));
    // Only the last dot of the file name counts, and a dot in a folder name does not.
    EXPECT_EQ(L"S\\a.b.lnk", BuildShortcutPath(L"\\x\\a.b.exe", L"S"));
    EXPECT_EQ(L"S\\Tabula.lnk", BuildShortcutPath(L"\\my.apps\\Tabula", L"S"));
}

TEST(ShortcutFile, TextFormReplacesAnOldFileByteForByte)
{
    const std::wstring path = TempFile(L"tabula-text-shortcut.lnk");
    {
        std::ofstream old(path.c_str(), std::ios::binary);
        old << std::string(500, 'z');
    }
    const std::string text = BuildShortcutText(L"\\Program Files\\Tabula\\Tabula.exe");
    ASSERT_TRUE(platform::WriteTextShortcut(path, text));
    EXPECT_EQ(text, ReadFileBytes(path));
    DeleteFileW(path.c_str());

    EXPECT_FALSE(platform::WriteTextShortcut(TempFile(L"no-such-folder\\x.lnk"), text));
}

TEST(ShortcutFile, YesWritesALinkToTheProgramInTheStartupFolderAndNoDeletesIt)
{
    std::wstring folder;
    ASSERT_TRUE(GetStartupFolder(folder));
    ASSERT_FALSE(folder.empty());
    EXPECT_NE(L'\\', folder.back());
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(folder.c_str()));

    // The program is the whole path of the running module.
    const std::wstring program = RunningProgramPath();
    ASSERT_GT(program.size(), 4u);
    EXPECT_EQ(0, lstrcmpiW(L".exe", program.substr(program.size() - 4).c_str()));
    EXPECT_TRUE(FileExists(program));
    const std::wstring shortcut = BuildShortcutPath(program, folder);
    {
        std::ofstream old(shortcut.c_str(), std::ios::binary);
        old << "stale content that is not a link";
    }
    UpdateStartupShortcut(program, true);
    ASSERT_TRUE(FileExists(shortcut));
    EXPECT_EQ(0, lstrcmpiW(program.c_str(), LinkTarget(shortcut).c_str()));

    UpdateStartupShortcut(program, false);
    EXPECT_FALSE(FileExists(shortcut));
    // Deleting what is not there is silent.
    UpdateStartupShortcut(program, false);
    EXPECT_FALSE(FileExists(shortcut));
}
