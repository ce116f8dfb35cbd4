// The registry primitives against the test prefix's registry, on a scratch key of their own.
#include <gtest/gtest.h>

#include "store/RegHelper.h"
#include "tests/unit/StoreTesting.h"

namespace {

class RegHelperTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegDeleteTreeW(platform::reg::StoreHive(), path_.c_str());
        scratch_ = std::make_unique<storetest::Key>(path_, true);
        ASSERT_TRUE(*scratch_);
    }
    void TearDown() override
    {
        scratch_.reset();
        RegDeleteTreeW(platform::reg::StoreHive(), path_.c_str());
    }

    HKEY Scratch() const { return scratch_->get(); }

    void PutRaw(const wchar_t* name, DWORD type, const void* data, DWORD size) const
    {
        ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(Scratch(), name, 0, type, static_cast<const BYTE*>(data), size));
    }

    const std::wstring path_ = storetest::KeyPath(L"Tabula.primitives");
    std::unique_ptr<storetest::Key> scratch_;
    CRegHelper reg;
};

TEST_F(RegHelperTest, OpenKeyCreateKeyAndEnumSubkeyWorkOnRealKeys)
{
    EXPECT_EQ(nullptr, reg.OpenKey(Scratch(), L"absent\\deeper"));
    EXPECT_FALSE(storetest::KeyExists(path_ + L"\\absent"));

    // CreateKey opens an existing key with its values and subkeys.
    storetest::Key existing(path_ + L"\\entry\\child", true);
    storetest::SetDword(storetest::Key(path_ + L"\\entry").get(), L"Keep", 11);
    const HKEY key = reg.CreateKey(Scratch(), L"entry");
    ASSERT_NE(nullptr, key);
    EXPECT_TRUE(reg.SetDword(key, L"Keep", 12));
    DWORD value = 0;
    EXPECT_TRUE(reg.GetDword(key, L"Keep", &value));
    EXPECT_EQ(12u, value);
    EXPECT_TRUE(storetest::KeyExists(path_ + L"\\entry\\child"));
    RegCloseKey(key);

    // EnumSubkey ends with ERROR_NO_MORE_ITEMS at the number of subkeys.
    storetest::Key other(path_ + L"\\other", true);
    wchar_t name[256];
    DWORD length = 256;
    EXPECT_EQ(ERROR_SUCCESS, reg.EnumSubkey(Scratch(), 1, name, &length));
    EXPECT_EQ(std::wstring(L"other"), name);
    length = 256;
    EXPECT_EQ(ERROR_NO_MORE_ITEMS, reg.EnumSubkey(Scratch(), 2, name, &length));
}

TEST_F(RegHelperTest, SetStringStoresTheTextWithItsTerminatingNul)
{
    EXPECT_TRUE(reg.SetString(Scratch(), L"Empty", L""));
    EXPECT_TRUE(reg.SetString(Scratch(), L"Word", L"Exit"));

    const storetest::RawValue empty = storetest::ReadValue(path_, L"Empty");
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), empty.type);
    EXPECT_EQ(2u, empty.data.size());
    const storetest::RawValue word = storetest::ReadValue(path_, L"Word");
    EXPECT_EQ(10u, word.data.size());
    EXPECT_EQ(std::wstring(L"Exit") + L'\0', word.Text());
}

TEST_F(RegHelperTest, GetDwordReadsOnlyFourByteDwordsAndOtherwiseKeepsTheOldValue)
{
    const DWORD four = 0x01020304;
    const unsigned long long eight = 5;
    const WORD two = 7;
    PutRaw(L"Good", REG_DWORD, &four, 4);
    PutRaw(L"Text", REG_SZ, L"1", 4);
    PutRaw(L"Short", REG_DWORD, &two, 2);
    PutRaw(L"Long", REG_QWORD, &eight, 8);
    PutRaw(L"Bytes", REG_BINARY, &four, 4);
    PutRaw(L"BigEndian", REG_DWORD_BIG_ENDIAN, &four, 4);

    DWORD value = 99;
    EXPECT_TRUE(reg.GetDword(Scratch(), L"Good", &value));
    EXPECT_EQ(four, value);
    for (const wchar_t* name : {L"Absent", L"Text", L"Short", L"Long", L"Bytes", L"BigEndian"}) {
        value = 99;
        EXPECT_FALSE(reg.GetDword(Scratch(), name, &value)) << name;
        EXPECT_EQ(99u, value) << name;
    }
}

