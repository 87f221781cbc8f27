// A stand-in for rsrc32.dll of Windows 95, 98 and Me, as someone could plant
// it beside the program: it answers 42 % free resources, under the decorated
// name of the real library's export. Built for 64-bit Windows only, where the
// tests run and the name needs no further decoration.
#include <windows.h>

extern "C" __declspec(dllexport) int WINAPI FakeFreeSystemResources(int) __asm__("_MyGetFreeSystemResources32@4");

extern "C" int WINAPI FakeFreeSystemResources(int)
{
    return 42;
}
