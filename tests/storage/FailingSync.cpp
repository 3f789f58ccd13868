// Loaded before the C library (LD_PRELOAD) into a child process: every sync to disk fails as a
// disk with a write error makes it fail.

#include <cerrno>

extern "C" int fsync(int)
{
    errno = EIO;
    return -1;
}

extern "C" int fdatasync(int)
{
    errno = EIO;
    return -1;
}
