// Our audio library under Wine: what the screensaver relies on, heard through
// the rig's ALSA file sink where loudness and panning matter.
#include <gtest/gtest.h>

#include "audiotest.h"
#include "testutil.h"

#include <cstring>
#include <set>

using namespace audiotest;
using testutil::DistPath;
using testutil::TempDir;

namespace {

constexpr DWORD kMaxVol = 3, kGvolSample = 4, kNetTimeout = 11;
constexpr DWORD kAutoFree = 0x40000, kOverVol = 0x10000, kLoop = 4;
constexpr DWORD kUrlFlags = 0x540000;
constexpr DWORD kTagId3 = 0, kTagIcy = 4, kTagMeta = 5;
constexpr DWORD kSyncMeta = 4;
constexpr int kRate = 44100;

class BassTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(bass.Load(DistPath("bass.dll")));
        ASSERT_TRUE(bass.Init(1, kRate, 0, nullptr, nullptr)) << bass.ErrorGetCode();
        ASSERT_EQ(1000u, bass.SetConfig(kMaxVol, 1000));
        bass.SetConfig(kGvolSample, 1000);
    }
    void TearDown() override
    {
        bass.Free();
        bass.Unload();
    }

    DWORD LoadTone(double seconds, int channels = 1, int bits = 16, DWORD max = 32, DWORD flags = kOverVol)
    {
        wav = MakeWav(22050, channels, bits, Tone(22050, channels, seconds, 440, 12000));
        return bass.SampleLoad(TRUE, wav.data(), 0, static_cast<DWORD>(wav.size()), max, flags);
    }

    bool WaitStopped(DWORD ch, DWORD ms = 10000)
    {
        return WaitUntil([&] { return bass.ChannelIsActive(ch) == 0; }, ms);
    }

    // Plays ch, waits for its end and returns the captured frames of that time.
    std::vector<int16_t> PlayAndCapture(DWORD ch)
    {
        size_t mark = capture.Mark();
        EXPECT_TRUE(bass.ChannelPlay(ch, FALSE));
        EXPECT_TRUE(WaitStopped(ch));
        capture.Settle();
        return capture.FramesFrom(mark);
    }

    Bass bass;
    Capture capture;
    std::string wav;
    TempDir dir;
};

TEST_F(BassTest, AnswersVersionAndRefusesSecondInit)
{
    EXPECT_EQ(0x00010002u, bass.GetVersion());
    EXPECT_FALSE(bass.Init(1, kRate, 0, nullptr, nullptr));
    EXPECT_EQ(14, bass.ErrorGetCode());
    EXPECT_STREQ("No sound", bass.GetDeviceDescription(0));
    EXPECT_NE(nullptr, bass.GetDeviceDescription(1));
    EXPECT_EQ(nullptr, bass.GetDeviceDescription(2));
}

TEST_F(BassTest, PanSetsTheBalanceOfTheChannels)
{
    ASSERT_TRUE(capture.Available());
    DWORD sample = LoadTone(0.3);
    ASSERT_NE(0u, sample) << bass.ErrorGetCode();
    struct Case {
        int pan;
        double rightToLeft;  // expected R/L energy ratio (inf: left silent)
    } cases[] = {{-100, 0.0}, {-50, 0.5}, {0, 1.0}, {100, -1}};
    for (const Case &c : cases) {
        DWORD ch = bass.SampleGetChannel(sample, FALSE);
        ASSERT_NE(0u, ch);
        ASSERT_TRUE(bass.ChannelSetAttributes(ch, -1, 1000, c.pan));
        std::vector<int16_t> frames = PlayAndCapture(ch);
        size_t first = 0, last = 0;
        ASSERT_TRUE(AudibleSpan(frames, 300, &first, &last)) << "pan " << c.pan;
        Level lv = Rms(frames, first, last - first + 1);
        if (c.rightToLeft < 0) {
            EXPECT_LT(lv.left, 50.0) << "pan " << c.pan;
            EXPECT_GT(lv.right, 3000.0) << "pan " << c.pan;
        } else {
            EXPECT_GT(lv.left, 3000.0) << "pan " << c.pan;
            EXPECT_NEAR(c.rightToLeft, lv.right / lv.left, 0.05) << "pan " << c.pan;
        }
    }
}

