#include "audiotest.h"

#include "testutil.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace audiotest {

namespace {

void Put16(std::string *s, uint16_t v)
{
    s->push_back(static_cast<char>(v & 0xFF));
    s->push_back(static_cast<char>(v >> 8));
}

void Put32(std::string *s, uint32_t v)
{
    Put16(s, static_cast<uint16_t>(v & 0xFFFF));
    Put16(s, static_cast<uint16_t>(v >> 16));
}

uint32_t Le32(const unsigned char *p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24); }

std::string WindowsPath(const char *unixPath)
{
    std::string out = "Z:";
    for (const char *p = unixPath; *p; ++p)
        out += (*p == '/') ? '\\' : *p;
    return out;
}

size_t FileSize(const std::string &path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return data.nFileSizeLow;
}

// Offset of the data chunk's first byte in a WAV file, or 44.
size_t DataOffset(const std::string &head)
{
    const unsigned char *p = reinterpret_cast<const unsigned char *>(head.data());
    size_t at = 12;
    while (at + 8 <= head.size()) {
        uint32_t size = Le32(p + at + 4);
        if (memcmp(p + at, "data", 4) == 0)
            return at + 8;
        at += 8 + size + (size & 1);
    }
    return 44;
}

}  // namespace

std::vector<int16_t> Tone(int rate, int channels, double seconds, double hz, int amplitude)
{
    size_t frames = static_cast<size_t>(rate * seconds);
    std::vector<int16_t> out(frames * static_cast<size_t>(channels));
    for (size_t i = 0; i < frames; ++i) {
        int16_t v = static_cast<int16_t>(amplitude * std::sin(2 * 3.14159265358979 * hz * static_cast<double>(i) / rate));
        for (int c = 0; c < channels; ++c)
            out[i * channels + c] = v;
    }
    return out;
}

std::string MakeWav(int rate, int channels, int bits, const std::vector<int16_t> &frames, uint32_t dataSize)
{
    std::string data;
    for (int16_t v : frames) {
        if (bits == 8)
            data.push_back(static_cast<char>((v >> 8) + 128));
        else
            Put16(&data, static_cast<uint16_t>(v));
    }
    std::string out = "RIFF";
    Put32(&out, static_cast<uint32_t>(36 + data.size()));
    out += "WAVEfmt ";
    Put32(&out, 16);
    Put16(&out, 1);
    Put16(&out, static_cast<uint16_t>(channels));
    Put32(&out, static_cast<uint32_t>(rate));
    Put32(&out, static_cast<uint32_t>(rate * channels * bits / 8));
    Put16(&out, static_cast<uint16_t>(channels * bits / 8));
    Put16(&out, static_cast<uint16_t>(bits));
    out += "data";
    Put32(&out, dataSize ? dataSize : static_cast<uint32_t>(data.size()));
    return out + data;
}

std::string MakeId3v1(const std::string &title, const std::string &artist)
{
    std::string tag(128, '\0');
    memcpy(&tag[0], "TAG", 3);
    memcpy(&tag[3], title.data(), std::min<size_t>(30, title.size()));
    memcpy(&tag[33], artist.data(), std::min<size_t>(30, artist.size()));
    tag[127] = static_cast<char>(255);
    return tag;
}

Capture::Capture()
{
    const char *p = getenv("WYN_AUDIO_CAPTURE");
    if (p && *p)
        path_ = WindowsPath(p);
}

size_t Capture::Mark() const { return path_.empty() ? 0 : FileSize(path_); }

void Capture::Settle() const
{
    size_t last = Mark();
    for (int i = 0; i < 100; ++i) {
        Sleep(50);
        size_t now = Mark();
        // The mixer writes silence while it runs, so "settled" means the file
        // moved on past what was there a moment ago.
        if (now > last + 16384)
            return;
    }
}

