// A real FTP server for the weather tests: pyftpdlib on 127.0.0.1, started
// through Wine as a Unix program under `timeout`, its folder and log under
// /tmp (reached from Windows through drive Z:), ended by its pid.
#pragma once

#include <string>

namespace servicetest {

class FtpServer {
public:
    FtpServer();
    ~FtpServer();
    FtpServer(const FtpServer &) = delete;
    FtpServer &operator=(const FtpServer &) = delete;

    // Extra options for pyftpdlib ("-u NAME -P PASSWORD"); cut serves every
    // file only halfway. False when the server did not come up.
    bool Start(const std::string &options = "", bool cut = false);
    // Ends the server and waits until its process is gone.
    void Stop();
    int Port() const { return port_; }
    // Puts a station's report where the screensaver asks for it.
    void Serve(const std::string &station, const std::string &text);
    std::string Log() const;
    // The server logs a reply after sending it, so a line the client has
    // already acted on may still be on its way: waits a while for it.
    bool LogHas(const std::string &text) const;

private:
    std::string unixDir_, winDir_;
    int port_ = 0, pid_ = 0;
};

}  // namespace servicetest