TEST_F(BassTest, FadeLowersTheLevelAndStopsTheChannel)
{
    ASSERT_TRUE(capture.Available());
    DWORD sample = LoadTone(2.0);
    DWORD ch = bass.SampleGetChannel(sample, FALSE);
    size_t mark = capture.Mark();
    ASSERT_TRUE(bass.ChannelPlay(ch, FALSE));
    ASSERT_TRUE(bass.ChannelSlideAttributes(ch, -1, -2, -101, 1000));
    EXPECT_EQ(2u, bass.ChannelIsSliding(ch) & 2u);
    ASSERT_TRUE(WaitStopped(ch));
    // A stopped faded channel is gone: its handle plays no more.
    EXPECT_FALSE(bass.ChannelPlay(ch, FALSE));
    EXPECT_EQ(5, bass.ErrorGetCode());
    capture.Settle();
    std::vector<int16_t> frames = capture.FramesFrom(mark);
    size_t first = 0, last = 0;
    ASSERT_TRUE(AudibleSpan(frames, 100, &first, &last));
    size_t span = last - first + 1;
    EXPECT_GT(span, kRate * 8 / 10);
    EXPECT_LT(span, kRate * 13 / 10);  // ended at the fade, not at the tone's 2 s
    double start = Rms(frames, first, span / 10).left;
    double middle = Rms(frames, first + span * 45 / 100, span / 10).left;
    double end = Rms(frames, first + span * 85 / 100, span / 10).left;
    EXPECT_GT(start, middle * 1.4);
    EXPECT_GT(middle, end * 2);
}

TEST_F(BassTest, FortyPlaysOfOneSampleKeepThirtyTwoAndTakeOverTheQuietest)
{
    DWORD sample = LoadTone(3.0);
    std::vector<DWORD> handles;
    for (int i = 0; i < 40; ++i) {
        DWORD ch = bass.SampleGetChannel(sample, FALSE);
        ASSERT_NE(0u, ch) << i;
        handles.push_back(ch);
        bass.ChannelSetAttributes(ch, -1, i == 5 ? 100 : 1000, -101);
        ASSERT_TRUE(bass.ChannelPlay(ch, FALSE));
        int active = 0;
        for (DWORD h : handles)
            active += bass.ChannelIsActive(h) == 1;
        ASSERT_LE(active, 32) << "after play " << i;
    }
    std::set<DWORD> unique(handles.begin(), handles.end());
    EXPECT_EQ(40u, unique.size());  // a taken-over slot gets a new handle
    std::vector<int> gone;
    for (int i = 0; i < 40; ++i)
        if (bass.ChannelIsActive(handles[static_cast<size_t>(i)]) == 0)
            gone.push_back(i);
    EXPECT_EQ((std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7}), gone);
    EXPECT_FALSE(bass.ChannelPlay(handles[5], FALSE));
    EXPECT_EQ(5, bass.ErrorGetCode());
    // Without take-over the 33rd request is refused.
    DWORD strict = LoadTone(1.0, 1, 16, 2, 0);
    EXPECT_NE(0u, bass.SampleGetChannel(strict, FALSE));
    EXPECT_NE(0u, bass.SampleGetChannel(strict, FALSE));
    DWORD third = bass.SampleGetChannel(strict, FALSE);
    // Both are unplayed, so one of them is handed out again as a new channel.
    EXPECT_NE(0u, third);
    EXPECT_EQ(0u, bass.SampleGetChannel(strict, TRUE));
    EXPECT_EQ(18, bass.ErrorGetCode());
}

TEST_F(BassTest, SampleFormatsAndBadData)
{
    EXPECT_NE(0u, LoadTone(0.1, 2, 8));
    EXPECT_NE(0u, LoadTone(0.1, 1, 8));
    EXPECT_NE(0u, LoadTone(0.1, 2, 16));
    std::string junk = "RIFF\x10\0\0\0WAVEjunk and more";
    EXPECT_EQ(0u, bass.SampleLoad(TRUE, junk.data(), 0, static_cast<DWORD>(junk.size()), 32, 0));
    EXPECT_EQ(41, bass.ErrorGetCode());
    // A data chunk that claims more than there is plays what is there.
    std::string wavShort = MakeWav(22050, 1, 16, Tone(22050, 1, 0.1, 440, 8000), 1u << 30);
    EXPECT_NE(0u, bass.SampleLoad(TRUE, wavShort.data(), 0, static_cast<DWORD>(wavShort.size()), 32, 0));
    EXPECT_EQ(0u, bass.ChannelIsActive(0));
    EXPECT_FALSE(bass.ChannelPlay(0x7FFFFFF0, FALSE));
    EXPECT_EQ(5, bass.ErrorGetCode());
}

