#include <gtest/gtest.h>
#include "AppTesting.h"
#include "MenuTesting.h"
#include "StoreTesting.h"
TEST(Skeleton, Builds)
{
    CTodayMenu menu;
    menutest::Build(menu, L"D:C:\\a.txt S:Work[D:C:\\b.txt - S:In[]] -");
    EXPECT_EQ(menutest::Describe(menu.Root), L"D5:C:\\a.txt S6:Work[D7:C:\\b.txt -8 S9:In[]] -10");
    menutest::CheckMenu(menu.Root);
}
