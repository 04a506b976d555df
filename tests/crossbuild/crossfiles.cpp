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

bool Publish(const std::string &name, const std::string &bytes)
{
    const std::string path = MyDir() + "\\" + name;
    const size_t cut = path.rfind('\\');
    const std::string dir = path.substr(0, cut);
    CreateDirectoryA(dir.c_str(), nullptr);
    // A name no reader's pattern takes for one of the files.
    const std::string part = dir + "\\~" + path.substr(cut + 1) + ".part";
    return testutil::WriteFileBytes(part, bytes) &&
           MoveFileExA(part.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
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