TEST_F(BassTest, WavFileStreamPlaysReportsItsTitleAndFreesItself)
{
    ASSERT_TRUE(capture.Available());
    std::string path = dir.File("song.wav");
    ASSERT_TRUE(testutil::WriteFileBytes(
        path, MakeWav(kRate, 2, 16, Tone(kRate, 2, 0.5, 330, 10000)) + MakeId3v1("Title", "Artist")));
    DWORD st = bass.StreamCreateFile(FALSE, path.c_str(), 0, 0, kAutoFree);
    ASSERT_NE(0u, st) << bass.ErrorGetCode();
    const char *tag = bass.StreamGetTags(st, kTagId3);
    ASSERT_NE(nullptr, tag);
    EXPECT_EQ(0, memcmp(tag, "TAG", 3));
    EXPECT_STREQ("Title", tag + 3);
    EXPECT_EQ(nullptr, bass.StreamGetTags(st, kTagMeta));
    EXPECT_EQ(37, bass.ErrorGetCode());
    bass.ChannelSetAttributes(st, -1, 1000, 0);
    std::vector<int16_t> frames = PlayAndCapture(st);
    size_t first = 0, last = 0;
    ASSERT_TRUE(AudibleSpan(frames, 300, &first, &last));
    // The tag is not played as sound: the span is the half second of audio.
    EXPECT_NEAR(kRate / 2.0, static_cast<double>(last - first + 1), kRate * 0.05);
    EXPECT_FALSE(bass.ChannelPlay(st, FALSE));  // freed at its end
    EXPECT_EQ(5, bass.ErrorGetCode());
}

TEST_F(BassTest, FileStreamErrors)
{
    EXPECT_EQ(0u, bass.StreamCreateFile(FALSE, dir.File("missing.mp3").c_str(), 0, 0, kAutoFree));
    EXPECT_EQ(2, bass.ErrorGetCode());
    std::string junk = dir.File("junk.mp3");
    ASSERT_TRUE(testutil::WriteFileBytes(junk, std::string(5000, 'x')));
    EXPECT_EQ(0u, bass.StreamCreateFile(FALSE, junk.c_str(), 0, 0, kAutoFree));
    EXPECT_EQ(41, bass.ErrorGetCode());
}

TEST_F(BassTest, Mp3ThroughTheSystemCodec)
{
    std::string path = testutil::BuildPath("tests/bass/tone.mp3");
    ASSERT_TRUE(testutil::FileExists(path)) << path;
    DWORD st = bass.StreamCreateFile(FALSE, path.c_str(), 0, 0, kAutoFree);
    ASSERT_NE(0u, st) << bass.ErrorGetCode();
    const char *tag = bass.StreamGetTags(st, kTagId3);
    ASSERT_NE(nullptr, tag);
    EXPECT_EQ(0, strncmp(tag + 33, "Tone Artist", 11));
    std::vector<int16_t> frames = PlayAndCapture(st);
    size_t first = 0, last = 0;
    ASSERT_TRUE(AudibleSpan(frames, 1000, &first, &last));
    EXPECT_NEAR(static_cast<double>(kRate), static_cast<double>(last - first + 1), kRate * 0.15);
    // The same content loads as a sample too.
    std::string bytes = testutil::ReadFileBytes(path);
    EXPECT_NE(0u, bass.SampleLoad(TRUE, bytes.data(), 0, static_cast<DWORD>(bytes.size()), 4, 0));
}

std::atomic<int> g_syncCalls{0};
std::atomic<bool> g_freed{false};
std::atomic<bool> g_calledAfterFree{false};
CRITICAL_SECTION g_syncLock;
std::vector<std::string> g_syncTexts;

void CALLBACK MetaSync(DWORD, DWORD, DWORD_PTR data, DWORD_PTR)
{
    if (g_freed)
        g_calledAfterFree = true;
    EnterCriticalSection(&g_syncLock);
    g_syncTexts.push_back(reinterpret_cast<const char *>(data));
    LeaveCriticalSection(&g_syncLock);
    ++g_syncCalls;
}

std::vector<std::string> SyncTexts()
{
    EnterCriticalSection(&g_syncLock);
    std::vector<std::string> t = g_syncTexts;
    LeaveCriticalSection(&g_syncLock);
    return t;
}

class BassRadioTest : public BassTest {
protected:
    void SetUp() override
    {
        BassTest::SetUp();
        InitializeCriticalSection(&g_syncLock);
        g_syncTexts.clear();
        g_syncCalls = 0;
        g_freed = false;
        g_calledAfterFree = false;
        bass.SetConfig(kNetTimeout, 2000);
    }
    void TearDown() override
    {
        BassTest::TearDown();
        DeleteCriticalSection(&g_syncLock);
    }
    static std::string Body(double seconds)
    {
        return MakeWav(kRate, 2, 16, Tone(kRate, 2, seconds, 440, 9000), 0xFFFFFFFFu);
    }
};

