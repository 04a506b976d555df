// Streams from "http://" addresses with our own small HTTP client: Shoutcast
// servers answer "ICY 200 OK", which general HTTP libraries refuse. The reader
// thread strips the ICY metadata blocks from the audio, keeps the newest title
// and tells the metadata syncs about it.
#include "engine.h"
#include "formats.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <cstring>
#include <list>

namespace bass {

struct NetReader {
    SOCKET sock = INVALID_SOCKET;
    HANDLE thread = nullptr;
    std::atomic<bool> cancel{false};
    std::atomic<bool> ended{false};
    std::atomic<uint64_t> received{0};
    DWORD timeoutMs = 5000;
    DWORD channel = 0;              // engine lock

    // Audio bytes between the socket and the decoder.
    Mutex ringLock;
    std::vector<uint8_t> ring;
    size_t read = 0;
    size_t count = 0;
    HANDLE dataEvent = nullptr;
    HANDLE spaceEvent = nullptr;

    // ICY metadata: every metaInt audio bytes a length byte and 16 * length bytes.
    size_t metaInt = 0;
    size_t untilMeta = 0;
    size_t metaLeft = 0;
    bool inMetaLength = false;
    std::string metaText;

    // Tags (engine lock). Superseded titles stay alive for pointers handed out.
    bool icyResponse = false;
    std::string headers;            // zero-separated, ends with an empty text
    std::list<std::string> metas;
    const char *currentMeta = nullptr;

