// Display scaling: the dots per inch of the system, of a monitor and of a
// window, and lengths designed at 96 dpi scaled to them. Tamarin declares
// itself aware of each monitor's scaling (its manifest); where Windows is too
// old for that, the system's scaling serves for every monitor.
#pragma once

#include <windows.h>

enum { DPI_DESIGN = 96 };  // the dpi at which lengths in the code are given

UINT Dpi_OfSystem();
// The monitor nearest to the point (GetDpiForMonitor, Windows 8.1 and later).
UINT Dpi_OfMonitorAt(POINT pt);
// GetDpiForWindow (Windows 10 1607 and later).
UINT Dpi_OfWindow(HWND window);
// value, designed at 96 dpi, at dpi.
int Dpi_Scale(int value, UINT dpi);
// A system metric at dpi (GetSystemMetricsForDpi where there is).
int Dpi_Metric(int index, UINT dpi);
