#pragma once
// Read before every source of the Windows unit tests: the POSIX calls the
// tests make, in Windows' terms. Only the test programs see this.

// M_PI and its kin, which glibc gives every C++ program.
#define _USE_MATH_DEFINES

#include <cstdlib>
#include <cstring>

// setenv through the C runtime, which passes the variable on to Windows
// itself (SDL and GetTempPath read it there). TMPDIR, the POSIX name of the
// temporary folder, is TMP on Windows.
inline int setenv(const char* name, const char* value, int overwrite)
{
    if (overwrite == 0 && std::getenv(name) != nullptr)
        return 0;
    if (std::strcmp(name, "TMPDIR") == 0)
        name = "TMP";
    return _putenv_s(name, value) == 0 ? 0 : -1;
}
