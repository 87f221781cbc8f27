// One clipboard change read in one opening of the real clipboard: its
// sequence number, its text or image, its confidentiality, and the two
// reads that must be tried again (a clipboard held open elsewhere, a text
// that is offered but never rendered) rather than taken for a change.
#include <windows.h>

#include <stdlib.h>
#include <string.h>

#include <string>

#include <gtest/gtest.h>

#include "store/clipchange.h"

namespace {

// A clipboard owner that offers its formats for later rendering and then
// never renders them, as a program that hangs or fails on WM_RENDERFORMAT.
LRESULT CALLBACK RefusingOwnerProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_RENDERFORMAT || msg == WM_RENDERALLFORMATS)
        return 0;
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

HWND CreateRefusingOwner()
{
    static bool registered;
    if (!registered) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = RefusingOwnerProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "TamarinTestRefusingOwner";
        RegisterClassA(&wc);
        registered = true;
    }
    return CreateWindowExA(0, "TamarinTestRefusingOwner", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

bool Put(HWND owner, UINT format, const std::string& bytes, bool empty = true)
{
    if (!OpenClipboard(owner))
        return false;
    if (empty)
        EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    memcpy(GlobalLock(block), bytes.data(), bytes.size());
    GlobalUnlock(block);
    bool ok = SetClipboardData(format, block) != nullptr;
    CloseClipboard();
    return ok;
}

std::string SmallDib()
{
    BITMAPINFOHEADER h = {};
    h.biSize = sizeof h;
    h.biWidth = 1;
    h.biHeight = 1;
    h.biPlanes = 1;
    h.biBitCount = 24;
    std::string dib(reinterpret_cast<const char*>(&h), sizeof h);
    dib += std::string("\x01\x02\x03\x00", 4);
    return dib;
}

struct HeldClipboard {
    HANDLE opened = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
};

DWORD WINAPI HoldClipboard(void* param)
{
    HeldClipboard* held = static_cast<HeldClipboard*>(param);
    HWND window = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    bool open = OpenClipboard(window) != FALSE;
    SetEvent(held->opened);
    WaitForSingleObject(held->release, INFINITE);
    if (open)
        CloseClipboard();
    DestroyWindow(window);
    return open ? 0 : 1;
}

class ClipChangeRead : public testing::Test {
protected:
    void SetUp() override
    {
        reader = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        ASSERT_NE(reader, nullptr);
    }
    void TearDown() override
    {
        if (OpenClipboard(reader)) {
            EmptyClipboard();
            CloseClipboard();
        }
        DestroyWindow(reader);
    }
    HWND reader = nullptr;
};

TEST_F(ClipChangeRead, TextComesWithTheSequenceNumberOfItsChange)
{
    ASSERT_TRUE(Put(reader, CF_TEXT, std::string("read me\0", 8)));
    DWORD sequence = GetClipboardSequenceNumber();
    ClipChange change;
    ASSERT_TRUE(ClipChange_Read(reader, true, &change));
    EXPECT_NE(change.sequence, 0u);
    EXPECT_EQ(change.sequence, sequence);
    ASSERT_NE(change.text, nullptr);
    EXPECT_STREQ(change.text, "read me");
    EXPECT_EQ(change.image, nullptr);  // text and image: the text alone is read
    EXPECT_FALSE(change.confidential);
    ClipChange_Free(&change);
    EXPECT_EQ(change.text, nullptr);

    // Reading does not move the number; the next change does.
    EXPECT_EQ(GetClipboardSequenceNumber(), sequence);
    ASSERT_TRUE(Put(reader, CF_TEXT, std::string("next\0", 5)));
    EXPECT_NE(GetClipboardSequenceNumber(), sequence);
}

TEST_F(ClipChangeRead, AnImageIsReadOnlyWhenAskedForAndThereIsNoText)
{
    ASSERT_TRUE(Put(reader, CF_DIB, SmallDib()));
    ClipChange change;
    ASSERT_TRUE(ClipChange_Read(reader, false, &change));
    EXPECT_EQ(change.text, nullptr);
    EXPECT_EQ(change.image, nullptr);
    ClipChange_Free(&change);

    ASSERT_TRUE(ClipChange_Read(reader, true, &change));
    EXPECT_EQ(change.text, nullptr);
    ASSERT_NE(change.image, nullptr);
    ASSERT_GE(change.imageSize, SmallDib().size());
    EXPECT_EQ(std::string(static_cast<const char*>(change.image), SmallDib().size()), SmallDib());
    ClipChange_Free(&change);
}

TEST_F(ClipChangeRead, AConfidentialChangeIsNotRead)
{
    ASSERT_TRUE(Put(reader, CF_TEXT, std::string("secret\0", 7)));
    ASSERT_TRUE(Put(reader, RegisterClipboardFormatA("Clipboard Viewer Ignore"), std::string(1, '\0'), false));
    ClipChange change;
    ASSERT_TRUE(ClipChange_Read(reader, true, &change));
    EXPECT_TRUE(change.confidential);
    EXPECT_EQ(change.text, nullptr);
    ClipChange_Free(&change);
}

// Text that its owner offers and then does not render is a failed read, to
// be tried again, never a change without text (whose image would be logged).
TEST_F(ClipChangeRead, TextOfferedButNeverRenderedIsAFailedRead)
{
    HWND owner = CreateRefusingOwner();
    ASSERT_NE(owner, nullptr);
    ASSERT_TRUE(OpenClipboard(owner));
    EmptyClipboard();
    SetClipboardData(CF_TEXT, nullptr);  // to be rendered on demand
    CloseClipboard();
    ASSERT_TRUE(Put(owner, CF_DIB, SmallDib(), false));
    ASSERT_TRUE(IsClipboardFormatAvailable(CF_TEXT));

    ClipChange change;
    EXPECT_FALSE(ClipChange_Read(reader, true, &change));
    EXPECT_EQ(change.text, nullptr);
    EXPECT_EQ(change.image, nullptr);
    DestroyWindow(owner);
}

TEST_F(ClipChangeRead, AClipboardHeldElsewhereIsAFailedRead)
{
    ASSERT_TRUE(Put(reader, CF_TEXT, std::string("waiting\0", 8)));
    HeldClipboard held;
    HANDLE thread = CreateThread(nullptr, 0, HoldClipboard, &held, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    WaitForSingleObject(held.opened, INFINITE);
    ClipChange change;
    EXPECT_FALSE(ClipChange_Read(reader, true, &change));
    EXPECT_EQ(change.text, nullptr);
    SetEvent(held.release);
    WaitForSingleObject(thread, INFINITE);
    DWORD code = 1;
    GetExitCodeThread(thread, &code);
    CloseHandle(thread);
    CloseHandle(held.opened);
    CloseHandle(held.release);
    ASSERT_EQ(code, 0u) << "the holder could not open the clipboard";

    ASSERT_TRUE(ClipChange_Read(reader, true, &change));
    ASSERT_NE(change.text, nullptr);
    EXPECT_STREQ(change.text, "waiting");
    ClipChange_Free(&change);
}

}  // namespace
