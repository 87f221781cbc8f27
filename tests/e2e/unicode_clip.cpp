// unicode_clip: the clipboard's Unicode text for a script, as a Unicode
// program reads it.
//   unicode_clip read   writes its CF_UNICODETEXT to standard output as UTF-8
// Exit code 0 on success, 1 when the clipboard holds no Unicode text or
// cannot be opened.
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <string.h>

#include <string>

#include "clipunicode.h"

int main(int argc, char** argv)
{
    if (argc < 2 || strcmp(argv[1], "read") != 0)
        return 2;
    std::wstring text;
    if (!ReadClipboardUnicode(&text))
        return 1;
    int bytes = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                    nullptr);
    std::string utf8(static_cast<size_t>(bytes), '\0');
    if (bytes > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &utf8[0], bytes, nullptr,
                            nullptr);
    _setmode(_fileno(stdout), _O_BINARY);
    fwrite(utf8.data(), 1, utf8.size(), stdout);
    return 0;
}
