#include <gtest/gtest.h>

#include "uninstaller/key_list.h"

using namespace uninstaller;

TEST(ParseRootKey, SplitsAtTheFirstBackslash) {
    KeyEntry e;
    ASSERT_TRUE(ParseRootKey("HKEY_LOCAL_MACHINE\\Software\\A\\B", &e));
    EXPECT_EQ(kRootLocalMachine, e.root);
    EXPECT_EQ("Software\\A\\B", e.subKey);
    ASSERT_TRUE(ParseRootKey("HKEY_CLASSES_ROOT\\.xyz", &e));
    EXPECT_EQ(kRootClasses, e.root);
    EXPECT_EQ(".xyz", e.subKey);
    ASSERT_TRUE(ParseRootKey("HKEY_CURRENT_USER\\Software\\\\Odd", &e));
    EXPECT_EQ(kRootCurrentUser, e.root);
    EXPECT_EQ("Software\\\\Odd", e.subKey);
}

TEST(ParseRootKey, RefusesWhatNamesNoKeyOfTheThreeRoots) {
    const char* texts[] = {
        "hkey_local_machine\\Software\\A",  // the names are matched with case
        "HKEY_USERS\\.DEFAULT\\Software",    // no other root
        "HKLM\\Software\\A",
        "HKEY_LOCAL_MACHINE",                // no backslash
        "HKEY_LOCAL_MACHINE\\",              // the root itself
        "HKEY_LOCAL_MACHINEX\\Software",
        " HKEY_LOCAL_MACHINE\\Software",
        "\\Software",
        "",
    };
    for (const char* text : texts) {
        SCOPED_TRACE(text);
        KeyEntry e = {7, "untouched"};
        EXPECT_FALSE(ParseRootKey(text, &e));
        EXPECT_EQ(7u, e.root);
        EXPECT_EQ("untouched", e.subKey);
    }
}

TEST(SortKeyList, RootsAscendingThenPathsDescendingByByte) {
    KeyList list = {
        {kRootLocalMachine, "Software\\A"},
        {kRootCurrentUser, "Software\\A"},
        {kRootLocalMachine, "Software\\A\\B"},
        {kRootClasses, "a"},
        {kRootLocalMachine, "Software\\A\\B\\C"},
        {kRootLocalMachine, "Software\\a"},        // lower case sorts above upper
        {kRootLocalMachine, "Software\\\xe9t\xe9"},  // bytes above 127 are large
        {kRootLocalMachine, "Software\\A B"},      // blank below backslash
        {kRootCurrentUser, "Software\\A\\B"},      // recorded after its parent
    };
    SortKeyList(&list);
    KeyList expected = {
        {kRootClasses, "a"},
        {kRootCurrentUser, "Software\\A\\B"},
        {kRootCurrentUser, "Software\\A"},
        {kRootLocalMachine, "Software\\\xe9t\xe9"},
        {kRootLocalMachine, "Software\\a"},
        {kRootLocalMachine, "Software\\A\\B\\C"},
        {kRootLocalMachine, "Software\\A\\B"},
        {kRootLocalMachine, "Software\\A B"},
        {kRootLocalMachine, "Software\\A"},
    };
    ASSERT_EQ(expected.size(), list.size());
    for (size_t i = 0; i < list.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(expected[i].root, list[i].root);
        EXPECT_EQ(expected[i].subKey, list[i].subKey);
    }
}