    ~NetReader()
    {
        if (sock != INVALID_SOCKET)
            closesocket(sock);
        if (thread)
            CloseHandle(thread);
        if (dataEvent)
            CloseHandle(dataEvent);
        if (spaceEvent)
            CloseHandle(spaceEvent);
    }
};

namespace {

constexpr size_t kNetRing = 256 * 1024;
constexpr size_t kPrebuffer = 64 * 1024;
constexpr size_t kMaxHeader = 16 * 1024;
constexpr int kMaxRedirects = 3;
constexpr DWORD kPollMs = 100;
constexpr int kHttpPort = 80;

std::vector<std::shared_ptr<NetReader>> g_readers;   // engine lock
std::atomic<LONG> g_netEpoch{0};
bool g_wsaStarted = false;

class NetSource : public ByteSource {
public:
    explicit NetSource(std::shared_ptr<NetReader> r) : r_(std::move(r)) {}
    int Read(void *buf, int n, bool *wouldBlock) override
    {
        r_->ringLock.Enter();
        size_t take = std::min(static_cast<size_t>(n), r_->count);
        uint8_t *out = static_cast<uint8_t *>(buf);
        for (size_t i = 0; i < take; ++i)
            out[i] = r_->ring[(r_->read + i) % r_->ring.size()];
        r_->read = (r_->read + take) % r_->ring.size();
        r_->count -= take;
        r_->ringLock.Leave();
        if (take > 0)
            SetEvent(r_->spaceEvent);
        *wouldBlock = take == 0 && !r_->ended;
        return static_cast<int>(take);
    }
    int ReadWait(void *buf, int n) override
    {
        DWORD start = GetTickCount();
        for (;;) {
            bool wouldBlock = false;
            int r = Read(buf, n, &wouldBlock);
            if (r > 0 || !wouldBlock)
                return r;
            if (GetTickCount() - start >= r_->timeoutMs || r_->cancel)
                return 0;
            WaitForSingleObject(r_->dataEvent, kPollMs);
        }
    }

private:
    std::shared_ptr<NetReader> r_;
};

struct Url {
    std::string host;
    int port = kHttpPort;
    std::string path;
};

bool ParseUrl(const std::string &url, Url *out)
{
    if (url.size() < 7 || _strnicmp(url.c_str(), "http://", 7) != 0)
        return false;
    std::string rest = url.substr(7);
    size_t slash = rest.find('/');
    std::string hostPort = rest.substr(0, slash);
    out->path = slash == std::string::npos ? "/" : rest.substr(slash);
    size_t at = hostPort.rfind('@');
    if (at != std::string::npos)
        hostPort = hostPort.substr(at + 1);
    size_t colon = hostPort.rfind(':');
    if (colon != std::string::npos) {
        out->port = atoi(hostPort.c_str() + colon + 1);
        hostPort.resize(colon);
    }
    out->host = hostPort;
    return !out->host.empty() && out->port > 0 && out->port < 65536;
}

bool Cancelled(LONG epoch) { return g_netEpoch.load() != epoch; }

// Connects with a time-out; the socket is left blocking.
SOCKET Connect(const Url &u, LONG epoch, int *error)
{
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo *list = nullptr;
    char port[16];
    snprintf(port, sizeof(port), "%d", u.port);
    if (getaddrinfo(u.host.c_str(), port, &hints, &list) != 0 || !list) {
        *error = kErrFileOpen;
        return INVALID_SOCKET;
    }
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    u_long nonBlocking = 1;
    ioctlsocket(s, FIONBIO, &nonBlocking);
    connect(s, list->ai_addr, static_cast<int>(list->ai_addrlen));
    freeaddrinfo(list);
    DWORD start = GetTickCount();
    for (;;) {
        fd_set w, e;
        FD_ZERO(&w);
        FD_ZERO(&e);
        FD_SET(s, &w);
        FD_SET(s, &e);
        timeval tv{0, static_cast<long>(kPollMs * 1000)};
        int r = select(0, nullptr, &w, &e, &tv);
        if (r > 0) {
            int soError = 0;
            int len = sizeof(soError);
            getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char *>(&soError), &len);
            if (FD_ISSET(s, &e) || soError != 0) {
                *error = kErrFileOpen;
                break;
            }
            nonBlocking = 0;
            ioctlsocket(s, FIONBIO, &nonBlocking);
            return s;
        }
        if (r < 0) {
            *error = kErrFileOpen;
            break;
        }
        if (Cancelled(epoch)) {
            *error = kErrInit;
            break;
        }
        if (GetTickCount() - start >= g.netTimeoutMs) {
            *error = kErrTimeout;
            break;
        }
    }
    closesocket(s);
    return INVALID_SOCKET;
}

// Waits until the socket can be read. 1 readable, 0 time-out, -1 error or cancel.
int WaitReadable(SOCKET s, DWORD ms, const std::atomic<bool> *cancel, LONG epoch)
{
    DWORD start = GetTickCount();
    for (;;) {
        fd_set r;
        FD_ZERO(&r);
        FD_SET(s, &r);
        timeval tv{0, static_cast<long>(kPollMs * 1000)};
        int n = select(0, &r, nullptr, nullptr, &tv);
        if (n > 0)
            return 1;
        if (n < 0 || (cancel && *cancel) || Cancelled(epoch))
            return -1;
        if (GetTickCount() - start >= ms)
            return 0;
    }
}

bool SendAll(SOCKET s, const std::string &text)
{
    size_t sent = 0;
    while (sent < text.size()) {
        int r = send(s, text.data() + sent, static_cast<int>(text.size() - sent), 0);
        if (r <= 0)
            return false;
        sent += static_cast<size_t>(r);
    }
    return true;
}

// Reads up to the blank line that ends the headers; body bytes read with them go to *rest.
bool ReadHeaders(SOCKET s, LONG epoch, std::string *head, std::string *rest, int *error)
{
    char buf[2048];
    while (head->size() < kMaxHeader) {
        int w = WaitReadable(s, g.netTimeoutMs, nullptr, epoch);
        if (w <= 0) {
            *error = w == 0 ? kErrTimeout : kErrFileOpen;
            return false;
        }
        int r = recv(s, buf, sizeof(buf), 0);
        if (r <= 0) {
            *error = kErrFileOpen;
            return false;
        }
        head->append(buf, static_cast<size_t>(r));
        size_t end = head->find("\r\n\r\n");
        size_t skip = 4;
        if (end == std::string::npos) {
            end = head->find("\n\n");
            skip = 2;
        }
        if (end != std::string::npos) {
            *rest = head->substr(end + skip);
            head->resize(end);
            return true;
        }
    }
    *error = kErrFileOpen;
    return false;
}

std::string HeaderValue(const std::vector<std::string> &lines, const char *name)
{
    size_t n = strlen(name);
    for (const std::string &line : lines) {
        if (line.size() > n && _strnicmp(line.c_str(), name, n) == 0 && line[n] == ':') {
            size_t v = line.find_first_not_of(' ', n + 1);
            return v == std::string::npos ? std::string() : line.substr(v);
        }
    }
    return std::string();
}

// Fires the metadata syncs of the reader's channel, outside the engine lock.
void NewMetadata(NetReader *r, const std::string &text)
{
    std::vector<SyncEntry> syncs;
    const char *data = nullptr;
    DWORD channel = 0;
    {
        Lock lock;
        if (r->currentMeta && text == r->currentMeta)
            return;
        r->metas.push_back(text);
        r->currentMeta = r->metas.back().c_str();
        data = r->currentMeta;
        channel = r->channel;
        if (Channel *c = channel ? FindChannel(channel) : nullptr)
            for (const SyncEntry &e : c->syncs)
                if (e.type == kSyncMeta)
                    syncs.push_back(e);
    }
    for (const SyncEntry &e : syncs) {
        if (r->cancel)
            return;
        e.proc(e.handle, channel, reinterpret_cast<DWORD_PTR>(data), e.user);
    }
}

void PushAudio(NetReader *r, const uint8_t *p, size_t n)
{
    while (n > 0 && !r->cancel) {
        r->ringLock.Enter();
        size_t space = r->ring.size() - r->count;
        size_t take = std::min(space, n);
        size_t write = (r->read + r->count) % r->ring.size();
        for (size_t i = 0; i < take; ++i)
            r->ring[(write + i) % r->ring.size()] = p[i];
        r->count += take;
        r->ringLock.Leave();
        if (take > 0)
            SetEvent(r->dataEvent);
        p += take;
        n -= take;
        if (n > 0)
            WaitForSingleObject(r->spaceEvent, kPollMs);
    }
}

// Splits received bytes into audio and metadata.
void TakeBytes(NetReader *r, const uint8_t *p, size_t n)
{
    r->received += n;
    if (r->metaInt == 0) {
        PushAudio(r, p, n);
        return;
    }
    while (n > 0) {
        if (r->metaLeft > 0) {
            size_t take = std::min(r->metaLeft, n);
            r->metaText.append(reinterpret_cast<const char *>(p), take);
            r->metaLeft -= take;
            p += take;
            n -= take;
            if (r->metaLeft == 0) {
                std::string text(r->metaText.c_str());   // cut at the zero padding
                r->metaText.clear();
                r->untilMeta = r->metaInt;
                if (!text.empty())
                    NewMetadata(r, text);
            }
        } else if (r->inMetaLength) {
            r->metaLeft = static_cast<size_t>(*p) * 16;
            r->inMetaLength = false;
            ++p;
            --n;
            if (r->metaLeft == 0)
                r->untilMeta = r->metaInt;
        } else {
            size_t take = std::min(r->untilMeta, n);
            PushAudio(r, p, take);
            r->untilMeta -= take;
            p += take;
            n -= take;
            if (r->untilMeta == 0)
                r->inMetaLength = true;
        }
    }
}

DWORD WINAPI ReaderThread(void *param)
{
    NetReader *r = static_cast<NetReader *>(param);
    uint8_t buf[16384];
    while (!r->cancel) {
        int w = WaitReadable(r->sock, r->timeoutMs, &r->cancel, g_netEpoch.load());
        if (w <= 0)
            break;
        int got = recv(r->sock, reinterpret_cast<char *>(buf), sizeof(buf), 0);
        if (got <= 0)
            break;
        TakeBytes(r, buf, static_cast<size_t>(got));
    }
    r->ended = true;
    SetEvent(r->dataEvent);
    return 0;
}

}  // namespace