TEST_F(BassRadioTest, IcyStreamPlaysWithTitlesFromMetadata)
{
    std::vector<std::string> titles(260);
    titles[0] = "StreamTitle='A - B';StreamUrl='';";
    titles[2] = titles[0];                        // repeated: no second call
    titles[200] = "StreamTitle='C - D';";
    titles[201] = titles[200];
    RadioServer server(RadioServer::kIcy, Body(8), titles);
    DWORD st = bass.StreamCreateURL(server.Url().c_str(), 0, kUrlFlags, nullptr, 0);
    ASSERT_NE(0u, st) << bass.ErrorGetCode();
    EXPECT_NE(std::string::npos, server.LastRequest().find("Icy-MetaData:1"));
    // ICY headers: zero-terminated texts ending with an empty one.
    const char *icy = bass.StreamGetTags(st, kTagIcy);
    ASSERT_NE(nullptr, icy);
    bool named = false;
    for (const char *p = icy; *p; p += strlen(p) + 1)
        named = named || strcmp(p, "icy-name:Test Radio") == 0;
    EXPECT_TRUE(named);
    const char *meta = bass.StreamGetTags(st, kTagMeta);
    ASSERT_NE(nullptr, meta);
    EXPECT_STREQ("StreamTitle='A - B';StreamUrl='';", meta);
    ASSERT_NE(0u, bass.ChannelSetSync(st, kSyncMeta, 0, reinterpret_cast<void *>(MetaSync), 7));
    bass.ChannelSetAttributes(st, -1, 1000, -1);
    ASSERT_TRUE(bass.ChannelPlay(st, FALSE));
    EXPECT_EQ(1u, bass.ChannelIsActive(st));
    ASSERT_TRUE(WaitUntil([&] { return g_syncCalls > 0; }, 15000));
    EXPECT_STREQ(meta, "StreamTitle='A - B';StreamUrl='';");  // old text still valid
    ASSERT_TRUE(WaitStopped(st, 20000));
    EXPECT_EQ((std::vector<std::string>{"StreamTitle='C - D';"}), SyncTexts());
}

TEST_F(BassRadioTest, HttpAnswerWithIcyHeaders)
{
    RadioServer server(RadioServer::kHttpIcy, Body(0.5));
    DWORD st = bass.StreamCreateURL(server.Url().c_str(), 0, kUrlFlags, nullptr, 0);
    ASSERT_NE(0u, st) << bass.ErrorGetCode();
    const char *icy = bass.StreamGetTags(st, kTagIcy);
    ASSERT_NE(nullptr, icy);
    bool named = false;
    for (const char *p = icy; *p; p += strlen(p) + 1)
        named = named || strcmp(p, "icy-name:Test Radio") == 0;
    EXPECT_TRUE(named);
    EXPECT_EQ(nullptr, bass.StreamGetTags(st, kTagMeta));
    ASSERT_TRUE(bass.ChannelPlay(st, FALSE));
    EXPECT_TRUE(WaitStopped(st));
}

TEST_F(BassRadioTest, FailuresEndWithinTheTimeout)
{
    {
        RadioServer server(RadioServer::kNotFound, "");
        EXPECT_EQ(0u, bass.StreamCreateURL(server.Url().c_str(), 0, kUrlFlags, nullptr, 0));
        EXPECT_EQ(2, bass.ErrorGetCode());
    }
    {
        RadioServer server(RadioServer::kSilent, "");
        DWORD start = GetTickCount();
        EXPECT_EQ(0u, bass.StreamCreateURL(server.Url().c_str(), 0, kUrlFlags, nullptr, 0));
        EXPECT_EQ(40, bass.ErrorGetCode());
        EXPECT_LT(GetTickCount() - start, 5000u);
    }
    std::string closedUrl;
    {
        RadioServer gone(RadioServer::kNotFound, "");
        closedUrl = gone.Url();
    }
    EXPECT_EQ(0u, bass.StreamCreateURL(closedUrl.c_str(), 0, kUrlFlags, nullptr, 0));
    EXPECT_EQ(2, bass.ErrorGetCode());
    EXPECT_EQ(0u, bass.StreamCreateURL("https://127.0.0.1/", 0, kUrlFlags, nullptr, 0));
}