std::vector<int16_t> Capture::FramesFrom(size_t from) const
{
    std::vector<int16_t> out;
    HANDLE h = CreateFileA(path_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return out;
    std::string bytes;
    char buf[65536];
    DWORD got;
    while (ReadFile(h, buf, sizeof(buf), &got, nullptr) && got > 0)
        bytes.append(buf, got);
    CloseHandle(h);
    size_t data = DataOffset(bytes.substr(0, std::min<size_t>(bytes.size(), 4096)));
    from = std::max(from, data);
    from = data + ((from - data) / 4) * 4;
    if (from >= bytes.size())
        return out;
    size_t n = (bytes.size() - from) / 2;
    n -= n % 2;
    out.resize(n);
    memcpy(out.data(), bytes.data() + from, n * 2);
    return out;
}

Level Rms(const std::vector<int16_t> &stereo, size_t firstFrame, size_t frames)
{
    Level lv;
    size_t total = stereo.size() / 2;
    size_t end = std::min(total, firstFrame + frames);
    if (end <= firstFrame)
        return lv;
    for (size_t i = firstFrame; i < end; ++i) {
        lv.left += static_cast<double>(stereo[2 * i]) * stereo[2 * i];
        lv.right += static_cast<double>(stereo[2 * i + 1]) * stereo[2 * i + 1];
    }
    lv.left = std::sqrt(lv.left / static_cast<double>(end - firstFrame));
    lv.right = std::sqrt(lv.right / static_cast<double>(end - firstFrame));
    return lv;
}

bool AudibleSpan(const std::vector<int16_t> &stereo, int threshold, size_t *first, size_t *last)
{
    bool found = false;
    for (size_t i = 0; i < stereo.size() / 2; ++i) {
        if (std::abs(stereo[2 * i]) > threshold || std::abs(stereo[2 * i + 1]) > threshold) {
            if (!found)
                *first = i;
            *last = i;
            found = true;
        }
    }
    return found;
}

RadioServer::RadioServer(Mode mode, std::string body, std::vector<std::string> titles, size_t metaInt)
    : mode_(mode), body_(std::move(body)), titles_(std::move(titles)), metaInt_(metaInt)
{
    InitializeCriticalSection(&lock_);
    WSADATA wsa;
    WSAStartup(MAKEWORD(2, 2), &wsa);
    listen_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    bind(listen_, reinterpret_cast<sockaddr *>(&addr), sizeof(addr));
    int len = sizeof(addr);
    getsockname(listen_, reinterpret_cast<sockaddr *>(&addr), &len);
    port_ = ntohs(addr.sin_port);
    listen(listen_, 8);
    thread_ = CreateThread(nullptr, 0, Run, this, 0, nullptr);
}

RadioServer::~RadioServer()
{
    stop_ = true;
    closesocket(listen_);
    WaitForSingleObject(thread_, 10000);
    CloseHandle(thread_);
    DeleteCriticalSection(&lock_);
    WSACleanup();
}

std::string RadioServer::Url(const std::string &path) const
{
    char buf[64];
    snprintf(buf, sizeof(buf), "http://127.0.0.1:%d", port_);
    return buf + path;
}

std::string RadioServer::LastRequest() const
{
    EnterCriticalSection(const_cast<CRITICAL_SECTION *>(&lock_));
    std::string r = lastRequest_;
    LeaveCriticalSection(const_cast<CRITICAL_SECTION *>(&lock_));
    return r;
}

DWORD WINAPI RadioServer::Run(void *self)
{
    RadioServer *s = static_cast<RadioServer *>(self);
    while (!s->stop_) {
        SOCKET c = accept(s->listen_, nullptr, nullptr);
        if (c == INVALID_SOCKET)
            break;
        ++s->connections_;
        s->Serve(c);
        closesocket(c);
    }
    return 0;
}

void RadioServer::Serve(SOCKET client)
{
    std::string request;
    char buf[1024];
    while (request.find("\r\n\r\n") == std::string::npos) {
        int r = recv(client, buf, sizeof(buf), 0);
        if (r <= 0)
            return;
        request.append(buf, static_cast<size_t>(r));
    }
    EnterCriticalSection(&lock_);
    lastRequest_ = request;
    LeaveCriticalSection(&lock_);
    auto sendAll = [&](const std::string &t) {
        size_t sent = 0;
        while (sent < t.size() && !stop_) {
            int r = send(client, t.data() + sent, static_cast<int>(t.size() - sent), 0);
            if (r <= 0)
                return false;
            sent += static_cast<size_t>(r);
        }
        return !stop_;
    };
    switch (mode_) {
    case kNotFound:
        sendAll("HTTP/1.0 404 Not Found\r\nContent-Type: text/html\r\n\r\nno");
        return;
    case kSilent:
        while (!stop_ && recv(client, buf, sizeof(buf), 0) > 0) {
        }
        return;
    case kHttpIcy:
        if (sendAll("HTTP/1.0 200 OK\r\nContent-Type: audio/x-wav\r\nicy-name:Test Radio\r\nicy-br:128\r\n\r\n"))
            sendAll(body_);
        return;
    case kStall:
        if (sendAll("ICY 200 OK\r\nicy-name:Stall Radio\r\ncontent-type:audio/x-wav\r\n\r\n"))
            sendAll(body_.substr(0, std::min<size_t>(body_.size(), 8192)));
        while (!stop_) {
            fd_set r;
            FD_ZERO(&r);
            FD_SET(client, &r);
            timeval tv{0, 100000};
            if (select(0, &r, nullptr, nullptr, &tv) > 0 && recv(client, buf, sizeof(buf), 0) <= 0)
                return;
        }
        return;
    case kIcy:
        break;
    }
    bool meta = request.find("Icy-MetaData:1") != std::string::npos;
    std::string head = "ICY 200 OK\r\nicy-name:Test Radio\r\ncontent-type:audio/x-wav\r\n";
    if (meta)
        head += "icy-metaint:" + std::to_string(metaInt_) + "\r\n";
    if (!sendAll(head + "\r\n"))
        return;
    size_t block = 0;
    for (size_t at = 0; at < body_.size(); at += metaInt_, ++block) {
        std::string piece = body_.substr(at, metaInt_);
        if (!sendAll(piece))
            return;
        if (!meta || piece.size() < metaInt_)
            continue;
        std::string text = block < titles_.size() ? titles_[block] : std::string();
        size_t units = (text.size() + 15) / 16;
        std::string m(1, static_cast<char>(units));
        m += text;
        m.resize(1 + units * 16, '\0');
        if (!sendAll(m))
            return;
    }
}

bool Bass::Load(const std::string &path)
{
    module = LoadLibraryA(path.c_str());
    if (!module)
        return false;
    bool ok = true;
    auto take = [&](auto &fn, const char *name) {
        fn = reinterpret_cast<std::remove_reference_t<decltype(fn)>>(
            reinterpret_cast<void *>(GetProcAddress(module, name)));
        ok = ok && fn != nullptr;
    };
    take(GetVersion, "BASS_GetVersion");
    take(ErrorGetCode, "BASS_ErrorGetCode");
    take(GetDeviceDescription, "BASS_GetDeviceDescription");
    take(Init, "BASS_Init");
    take(Free, "BASS_Free");
    take(Start, "BASS_Start");
    take(Stop, "BASS_Stop");
    take(StreamCreateFile, "BASS_StreamCreateFile");
    take(StreamCreateURL, "BASS_StreamCreateURL");
    take(ChannelPlay, "BASS_ChannelPlay");
    take(StreamFree, "BASS_StreamFree");
    take(SetVolume, "BASS_SetVolume");
    take(SampleGetChannel, "BASS_SampleGetChannel");
    take(ChannelIsActive, "BASS_ChannelIsActive");
    take(ChannelSetAttributes, "BASS_ChannelSetAttributes");
    take(ChannelSlideAttributes, "BASS_ChannelSlideAttributes");
    take(ChannelStop, "BASS_ChannelStop");
    take(ChannelSetFlags, "BASS_ChannelSetFlags");
    take(ChannelIsSliding, "BASS_ChannelIsSliding");
    take(ChannelGetPosition, "BASS_ChannelGetPosition");
    take(ChannelGetLevel, "BASS_ChannelGetLevel");
    take(ChannelSetSync, "BASS_ChannelSetSync");
    take(SampleLoad, "BASS_SampleLoad");
    take(StreamGetTags, "BASS_StreamGetTags");
    take(SetConfig, "BASS_SetConfig");
    return ok;
}

void Bass::Unload()
{
    if (module)
        FreeLibrary(module);
    module = nullptr;
}

const char kNoDeviceChildVar[] = "WYN_NO_AUDIO_DEVICE_CHILD";

int RunWithoutAudioDevice(const std::string &exeName, const std::string &filter)
{
    testutil::TempDir dir;
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string probe = dir.File(exeName);
    if (!CopyFileA(self, probe.c_str(), FALSE))
        return -1;
    std::string app = "Software\\Wine\\AppDefaults\\" + exeName;
    HKEY h;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, (app + "\\DllOverrides").c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &h,
                        nullptr) != ERROR_SUCCESS)
        return -1;
    for (const char *driver : {"winealsa.drv", "winepulse.drv", "wineoss.drv"})
        RegSetValueExA(h, driver, 0, REG_SZ, reinterpret_cast<const BYTE *>(""), 1);
    RegCloseKey(h);
    SetEnvironmentVariableA(kNoDeviceChildVar, "1");
    int rc = testutil::RunProcess("\"" + probe + "\" --gtest_filter=" + filter, 60000);
    SetEnvironmentVariableA(kNoDeviceChildVar, nullptr);
    testutil::DeleteUserKey(app.c_str());
    return rc;
}

bool WaitUntil(const std::function<bool()> &cond, DWORD ms)
{
    DWORD start = GetTickCount();
    while (!cond()) {
        if (GetTickCount() - start >= ms)
            return false;
        Sleep(10);
    }
    return true;
}

}  // namespace audiotest
