#include "crossfiles.h"

#include <windows.h>

#include "testutil.h"

namespace crossfiles {

namespace {

#ifdef _WIN64
const char kMine[] = "win64";
const char kPartner[] = "win32";
#else
const char kMine[] = "win32";
const char kPartner[] = "win64";
#endif

std::string SharedDir()
{
    std::string win = "Z:";
    for (const char *p = WYN_CROSS_FILES_DIR_UNIX; *p; ++p)
        win += (*p == '/') ? '\\' : *p;
    return win;
}

}  // namespace

std::string MyDir()
{
    std::string dir = SharedDir();
    CreateDirectoryA(dir.c_str(), nullptr);
    dir += std::string("\\") + kMine;
    CreateDirectoryA(dir.c_str(), nullptr);
    return dir;
}

std::string PartnerDir() { return SharedDir() + "\\" + kPartner; }

bool ReadPartner(const std::string &name, std::string *bytes)
{
    const std::string path = PartnerDir() + "\\" + name;
    if (!testutil::FileExists(path))
        return false;
    *bytes = testutil::ReadFileBytes(path);
    return true;
}

}  // namespace crossfiles