std::shared_ptr<Stream> OpenUrlStream(const char *url, DWORD flags, int *error)
{
    LONG epoch = g_netEpoch.load();
    {
        Lock lock;
        if (!g_wsaStarted) {
            WSADATA data;
            if (WSAStartup(MAKEWORD(2, 2), &data) != 0) {
                *error = kErrNoNet;
                return nullptr;
            }
            g_wsaStarted = true;
        }
    }
    std::string target = url;
    SOCKET sock = INVALID_SOCKET;
    std::string head, rest;
    std::vector<std::string> lines;
    bool icy = false;
    for (int hop = 0;; ++hop) {
        Url u;
        if (!ParseUrl(target, &u)) {
            *error = kErrFileOpen;
            return nullptr;
        }
        sock = Connect(u, epoch, error);
        if (sock == INVALID_SOCKET)
            return nullptr;
        std::string request = "GET " + u.path + " HTTP/1.0\r\nHost: " + u.host +
                              "\r\nUser-Agent: Wendelby/1.1\r\nAccept: */*\r\n";
        if (flags & kFlagMeta)
            request += "Icy-MetaData:1\r\n";
        request += "Connection: close\r\n\r\n";
        head.clear();
        rest.clear();
        if (!SendAll(sock, request) || !ReadHeaders(sock, epoch, &head, &rest, error)) {
            if (*error == kOk)
                *error = kErrFileOpen;
            closesocket(sock);
            return nullptr;
        }
        lines.clear();
        size_t start = 0;
        while (start <= head.size()) {
            size_t end = head.find('\n', start);
            std::string line = head.substr(start, end == std::string::npos ? std::string::npos : end - start);
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            if (!line.empty())
                lines.push_back(line);
            if (end == std::string::npos)
                break;
            start = end + 1;
        }
        std::string status = lines.empty() ? std::string() : lines.front();
        int code = 0;
        icy = status.compare(0, 4, "ICY ") == 0;
        if (icy)
            code = atoi(status.c_str() + 4);
        else if (status.compare(0, 5, "HTTP/") == 0 && status.find(' ') != std::string::npos)
            code = atoi(status.c_str() + status.find(' ') + 1);
        lines.erase(lines.begin(), lines.begin() + (lines.empty() ? 0 : 1));
        if (code == 200)
            break;
        closesocket(sock);
        std::string location = HeaderValue(lines, "Location");
        if ((code == 301 || code == 302 || code == 303 || code == 307) && !location.empty() &&
            hop < kMaxRedirects) {
            target = location;
            continue;
        }
        *error = kErrFileOpen;
        return nullptr;
    }

    auto r = std::make_shared<NetReader>();
    r->sock = sock;
    r->timeoutMs = g.netTimeoutMs;
    r->ring.resize(kNetRing);
    r->dataEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    r->spaceEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    r->icyResponse = icy;
    bool anyIcy = icy;
    for (const std::string &line : lines) {
        r->headers += line;
        r->headers.push_back('\0');
        if (_strnicmp(line.c_str(), "icy-", 4) == 0)
            anyIcy = true;
    }
    r->headers.push_back('\0');
    r->icyResponse = anyIcy;
    if (flags & kFlagMeta) {
        r->metaInt = static_cast<size_t>(atoi(HeaderValue(lines, "icy-metaint").c_str()));
        r->untilMeta = r->metaInt;
    }
    TakeBytes(r.get(), reinterpret_cast<const uint8_t *>(rest.data()), rest.size());
    {
        Lock lock;
        if (!g.inited || Cancelled(epoch)) {
            *error = kErrInit;
            return nullptr;
        }
        r->thread = CreateThread(nullptr, 0, ReaderThread, r.get(), 0, nullptr);
        if (!r->thread) {
            *error = kErrMem;
            return nullptr;
        }
        // Readers whose thread has ended are let go with their buffers.
        g_readers.erase(std::remove_if(g_readers.begin(), g_readers.end(),
                                       [](const std::shared_ptr<NetReader> &old) {
                                           return WaitForSingleObject(old->thread, 0) == WAIT_OBJECT_0;
                                       }),
                        g_readers.end());
        g_readers.push_back(r);
    }

    auto s = std::make_shared<Stream>();
    s->net = r;
    s->decoder = OpenDecoder(std::make_unique<NetSource>(r), error);
    if (!s->decoder) {
        if (r->received == 0)
            *error = kErrTimeout;
        r->cancel = true;
        return nullptr;
    }
    // Enough in hand that playback does not stall at once; a slow server gets
    // half the time-out, so that a stream that has started is not ended by it.
    DWORD start = GetTickCount();
    while (!r->ended && !r->cancel && GetTickCount() - start < g.netTimeoutMs / 2) {
        r->ringLock.Enter();
        size_t have = r->count;
        r->ringLock.Leave();
        if (have >= kPrebuffer)
            break;
        WaitForSingleObject(r->dataEvent, kPollMs);
    }
    *error = kOk;
    return s;
}

void CancelNetReader(NetReader *r) { r->cancel = true; }

void CancelNetReaders()
{
    g_netEpoch.fetch_add(1);
    Lock lock;
    for (auto &r : g_readers)
        r->cancel = true;
}

void JoinNetReaders()
{
    std::vector<std::shared_ptr<NetReader>> readers;
    {
        Lock lock;
        readers.swap(g_readers);
    }
    for (auto &r : readers)
        if (r->thread)
            WaitForSingleObject(r->thread, INFINITE);
    readers.clear();
    Lock lock;
    if (g_wsaStarted) {
        WSACleanup();
        g_wsaStarted = false;
    }
}

const char *NetTags(Stream *s, DWORD type)
{
    NetReader *r = s->net.get();
    if (!r)
        return nullptr;
    switch (type) {
    case kTagIcy:
        return r->icyResponse ? r->headers.c_str() : nullptr;
    case kTagHttp:
        return r->headers.c_str();
    case kTagMeta:
        return r->currentMeta;
    default:
        return nullptr;
    }
}

void AttachNetSyncs(Stream *s, DWORD channel)
{
    if (!s->net)
        return;
    Lock lock;
    s->net->channel = channel;
}

}  // namespace bass