TEST_F(BassRadioTest, StarvedStreamStallsThenEnds)
{
    RadioServer server(RadioServer::kStall, Body(2));
    DWORD st = bass.StreamCreateURL(server.Url().c_str(), 0, kUrlFlags, nullptr, 0);
    ASSERT_NE(0u, st) << bass.ErrorGetCode();
    ASSERT_TRUE(bass.ChannelPlay(st, FALSE));
    EXPECT_TRUE(WaitUntil([&] { return bass.ChannelIsActive(st) == 2; }, 5000));
    EXPECT_TRUE(WaitStopped(st, 10000));
}

TEST_F(BassRadioTest, FreeStopsEverythingAndCallsBackNoMore)
{
    std::vector<std::string> titles(400);
    for (size_t i = 20; i < titles.size(); i += 20)
        titles[i] = "StreamTitle='Song " + std::to_string(i) + "';";
    RadioServer server(RadioServer::kIcy, Body(10), titles);
    DWORD st = bass.StreamCreateURL(server.Url().c_str(), 0, kUrlFlags, nullptr, 0);
    ASSERT_NE(0u, st);
    bass.ChannelSetSync(st, kSyncMeta, 0, reinterpret_cast<void *>(MetaSync), 0);
    ASSERT_TRUE(bass.ChannelPlay(st, FALSE));
    DWORD start = GetTickCount();
    ASSERT_TRUE(bass.Free());
    g_freed = true;
    EXPECT_LT(GetTickCount() - start, 3000u);
    Sleep(500);
    EXPECT_FALSE(g_calledAfterFree);
    EXPECT_EQ(0u, bass.ChannelIsActive(st));
    // The library can be unloaded at once and set up again.
    ASSERT_TRUE(bass.Init(1, kRate, 0, nullptr, nullptr));
}

TEST_F(BassTest, TwoCopiesAreIndependent)
{
    std::string copy = dir.File("wyn3copy.tmp");
    ASSERT_TRUE(CopyFileA(DistPath("bass.dll").c_str(), copy.c_str(), FALSE));
    Bass other;
    ASSERT_TRUE(other.Load(copy));
    ASSERT_NE(bass.module, other.module);
    ASSERT_TRUE(other.Init(1, kRate, 0, nullptr, nullptr)) << other.ErrorGetCode();
    DWORD sample = LoadTone(2.0);
    DWORD ch = bass.SampleGetChannel(sample, FALSE);
    ASSERT_TRUE(bass.ChannelPlay(ch, FALSE));
    std::string wav2 = MakeWav(22050, 1, 16, Tone(22050, 1, 2.0, 220, 8000));
    DWORD s2 = other.SampleLoad(TRUE, wav2.data(), 0, static_cast<DWORD>(wav2.size()), 4, 0);
    ASSERT_NE(0u, s2);
    ASSERT_TRUE(other.ChannelPlay(other.SampleGetChannel(s2, FALSE), FALSE));
    ASSERT_TRUE(other.Free());
    other.Unload();
    EXPECT_EQ(1u, bass.ChannelIsActive(ch));
    EXPECT_NE(0u, LoadTone(0.1));
    DeleteFileA(copy.c_str());
}

TEST_F(BassTest, DeviceZeroRunsInTimeWithoutOutput)
{
    ASSERT_TRUE(bass.Free());
    ASSERT_TRUE(bass.Init(0, kRate, 0, nullptr, nullptr));
    DWORD sample = LoadTone(0.3);
    DWORD ch = bass.SampleGetChannel(sample, FALSE);
    DWORD start = GetTickCount();
    ASSERT_TRUE(bass.ChannelPlay(ch, FALSE));
    EXPECT_TRUE(WaitStopped(ch, 3000));
    EXPECT_GE(GetTickCount() - start, 200u);
}

// Run in a child whose Wine has no audio driver (see NoDeviceMakesInitFail).
TEST(BassChild, InitWithoutDevice)
{
    if (!getenv(kNoDeviceChildVar))
        GTEST_SKIP();
    Bass bass;
    ASSERT_TRUE(bass.Load(DistPath("bass.dll")));
    EXPECT_FALSE(bass.Init(1, kRate, 0, nullptr, nullptr));
    EXPECT_EQ(23, bass.ErrorGetCode());
}

TEST(BassNoDevice, InitFailsWithTheDeviceError)
{
    EXPECT_EQ(0, RunWithoutAudioDevice("wyn_nodevice_bass.exe", "BassChild.InitWithoutDevice"));
}

}  // namespace
