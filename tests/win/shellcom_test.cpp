// The shell calls that need COM enter a single-threaded apartment on their
// thread first. Each check runs on a thread of its own that starts without
// COM; afterwards a request for a multithreaded apartment must be refused
// with RPC_E_CHANGED_MODE, which only a thread already in a single-threaded
// apartment answers.
#include <gtest/gtest.h>

#include <objbase.h>

#include <functional>
#include <string>

#include "dialogdriver.h"
#include "dialogs/aboutdlg.h"
#include "dialogs/commondlg.h"
#include "ui/placement.h"
#include "ui/shellcom.h"

namespace {

struct ThreadCheck {
    std::function<void()> action;
    HRESULT after = S_OK;
};

DWORD WINAPI RunCheck(void* param)
{
    ThreadCheck* check = static_cast<ThreadCheck*>(param);
    check->action();
    check->after = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    if (SUCCEEDED(check->after))
        CoUninitialize();
    ShellCom_Leave();
    return 0;
}

// The answer of CoInitializeEx(COINIT_MULTITHREADED) after action, on a
// fresh thread.
HRESULT ApartmentAfter(std::function<void()> action)
{
    ThreadCheck check;
    check.action = action;
    HANDLE thread = CreateThread(nullptr, 0, RunCheck, &check, 0, nullptr);
    if (!thread)
        return E_FAIL;
    WaitForSingleObject(thread, 30000);
    CloseHandle(thread);
    return check.after;
}

TEST(ShellCom, AFreshThreadHasNoApartment)
{
    EXPECT_EQ(ApartmentAfter([] {}), S_OK);
}

TEST(ShellCom, EnsureEntersASingleThreadedApartmentOnce)
{
    EXPECT_EQ(ApartmentAfter([] {
                  EXPECT_TRUE(ShellCom_Ensure());
                  EXPECT_TRUE(ShellCom_Ensure());
              }),
              RPC_E_CHANGED_MODE);
}

TEST(ShellCom, LeaveEndsTheApartment)
{
    EXPECT_EQ(ApartmentAfter([] {
                  ShellCom_Ensure();
                  ShellCom_Leave();
              }),
              S_OK);
}

TEST(ShellCom, TheProgramFilesIconIsAskedForInAnApartment)
{
    EXPECT_EQ(ApartmentAfter([] {
                  HICON icon = GetFileIcon(nullptr, true);
                  EXPECT_NE(icon, nullptr);
                  if (icon)
                      DestroyIcon(icon);
              }),
              RPC_E_CHANGED_MODE);
}

TEST(ShellCom, TheRecycleBinIsUsedInAnApartment)
{
    char list[MAX_PATH + 2];
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    std::string missing = std::string(temp) + "tamarin-shellcom-missing.txt";
    ASSERT_TRUE(CommonDlg_MakeSinglePathList(list, sizeof list, missing.c_str()));
    EXPECT_EQ(ApartmentAfter([&] { DeleteToRecycleBin(nullptr, list, FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI); }),
              RPC_E_CHANGED_MODE);
}

// The folder chooser is cancelled as soon as it shows; the apartment it
// needs was entered before it opened.
void CALLBACK CancelChooser(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND chooser = FindWindowA("#32770", nullptr);
    DWORD process = 0;
    if (chooser)
        GetWindowThreadProcessId(chooser, &process);
    if (chooser && process == GetCurrentProcessId() && IsWindowVisible(chooser)) {
        KillTimer(nullptr, timer);
        PostMessageA(chooser, WM_COMMAND, IDCANCEL, 0);
    }
}

TEST(ShellCom, TheFolderChooserRunsInAnApartment)
{
    EXPECT_EQ(ApartmentAfter([] {
                  UINT_PTR timer = SetTimer(nullptr, 0, 50, CancelChooser);
                  char path[MAX_PATH] = "";
                  EXPECT_FALSE(ChooseFolder(nullptr, 0, "Folder", path, nullptr));
                  KillTimer(nullptr, timer);
              }),
              RPC_E_CHANGED_MODE);
}

// The about box asks the shell for the program file's icons.
void CALLBACK CloseAboutBox(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND box = FindWindowA("#32770", nullptr);
    DWORD process = 0;
    if (box)
        GetWindowThreadProcessId(box, &process);
    if (box && process == GetCurrentProcessId() && IsWindowVisible(box)) {
        KillTimer(nullptr, timer);
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    }
}

void NoAddress(HWND, const char*) {}

TEST(ShellCom, TheAboutBoxTakesItsIconsInAnApartment)
{
    HMODULE templates = LoadTamarinTemplates();
    if (!templates)
        GTEST_SKIP() << "tamarin.exe is not built";
    EXPECT_EQ(ApartmentAfter([&] {
                  AboutBoxParams params;
                  AboutDlg_MakeProgramParams(&params, templates);
                  UINT_PTR timer = SetTimer(nullptr, 0, 50, CloseAboutBox);
                  EXPECT_EQ(AboutDlg_ShowFrom(nullptr, &params, nullptr, NoAddress), IDOK);
                  KillTimer(nullptr, timer);
              }),
              RPC_E_CHANGED_MODE);
    FreeLibrary(templates);
}

}  // namespace
