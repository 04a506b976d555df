#include "ftpserver.h"

#include "testutil.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace servicetest {

using testutil::StartUnix;

namespace {

std::string WinPath(const std::string &unixPath)
{
    std::string win = "Z:" + unixPath;
    for (char &c : win)
        if (c == '/')
            c = '\\';
    return win;
}

void MakeTree(const std::string &winPath)
{
    for (size_t at = 3; at != std::string::npos; at = winPath.find('\\', at + 1))
        CreateDirectoryA(winPath.substr(0, at).c_str(), nullptr);
    CreateDirectoryA(winPath.c_str(), nullptr);
}

}  // namespace

FtpServer::FtpServer()
{
    // The folder lies in the machine's /tmp, which test programs of other Wine
    // prefixes share, and Wine numbers the processes of each prefix alike: a
    // folder counts as this server's only once this program has created it.
    static LONG counter = 0;
    for (;;) {
        char name[64];
        snprintf(name, sizeof(name), "/tmp/wyn-ftp-%lu-%ld", GetCurrentProcessId(), InterlockedIncrement(&counter));
        if (CreateDirectoryA(WinPath(name).c_str(), nullptr)) {
            unixDir_ = name;
            break;
        }
    }
    winDir_ = WinPath(unixDir_);
    MakeTree(winDir_ + "\\root");
}

FtpServer::~FtpServer()
{
    Stop();
    testutil::RemoveTree(winDir_);
}

bool FtpServer::Start(const std::string &options, bool cut)
{
    DeleteFileA((winDir_ + "\\ftp.log").c_str());
    std::string server = cut ? "/usr/bin/python3 " + std::string(WYN_FTP_CUT_SCRIPT) : "/usr/bin/python3 -m pyftpdlib";
    std::string command = "sh -c \"exec /usr/bin/timeout 300 " + server + " -i 127.0.0.1 -p 0 -d " + unixDir_ +
                          "/root -D " + options + " 2>" + unixDir_ + "/ftp.log\"";
    if (!StartUnix("Z:\\bin\\sh", command))
        return false;
    const std::string started = ">>> starting FTP server on 127.0.0.1:";
    bool up = testutil::WaitFor([&] { return Log().find(started) != std::string::npos; }, 60000);
    if (!up)
        return false;
    std::string log = Log();
    size_t at = log.find("127.0.0.1:", log.find(">>> starting"));
    port_ = atoi(log.c_str() + at + 10);
    pid_ = atoi(log.c_str() + log.find("pid=", at) + 4);
    return port_ > 0 && pid_ > 0;
}

void FtpServer::Stop()
{
    if (pid_ <= 0)
        return;
    // Wine starts Unix programs but cannot wait on them: the server goes by its pid.
    StartUnix("Z:\\bin\\kill", "kill " + std::to_string(pid_));
    std::string proc = "Z:\\proc\\" + std::to_string(pid_);
    testutil::WaitFor([&] { return GetFileAttributesA(proc.c_str()) == INVALID_FILE_ATTRIBUTES; }, 20000);
    pid_ = 0;
}

void FtpServer::Serve(const std::string &station, const std::string &text)
{
    std::string folder = winDir_ + "\\root\\data\\observations\\metar\\stations";
    MakeTree(folder);
    testutil::WriteFileBytes(folder + "\\" + station + ".TXT", text);
}

std::string FtpServer::Log() const { return testutil::ReadFileBytes(winDir_ + "\\ftp.log"); }

bool FtpServer::LogHas(const std::string &text) const
{
    constexpr DWORD kLogLineWaitMs = 10000;
    return testutil::WaitFor([&] { return Log().find(text) != std::string::npos; }, kLogLineWaitMs);
}

}  // namespace servicetest
