// Files and folders for the portable tests, the same under the native build
// and under Wine: whole-file reads and writes and a scratch folder of the
// test's own under the system's temporary folder.
#pragma once

#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <string>

#ifdef _WIN32
#include <direct.h>
#include <io.h>
#include <process.h>
#else
#include <dirent.h>
#include <unistd.h>
#endif

inline std::string ReadWholeFile(const std::string& path)
{
    std::string bytes;
    FILE* f = fopen(path.c_str(), "rb");
    if (!f)
        return bytes;
    char block[4096];
    size_t n;
    while ((n = fread(block, 1, sizeof(block), f)) > 0)
        bytes.append(block, n);
    fclose(f);
    return bytes;
}

inline bool FileExists(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

inline bool IsFolderPath(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 && (st.st_mode & S_IFMT) == S_IFDIR;
}

inline int MakeOneFolder(const std::string& path)
{
#ifdef _WIN32
    return _mkdir(path.c_str());
#else
    return mkdir(path.c_str(), 0700);
#endif
}

inline int RemoveOneFolder(const std::string& path)
{
#ifdef _WIN32
    return _rmdir(path.c_str());
#else
    return rmdir(path.c_str());
#endif
}

// Removes path with everything below it.
inline void RemoveTreeAt(const std::string& path)
{
#ifdef _WIN32
    std::string pattern = path + "\\*";
    struct _finddata_t entry;
    intptr_t find = _findfirst(pattern.c_str(), &entry);
    if (find != -1) {
        do {
            std::string name = entry.name;
            if (name == "." || name == "..")
                continue;
            std::string child = path + "\\" + name;
            if (entry.attrib & _A_SUBDIR)
                RemoveTreeAt(child);
            else
                remove(child.c_str());
        } while (_findnext(find, &entry) == 0);
        _findclose(find);
    }
    _rmdir(path.c_str());
#else
    if (DIR* dir = opendir(path.c_str())) {
        while (dirent* entry = readdir(dir)) {
            std::string name = entry->d_name;
            if (name == "." || name == "..")
                continue;
            std::string child = path + "/" + name;
            if (IsFolderPath(child))
                RemoveTreeAt(child);
            else
                remove(child.c_str());
        }
        closedir(dir);
    }
    rmdir(path.c_str());
#endif
}

// A fresh folder <temp>/<stem>_<process>_<serial>, created at once and
// removed with its contents when the record goes.
struct ScratchFolder {
    std::string path;

    explicit ScratchFolder(const char* stem)
    {
        static int serial = 0;
#ifdef _WIN32
        const char* base = getenv("TEMP");
        int process = _getpid();
        if (!base)
            base = ".";
#else
        const char* base = getenv("TMPDIR");
        int process = getpid();
        if (!base)
            base = "/tmp";
#endif
        path = std::string(base) + "/" + stem + "_" + std::to_string(process) + "_" + std::to_string(++serial);
        MakeOneFolder(path);
    }
    ~ScratchFolder() { RemoveTreeAt(path); }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
};
