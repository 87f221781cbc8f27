// Display scaling. The functions that know a monitor's or a window's dpi are
// newer than the oldest Windows Tamarin runs on, so they are looked up when
// first needed; without them every monitor has the system's dpi.
#include "ui/dpi.h"

#include "ui/systemlib.h"

namespace {

typedef UINT(WINAPI* DpiForWindowProc)(HWND);
typedef int(WINAPI* MetricsForDpiProc)(int, UINT);
typedef HRESULT(WINAPI* DpiForMonitorProc)(HMONITOR, int, UINT*, UINT*);

const int MDT_EFFECTIVE_DPI_VALUE = 0;  // MONITOR_DPI_TYPE of shellscalingapi.h

template <typename T>
T Lookup(HMODULE module, const char* name)
{
    return module ? reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

HMODULE User32()
{
    return GetModuleHandleA("user32.dll");
}

// shcore.dll exists from Windows 8.1 on; loaded once, from the system folder.
DpiForMonitorProc MonitorDpiFunction()
{
    static bool looked;
    static DpiForMonitorProc function;
    if (!looked) {
        looked = true;
        function = Lookup<DpiForMonitorProc>(SystemLib_Load("shcore.dll"), "GetDpiForMonitor");
    }
    return function;
}

}  // namespace

UINT Dpi_OfSystem()
{
    HDC screen = GetDC(nullptr);
    int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen)
        ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : static_cast<UINT>(DPI_DESIGN);
}

UINT Dpi_OfMonitorAt(POINT pt)
{
    DpiForMonitorProc function = MonitorDpiFunction();
    HMONITOR monitor = MonitorFromPoint(pt, MONITOR_DEFAULTTONEAREST);
    UINT x = 0, y = 0;
    if (function && monitor && SUCCEEDED(function(monitor, MDT_EFFECTIVE_DPI_VALUE, &x, &y)) && y > 0)
        return y;
    return Dpi_OfSystem();
}

UINT Dpi_OfWindow(HWND window)
{
    static DpiForWindowProc function = Lookup<DpiForWindowProc>(User32(), "GetDpiForWindow");
    UINT dpi = function && window ? function(window) : 0;
    return dpi > 0 ? dpi : Dpi_OfSystem();
}

int Dpi_Scale(int value, UINT dpi)
{
    return MulDiv(value, static_cast<int>(dpi), DPI_DESIGN);
}

int Dpi_Metric(int index, UINT dpi)
{
    static MetricsForDpiProc function = Lookup<MetricsForDpiProc>(User32(), "GetSystemMetricsForDpi");
    if (function)
        return function(index, dpi);
    return MulDiv(GetSystemMetrics(index), static_cast<int>(dpi), static_cast<int>(Dpi_OfSystem()));
}
