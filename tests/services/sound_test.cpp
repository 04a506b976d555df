// Sound effects of the saver: binding both library instances, the sample
// switches, panning, object fades, the tower clock, bells and alarm.
#include "audiofixture.h"

#include "core/random.h"

#include <cmath>
#include <set>

using namespace audiotest;

namespace {

const std::set<int> kAlwaysLoaded = {0, 1, 2, 3, 4, 6, 10, 11, 12, 13, 14, 15, 17, 20, 23, 25, 26, 28, 29, 30, 31};

std::set<int> LoadedSamples()
{
    std::set<int> s;
    for (int n = 0; n < kSampleCount; ++n)
        if (SampleHandles[n])
            s.insert(n);
    return s;
}

int CountTempCopies()
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((std::string(temp) + "wyn*.tmp").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return 0;
    int n = 0;
    do
        ++n;
    while (FindNextFileA(h, &fd));
    FindClose(h);
    return n;
}

class SoundTest : public SaverAudioTest {};

TEST_F(SoundTest, WithoutTheLibraryTheSaverIsSilent)
{
    StrCopy(HLPpath, dir.Path().c_str());
    Sound = LoadBASS(kEffectsInstance);
    EXPECT_EQ(0, Sound);
    EXPECT_FALSE(BassLoaded(kEffectsInstance));
    ObjectSound snd{};
    PlayObjectSound(0, &snd, 5, 100);
    PlaySoundAt(0, 100);
    RunSoundSchedule();
    EXPECT_EQ(0u, snd.Channel1);
    EXPECT_NE(std::string::npos, LogText().find("+++ Can't find BASS.DLL"));
}

TEST_F(SoundTest, BothInstancesAndAWrongVersionThatLeavesTheOtherIntact)
{
    LoadEffects();
    ASSERT_EQ(1, LoadBASS(kMusicInstance));
    EXPECT_NE(BassApi[0].Module, BassApi[1].Module);
    std::string copy = BassApi[1].Path;
    CharLowerA(&copy[0]);
    // The system takes three characters of the prefix "wyn3".
    EXPECT_NE(std::string::npos, copy.find("\\wyn")) << copy;
    EXPECT_TRUE(testutil::FileExists(BassApi[1].Path));
    FreeBASS();
    EXPECT_FALSE(testutil::FileExists(copy));

    // Instance 0 loads, instance 1 meets an old library: only 1 fails.
    LoadEffects();
    StrCopy(HLPpath, testutil::BuildPath("tests/bass/oldbass").c_str());
    int copiesBefore = CountTempCopies();
    EXPECT_EQ(0, LoadBASS(kMusicInstance));
    EXPECT_EQ(copiesBefore, CountTempCopies());
    EXPECT_NE(std::string::npos, LogText().find("+++ BASS version 2.1 was not loaded"));
    EXPECT_TRUE(BassLoaded(kEffectsInstance));
    int before = SamplePlays(0);
    PlaySoundAt(0, 500);
    EXPECT_EQ(before + 1, SamplePlays(0));
}

// Only the copies this program names are taken from the temporary folder:
// "wyn" and up to four hex digits (the system's temporary names), holding a
// program. Another program's files of the same beginning stay.
TEST_F(SoundTest, StaleCopiesGoOtherProgramsFilesStay)
{
    testutil::TempDir temp;
    char saved[MAX_PATH] = {};
    DWORD had = GetEnvironmentVariableA("TMP", saved, sizeof(saved));
    SetEnvironmentVariableA("TMP", temp.Path().c_str());
    const std::string program = "MZ, a program";
    struct Case {
        const char *name;
        std::string bytes;
        bool goes;
    } cases[] = {
        {"wyn1A2B.tmp", program, true},  {"wynb.tmp", program, true},      {"wynstall.tmp", program, false},
        {"wyn12345.tmp", program, false}, {"wynsetup.tmp", program, false}, {"wynC0DE.tmp", "text", false},
    };
    for (const Case &c : cases)
        ASSERT_TRUE(testutil::WriteFileBytes(temp.File(c.name), c.bytes));
    LoadEffects();
    EXPECT_EQ(1, LoadBASS(kMusicInstance));
    for (const Case &c : cases)
        EXPECT_EQ(testutil::FileExists(temp.File(c.name)), !c.goes) << c.name;
    FreeBASS();
    SetEnvironmentVariableA("TMP", had ? saved : nullptr);
}

TEST_F(SoundTest, SamplesLoadByTheirSwitches)
{
    struct Case {
        int opt;            // SoundOpt index switched on, -1 none
        std::set<int> more; // samples beyond the always-loaded ones
    } cases[] = {
        {-1, {}},
        {0, {16, 19, 32, 33, 34, 35, 36, 37, 38, 39, 40, 41, 42, 43, 44, 45, 46, 47, 48, 49, 50, 51, 52}},
        {1, {}},
        {2, {24, 27}},
        {3, {18}},
        {4, {8, 9}},
        {5, {5}},
        {6, {7}},
        {9, {21, 22}},
    };
    for (const Case &c : cases) {
        std::fill(std::begin(SoundOpt), std::end(SoundOpt), 0);
        if (c.opt >= 0)
            SoundOpt[c.opt] = 1;
        LoadEffects();
        std::set<int> want = kAlwaysLoaded;
        want.insert(c.more.begin(), c.more.end());
        EXPECT_EQ(want, LoadedSamples()) << "switch " << c.opt;
        for (const WaveResource &w : WaveTable)
            EXPECT_EQ(nullptr, w.Data);  // released after loading
        FreeBASS();
    }
}

TEST_F(SoundTest, TheSaversOwnSoundsLoadAndPlay)
{
    // The generated samples in wyn03.scr and the bells beside it in the dist folder.
    HMODULE scr = LoadLibraryExA(testutil::DistPath("wyn03.scr").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, scr);
    std::fill(std::begin(SoundOpt), std::end(SoundOpt), 1);
    Sound = LoadBASS(kEffectsInstance);
    ASSERT_EQ(1, Sound);
    LockWaveResources(scr);
    LoadSamples();
    FreeLibrary(scr);
    for (int n = 0; n < kSampleCount; ++n)
        EXPECT_NE(0u, SampleHandles[n]) << "SOUND" << n;
    int before = SamplePlays(7);
    PlaySoundAt(7, 150);
    EXPECT_EQ(before + 1, SamplePlays(7));
    SoundOpt[7] = 1;
    PlayGlocken(1, 12);
    EXPECT_TRUE(IsChannelPlaying(kEffectsInstance, LastFreeChannel));
}

TEST_F(SoundTest, PanFollowsTheSceneX)
{
    SetSoundSceneWidth(640);
    struct Case {
        int x, pan;
    } cases[] = {{0, -100}, {640, 100}, {690, 100}, {-50, -100}, {320, 0}, {160, -50}, {639, 99}};
    for (const Case &c : cases)
        EXPECT_EQ(c.pan, SoundPan(c.x)) << "x " << c.x;

    ASSERT_TRUE(capture.Available());
    LoadEffects();
    size_t mark = capture.Mark();
    int before = SamplePlays(0);
    PlaySoundAt(0, -50);
    ASSERT_EQ(before + 1, SamplePlays(0));
    Sleep(400);
    capture.Settle();
    std::vector<int16_t> frames = capture.FramesFrom(mark);
    size_t first = 0, last = 0;
    ASSERT_TRUE(AudibleSpan(frames, 300, &first, &last));
    Level lv = Rms(frames, first, last - first + 1);
    EXPECT_GT(lv.left, 1000.0);
    EXPECT_LT(lv.right, 20.0);
}

TEST_F(SoundTest, ObjectSoundsReplaceFadeAndStop)
{
    LoadEffects();
    ObjectSound snd{};
    PlayObjectSound(12, &snd, 22, 500);
    DWORD first = snd.Channel1;
    ASSERT_TRUE(IsChannelPlaying(kEffectsInstance, first));
    PlayObjectSound(12, &snd, 22, 500);
    EXPECT_NE(first, snd.Channel1);
    EXPECT_TRUE(BassApi[0].ChannelIsSliding(first) & 2);  // the old one fades out
    EXPECT_TRUE(WaitUntil([&] { return !IsChannelPlaying(kEffectsInstance, first); }, 3000));
    EXPECT_TRUE(IsChannelPlaying(kEffectsInstance, snd.Channel1));

    PlayObjectSound2(12, &snd, 22, 500);
    DWORD second = snd.Channel2;
    PlayObjectSound2(12, &snd, 22, 500);
    EXPECT_TRUE(BassApi[0].ChannelIsSliding(second) & 2);

    FadeObjectSound(&snd);
    EXPECT_TRUE(BassApi[0].ChannelIsSliding(snd.Channel1) & 2);
    EXPECT_TRUE(BassApi[0].ChannelIsSliding(snd.Channel2) & 2);
    PlayObjectSound(12, &snd, 22, 500);
    PlayObjectSound2(12, &snd, 22, 500);
    StopObjectSound(&snd);
    EXPECT_FALSE(IsChannelPlaying(kEffectsInstance, snd.Channel1));
    EXPECT_FALSE(IsChannelPlaying(kEffectsInstance, snd.Channel2));

    // Without a record: the last free channel, centred; n >= 53 plays nothing.
    PlayObjectSound(0, nullptr, 0, 0);
    EXPECT_TRUE(IsChannelPlaying(kEffectsInstance, LastFreeChannel));
    PlayObjectSound(53, &snd, 22, 500);
    PlaySoundAt(60, 0);
    PlaySoundAt(-1, 0);
}

TEST_F(SoundTest, PendingFadeOutSurvivesUpdates)
{
    LoadEffects();
    ObjectSound snd{};
    snd.Fade = -1;
    PlayObjectSound(12, &snd, 22, 500);
    EXPECT_EQ(0, snd.Fade);
    ASSERT_TRUE(BassApi[0].ChannelIsSliding(snd.Channel1) & 2);
    // The script updates its sound on every frame while the fade runs.
    for (int i = 0; i < 3; ++i) {
        UpdateObjectSound(&snd, 100 + i * 10);
        ASSERT_TRUE((BassApi[0].ChannelIsSliding(snd.Channel1) & 2) || !IsChannelPlaying(0, snd.Channel1));
    }
    EXPECT_TRUE(WaitUntil(
        [&] {
            UpdateObjectSound(&snd, 200);
            return !IsChannelPlaying(kEffectsInstance, snd.Channel1);
        },
        5000));
}

TEST_F(SoundTest, FadeInReachesTheFullEffectVolume)
{
    ASSERT_TRUE(capture.Available());
    LoadEffects();
    ObjectSound snd{};
    snd.Fade = 1;
    size_t mark = capture.Mark();
    PlayObjectSound(12, &snd, 22, 500);
    ASSERT_TRUE(WaitUntil([&] { return !IsChannelPlaying(kEffectsInstance, snd.Channel1); }, 10000));
    capture.Settle();
    std::vector<int16_t> frames = capture.FramesFrom(mark);
    size_t first = 0, last = 0;
    ASSERT_TRUE(AudibleSpan(frames, 30, &first, &last));
    const size_t ms = 44;  // frames per millisecond, near enough
    double start = Rms(frames, first, 50 * ms).left;
    double afterFade = Rms(frames, first + 700 * ms, 200 * ms).left;
    double full = 12000 / std::sqrt(2.0);  // the tone's own level at volume 1000
    EXPECT_LT(start, full * 0.25);
    EXPECT_GT(afterFade, full * 0.9);
}

TEST_F(SoundTest, TowerClockStrikesTheHourAndQuarters)
{
    SoundOpt[6] = 1;
    LoadEffects();
    auto strokes = [](int calls) {
        int before = SamplePlays(7);
        for (int i = 0; i < calls; ++i)
            RunSoundSchedule();
        return SamplePlays(7) - before;
    };
    struct Case {
        int hour, calls, want;
    } cases[] = {{3, 6, 3}, {15, 6, 3}, {0, 30, 12}, {12, 30, 12}};
    for (const Case &c : cases) {
        ResetSoundSchedule();
        ClockFreeze(testutil::Moment(2026, 3, 4, c.hour, 0, 10));
        EXPECT_EQ(c.want, strokes(c.calls)) << "hour " << c.hour;
        EXPECT_EQ(0, strokes(10)) << "hour " << c.hour;  // struck once only
    }

    // Twelve strokes run past minute 0; the next hour is not disturbed by them.
    ResetSoundSchedule();
    ClockFreeze(testutil::Moment(2026, 3, 4, 0, 0, 50));
    EXPECT_EQ(5, strokes(10));
    ClockFreeze(testutil::Moment(2026, 3, 4, 0, 1, 5));
    EXPECT_EQ(7, strokes(30));
    ClockFreeze(testutil::Moment(2026, 3, 4, 1, 0, 0));
    EXPECT_EQ(1, strokes(6));

    // Quarters by design: 1 none, 2 half past, 3 every quarter; once each.
    struct Quarter {
        int design, minute, want;
    } quarters[] = {{1, 30, 0}, {2, 15, 0}, {2, 30, 1}, {2, 45, 0}, {3, 15, 1}, {3, 30, 1}, {3, 45, 1}, {3, 20, 0}};
    for (const Quarter &q : quarters) {
        SoundOpt[6] = q.design;
        ClockFreeze(testutil::Moment(2026, 3, 4, 9, q.minute, 0));
        EXPECT_EQ(q.want, strokes(5)) << "design " << q.design << " minute " << q.minute;
    }
    SoundOpt[6] = 0;
    ResetSoundSchedule();
    ClockFreeze(testutil::Moment(2026, 3, 4, 4, 0, 0));
    EXPECT_EQ(0, strokes(10));
}

class ScheduleTest : public SaverAudioTest {
protected:
    void SetUp() override
    {
        SaverAudioTest::SetUp();
        LoadEffects();
        folder = dir.Path() + "\\help";
        CreateDirectoryA(folder.c_str(), nullptr);
        CreateDirectoryA((folder + "\\sound").c_str(), nullptr);
        std::string wav = MakeWav(22050, 1, 16, Tone(22050, 1, 0.2, 600, 8000));
        ASSERT_TRUE(testutil::WriteFileBytes(folder + "\\sound\\glocken.mp3", wav));
        ASSERT_TRUE(testutil::WriteFileBytes(folder + "\\alarm.mp3", wav));
        StrCopy(HLPpath, folder.c_str());
    }
    // Whether a pass at this moment starts a new free stream.
    bool Plays(const SYSTEMTIME &t)
    {
        ClockFreeze(t);
        DWORD before = LastFreeChannel;
        RunSoundSchedule();
        return LastFreeChannel != before && IsChannelPlaying(kEffectsInstance, LastFreeChannel);
    }
    std::string folder;
};

TEST_F(ScheduleTest, BellsOnTheirDaysOncePerHour)
{
    SoundOpt[7] = 3;
    int schedule[4] = {2, 12, 0, 0};  // weekends at 12:00:00
    std::copy(schedule, schedule + 4, Glocken);
    // 2026-03-07 is a Saturday.
    EXPECT_TRUE(Plays(testutil::Moment(2026, 3, 7, 12, 0, 0)));
    EXPECT_FALSE(Plays(testutil::Moment(2026, 3, 7, 12, 0, 40)));
    EXPECT_FALSE(Plays(testutil::Moment(2026, 3, 7, 12, 1, 0)));
    EXPECT_TRUE(Plays(testutil::Moment(2026, 3, 8, 12, 0, 30)));   // Sunday, late in the minute
    EXPECT_FALSE(Plays(testutil::Moment(2026, 3, 9, 12, 0, 0)));   // Monday

    // Day choices over one week (1 March 2026 is a Sunday).
    struct Case {
        int choice;
        const char *days;  // Sunday first
    } cases[] = {{0, "1111111"}, {1, "0111110"}, {2, "1000001"}, {3, "0100000"}, {7, "0000010"},
                 {8, "0000001"}, {9, "1000000"}, {10, "0000000"}};
    for (const Case &c : cases) {
        Glocken[0] = c.choice;
        for (int d = 0; d < 7; ++d) {
            ResetSoundSchedule();
            EXPECT_EQ(c.days[d] == '1', Plays(testutil::Moment(2026, 3, 1 + d, 12, 0, 5))) << "choice " << c.choice << " day " << d;
        }
    }
    // The scheduled second less one is enough.
    Glocken[0] = 0;
    Glocken[3] = 30;
    ResetSoundSchedule();
    EXPECT_FALSE(Plays(testutil::Moment(2026, 3, 4, 12, 0, 28)));
    EXPECT_TRUE(Plays(testutil::Moment(2026, 3, 4, 12, 0, 29)));
    // Switched off: nothing.
    SoundOpt[7] = 0;
    ResetSoundSchedule();
    EXPECT_FALSE(Plays(testutil::Moment(2026, 3, 4, 12, 0, 30)));
}

TEST_F(ScheduleTest, AlarmFromTheHelpFolderAndMissingFiles)
{
    SoundOpt[8] = 1;
    int schedule[4] = {0, 6, 30, 0};
    std::copy(schedule, schedule + 4, Alarm);
    EXPECT_TRUE(Plays(testutil::Moment(2026, 3, 4, 6, 30, 0)));  // alarm.mp3 beside, not in sound\ .
    BassApi[0].ChannelStop(LastFreeChannel);
    DeleteFileA((folder + "\\alarm.mp3").c_str());
    ASSERT_TRUE(WaitUntil([&] { return !testutil::FileExists(folder + "\\alarm.mp3"); }, 3000));
    EXPECT_FALSE(Plays(testutil::Moment(2026, 3, 5, 6, 30, 0)));
    EXPECT_NE(std::string::npos, LogText().find("+++ Alarm: [" + folder + "\\sound\\alarm.mp3] nicht gefunden"));
    // A file that is not sound.
    ASSERT_TRUE(testutil::WriteFileBytes(folder + "\\alarm.mp3", std::string(3000, 'z')));
    EXPECT_FALSE(Plays(testutil::Moment(2026, 3, 6, 6, 30, 0)));
    EXPECT_NE(std::string::npos, LogText().find("+++ Alarm(1) [" + folder + "\\alarm.mp3], ERR: 41"));
}

TEST_F(SoundTest, FigureSoundFilesAndPreviews)
{
    LoadEffects();
    std::string wav = dir.File("figure.wav");
    ASSERT_TRUE(testutil::WriteFileBytes(wav, MakeWav(22050, 1, 16, Tone(22050, 1, 1.0, 500, 8000))));
    ASSERT_EQ(ERROR_SUCCESS, SaveFigurSound(5, wav.c_str()));
    ObjectSound snd{};
    PlayFigurSoundFile(&snd, 5, 900);
    EXPECT_TRUE(IsChannelPlaying(kEffectsInstance, snd.Channel1));
    EXPECT_EQ(LastFreeChannel.load(), snd.Channel1);

    ObjectSound none{};
    SaveFigurSound(6, "");
    PlayFigurSoundFile(&none, 6, 900);
    EXPECT_EQ(0u, none.Channel1);
    SaveFigurSound(5, "");

    // A preview stops the previous free sound.
    DWORD previous = LastFreeChannel;
    PlaySoundFile(wav.c_str());
    EXPECT_FALSE(IsChannelPlaying(kEffectsInstance, previous));
    EXPECT_TRUE(IsChannelPlaying(kEffectsInstance, LastFreeChannel));
    PlaySoundFile(dir.File("missing.wav").c_str());
    EXPECT_TRUE(IsChannelPlaying(kEffectsInstance, LastFreeChannel));
}

TEST_F(SoundTest, AmbientBirdsAndTraffic)
{
    SoundOpt[0] = 1;
    SoundOpt[4] = 1;
    LoadEffects();
    SeedRand(12345);
    auto plays = [](int n) { return SamplePlays(n); };
    int b8 = plays(8), b9 = plays(9), t = plays(16);
    for (int i = 0; i < 20000; ++i)
        PlayAmbientSounds(3, 1);  // night: no birds
    EXPECT_EQ(b8, plays(8));
    EXPECT_EQ(b9, plays(9));
    EXPECT_GT(plays(16), t);  // traffic at any time
    for (int i = 0; i < 20000; ++i)
        PlayAmbientSounds(1, 1);
    EXPECT_EQ(b8, plays(8));  // by day only sample 9
    EXPECT_GT(plays(9), b9);
    for (int i = 0; i < 20000; ++i)
        PlayAmbientSounds(2, 1);
    EXPECT_GT(plays(8), b8);
}

TEST_F(SoundTest, KeypadChangesTheEffectVolumeWithinItsRange)
{
    SNDvolume = 950;
    ChangeSoundVolume(true);
    EXPECT_EQ(1000, SNDvolume);
    ChangeSoundVolume(true);
    EXPECT_EQ(1000, SNDvolume);
    SNDvolume = 50;
    ChangeSoundVolume(false);
    EXPECT_EQ(0, SNDvolume);
    EXPECT_NE(std::string::npos, LogText().find("SetSoundVolume: 0"));
}

// In a child without a sound device (see NoDeviceLeavesTheSaverSilent).
TEST(SoundChild, LoadWithoutDevice)
{
    if (!getenv(kNoDeviceChildVar))
        GTEST_SKIP();
    SetDefaultSettings();
    StrCopy(HLPpath, SaverAudioTest::DistFolder().c_str());
    Sound = LoadBASS(kEffectsInstance);
    EXPECT_EQ(0, Sound);
    EXPECT_FALSE(BassLoaded(kEffectsInstance));
    EXPECT_EQ(nullptr, BassApi[kEffectsInstance].Module);
    Music = LoadBASS(kMusicInstance);
    EXPECT_EQ(0, Music);
    ObjectSound snd{};
    PlayObjectSound(0, &snd, 1, 0);
    PlaySoundAt(0, 0);
    EXPECT_EQ(0u, snd.Channel1);
}

TEST(SoundNoDevice, NoDeviceLeavesTheSaverSilent)
{
    EXPECT_EQ(0, RunWithoutAudioDevice("wyn_nodevice_saver.exe", "SoundChild.LoadWithoutDevice"));
}

}  // namespace