TEST_F(RegHelperTest, GetStringReadsTextsOfAnySizeWithOrWithoutTheirNulAndRefusesTheRest)
{
    const wchar_t noNul[] = {L'a', L'b', L'c'};
    const BYTE odd[] = {'x', 0, 'y', 0, 'z'};
    const wchar_t inner[] = {L'p', L'\0', L'q', L'\0'};
    const std::wstring huge(100000, L'w');
    PutRaw(L"NoNul", REG_SZ, noNul, sizeof(noNul));
    PutRaw(L"Odd", REG_SZ, odd, sizeof(odd));
    PutRaw(L"OneByte", REG_SZ, odd, 1);
    PutRaw(L"Inner", REG_SZ, inner, sizeof(inner));
    PutRaw(L"Nothing", REG_SZ, nullptr, 0);
    PutRaw(L"Expand", REG_EXPAND_SZ, L"%TEMP%", 14);
    PutRaw(L"Huge", REG_SZ, huge.c_str(), static_cast<DWORD>((huge.size() + 1) * 2));

    const std::vector<std::pair<const wchar_t*, std::wstring>> readable = {
        {L"NoNul", L"abc"}, {L"Odd", L"xy"}, {L"OneByte", L""}, {L"Inner", L"p"},
        {L"Nothing", L""},  {L"Expand", L"%TEMP%"}, {L"Huge", huge}};
    for (const auto& [name, expected] : readable) {
        std::wstring text = L"old";
        EXPECT_TRUE(reg.GetString(Scratch(), name, &text)) << name;
        EXPECT_EQ(expected, text) << name;
    }

    // Absent and non-text values are refused and empty the text.
    const DWORD number = 0x00410041;   // "AA" if it were read as text
    PutRaw(L"Number", REG_DWORD, &number, 4);
    PutRaw(L"Bytes", REG_BINARY, L"Name", 10);
    PutRaw(L"Multi", REG_MULTI_SZ, L"a\0b\0", 10);
    for (const wchar_t* name : {L"Absent", L"Number", L"Bytes", L"Multi"}) {
        std::wstring text = L"old";
        EXPECT_FALSE(reg.GetString(Scratch(), name, &text)) << name;
        EXPECT_TRUE(text.empty()) << name;
    }
}

TEST_F(RegHelperTest, EntryWritersWriteNothingAndGiveNullWhenTheKeyCannotBeCreated)
{
    platform::reg::faults::Reset();
    platform::reg::faults::RefuseAfter(0);
    const HKEY key = reg.WriteDocument(Scratch(), L"C:\\a.txt", 5, 0);
    platform::reg::faults::Reset();
    EXPECT_EQ(nullptr, key);
    EXPECT_TRUE(storetest::SubkeyNames(path_).empty());

    // A value that cannot be written makes the entry unusable too.
    platform::reg::faults::RefuseAfter(3);
    const HKEY partial = reg.WriteSection(Scratch(), L"S", 6, 1);
    platform::reg::faults::Reset();
    EXPECT_EQ(nullptr, partial);
}

TEST(StoreHive, IsTheMachineHiveWhereItsSoftwareKeyTakesNewKeys)
{
    // Under Wine every program may write HKEY_LOCAL_MACHINE\SOFTWARE.
    EXPECT_EQ(HKEY_LOCAL_MACHINE, platform::reg::StoreHive());
}

}  // namespace
