// Where the program's files go when the executable's folder cannot be
// written: the folder choice and the names of the files in another folder.
#include <gtest/gtest.h>

#include <string.h>

#include "settings/apppath.h"

namespace {

struct FolderCase {
    const char* moduleFolder;
    bool writable;
    const char* appDataRoot;
    size_t size;
    const char* expected;  // null: does not fit
};

const FolderCase FOLDER_CASES[] = {
    // A writable folder keeps the portable layout, whatever the other.
    {"C:\\Tools", true, "C:\\Users\\u\\AppData\\Roaming", 260, "C:\\Tools"},
    {"C:\\Program Files\\Tamarin", false, "C:\\Users\\u\\AppData\\Roaming", 260,
     "C:\\Users\\u\\AppData\\Roaming\\Tamarin"},
    // A root given with its separator gets no second one.
    {"C:\\Program Files\\Tamarin", false, "C:\\Users\\u\\AppData\\Roaming\\", 260,
     "C:\\Users\\u\\AppData\\Roaming\\Tamarin"},
    // A folder ending in 表 (0x95 0x5C): its trail byte is no separator.
    {"D:\\ro", false, "D:\\\x95\x5c", 260, "D:\\\x95\x5c\\Tamarin"},
    // Without an application-data folder the executable's folder stays.
    {"\\\\server\\share", false, "", 260, "\\\\server\\share"},
    {"\\\\server\\share", false, nullptr, 260, "\\\\server\\share"},
    {"C:\\ro", false, "C:\\A", 13, "C:\\A\\Tamarin"},
    {"C:\\ro", false, "C:\\A", 12, nullptr},
    {"C:\\Tools", true, nullptr, 8, nullptr},
};

TEST(AppFileFolder, AReadOnlyProgramFolderGivesWayToTheApplicationDataFolder)
{
    for (const FolderCase& c : FOLDER_CASES) {
        char buf[260];
        memset(buf, 'X', sizeof buf);
        bool ok = AppPath_ChooseFileFolder(buf, c.size, c.moduleFolder, c.writable, c.appDataRoot);
        if (c.expected) {
            EXPECT_TRUE(ok) << c.moduleFolder;
            EXPECT_STREQ(buf, c.expected) << c.moduleFolder;
        } else {
            EXPECT_FALSE(ok) << c.moduleFolder;
        }
        if (c.size < sizeof buf) {
            EXPECT_EQ(buf[c.size], 'X') << c.moduleFolder;
        }
    }
}

struct FileCase {
    const char* folder;
    const char* module;
    const char* ext;
    size_t size;
    const char* expected;
};

const FileCase FILE_CASES[] = {
    // Only the file name is lower-cased; the folder is as the system gave it.
    {"C:\\Users\\U\\AppData\\Roaming\\Tamarin", "C:\\Program Files\\Tamarin\\Tamarin.EXE", ".hst", 260,
     "C:\\Users\\U\\AppData\\Roaming\\Tamarin\\tamarin.hst"},
    {"C:\\A\\Tamarin", "C:\\Program Files\\Tools\\ZiriZovo.exe", ".ini", 260, "C:\\A\\Tamarin\\zirizovo.ini"},
    // 表 in the module's folder is no separator, ソ (0x83 0x5C) in its name neither.
    {"C:\\A", "C:\\x\x95\x5cy\\TAMA\x83\x5c.EXE", ".use", 260, "C:\\A\\tama\x83\x5c.use"},
    {"C:\\A", "Tamarin.exe", ".ini", 260, "C:\\A\\tamarin.ini"},
    {"C:\\A", "C:\\p\\t.exe", ".ini", 11, "C:\\A\\t.ini"},
    {"C:\\A", "C:\\p\\t.exe", ".ini", 10, nullptr},
};

TEST(AppFileFolder, FilesInAnotherFolderKeepTheExecutablesName)
{
    for (const FileCase& c : FILE_CASES) {
        char buf[260];
        memset(buf, 'X', sizeof buf);
        bool ok = AppPath_BuildInFolder(buf, c.size, c.folder, c.module, c.ext);
        if (c.expected) {
            EXPECT_TRUE(ok) << c.module;
            EXPECT_STREQ(buf, c.expected) << c.module;
        } else {
            EXPECT_FALSE(ok) << c.module;
        }
        if (c.size < sizeof buf) {
            EXPECT_EQ(buf[c.size], 'X') << c.module;
        }
    }
}

}  // namespace
