// Libraries loaded on first use: tamarin.exe imports only what its start-up
// needs, and LateLib finds the functions of the others in the system folder
// when a command first asks.
#include <windows.h>

#include <gtest/gtest.h>

#include <ctype.h>
#include <string.h>

#include <set>
#include <string>
#include <vector>

#include "ui/latelib.h"
#include "win/dialogdriver.h"

namespace {

// The file offset of a relative virtual address, through the section table.
bool RvaToOffset(const IMAGE_SECTION_HEADER* sections, int count, DWORD rva, DWORD* offset)
{
    for (int i = 0; i < count; i++) {
        DWORD start = sections[i].VirtualAddress;
        DWORD size = sections[i].Misc.VirtualSize ? sections[i].Misc.VirtualSize : sections[i].SizeOfRawData;
        if (rva >= start && rva < start + size) {
            *offset = rva - start + sections[i].PointerToRawData;
            return true;
        }
    }
    return false;
}

// The names of the libraries a program file imports, upper-cased; empty when
// the file cannot be read as a PE image.
std::set<std::string> ImportedLibraries(const char* path)
{
    std::set<std::string> names;
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return names;
    std::vector<unsigned char> bytes(GetFileSize(file, nullptr));
    DWORD read = 0;
    bool ok = ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) && read == bytes.size();
    CloseHandle(file);
    if (!ok || bytes.size() < sizeof(IMAGE_DOS_HEADER))
        return names;
    const unsigned char* base = bytes.data();
    LONG ntOffset = reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew;
    if (ntOffset <= 0 || static_cast<size_t>(ntOffset) + sizeof(IMAGE_NT_HEADERS64) > bytes.size())
        return names;
    const IMAGE_FILE_HEADER* header = reinterpret_cast<const IMAGE_FILE_HEADER*>(base + ntOffset + sizeof(DWORD));
    const unsigned char* optional = reinterpret_cast<const unsigned char*>(header + 1);
    WORD magic = *reinterpret_cast<const WORD*>(optional);
    const IMAGE_DATA_DIRECTORY* directory =
        magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC
            ? &reinterpret_cast<const IMAGE_OPTIONAL_HEADER64*>(optional)->DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT]
            : &reinterpret_cast<const IMAGE_OPTIONAL_HEADER32*>(optional)->DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    const IMAGE_SECTION_HEADER* sections =
        reinterpret_cast<const IMAGE_SECTION_HEADER*>(optional + header->SizeOfOptionalHeader);
    DWORD offset = 0;
    if (!RvaToOffset(sections, header->NumberOfSections, directory->VirtualAddress, &offset))
        return names;
    for (; offset + sizeof(IMAGE_IMPORT_DESCRIPTOR) <= bytes.size(); offset += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
        const IMAGE_IMPORT_DESCRIPTOR* entry = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + offset);
        if (entry->Name == 0)
            break;
        DWORD nameOffset = 0;
        if (!RvaToOffset(sections, header->NumberOfSections, entry->Name, &nameOffset))
            break;
        std::string name;
        for (size_t i = nameOffset; i < bytes.size() && bytes[i]; i++)
            name += static_cast<char>(toupper(bytes[i]));
        names.insert(name);
    }
    return names;
}

TEST(StartupImports, TamarinImportsOnlyWhatStartUpNeeds)
{
    char exe[MAX_PATH];
    if (!FindTamarinExe(exe, sizeof exe))
        GTEST_SKIP() << "tamarin.exe is not built";
    std::set<std::string> imports = ImportedLibraries(exe);
    ASSERT_FALSE(imports.empty()) << exe;
    // The sockets, the common dialogs (with the printing and COM libraries
    // behind them), the version block and the input method come later.
    const std::set<std::string> startUp = {"KERNEL32.DLL", "USER32.DLL", "GDI32.DLL",
                                           "SHELL32.DLL",  "COMCTL32.DLL", "MSVCRT.DLL"};
    for (const std::string& name : imports)
        EXPECT_TRUE(startUp.count(name)) << name << " is loaded at start-up";
}

TEST(LateLib, FindsAFunctionOfASystemLibraryAndKeepsTheLibrary)
{
    LateLib lib = {"version.dll", nullptr};
    auto getSize = LateLib_Get<decltype(&GetFileVersionInfoSizeA)>(&lib, "GetFileVersionInfoSizeA");
    ASSERT_NE(getSize, nullptr);
    ASSERT_NE(lib.module, nullptr);
    HMODULE first = lib.module;
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, sizeof exe);
    DWORD handle = 0;
    getSize(exe, &handle);  // callable; the test program may have no version block
    EXPECT_NE(LateLib_Find(&lib, "VerQueryValueA"), nullptr);
    EXPECT_EQ(lib.module, first);
}

TEST(LateLib, GivesNullForAMissingFunctionOrLibrary)
{
    LateLib lib = {"version.dll", nullptr};
    EXPECT_EQ(LateLib_Find(&lib, "NoSuchFunctionInVersionDll"), nullptr);
    LateLib missing = {"tamarin-no-such-library.dll", nullptr};
    EXPECT_EQ(LateLib_Find(&missing, "Anything"), nullptr);
    EXPECT_EQ(missing.module, nullptr);
}

}  // namespace
