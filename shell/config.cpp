#include "shell/config.h"

#include "base/lngtext.h"
#include "base/registry.h"
#include "scene/objects.h"
#include "services/birthdays.h"

#include <shlobj.h>

#include <initializer_list>

const char kMainKey[] = "Software\\Tandrovi\\ScreenSaver\\Wendelby 3";
const char kNotesKey[] = "Software\\Tandrovi\\ScreenSaver\\Zettler";
const char kNoLanguageName[] = "--";

namespace {
const char kSettingsVersion[] = "1,1,0";
const char kDefaultDebugFile[] = "C:\\WYN03.LOG";
const char kDefaultFont[] = "Arial";
const char kMakerFolderName[] = "Tandrovi";
const char kProductFolderName[] = "Wendelby 3";
// A stored path shorter than this is taken as unset.
constexpr size_t kMinPathLen = 3;
}  // namespace

int Language;
char HLPpath[kPathLen];
int CloseOnActivate;
int Interactive;
int DebugOn;
int DebugMSG;
char DebugFileName[kPathLen];
int DebugTab;
int BusKommt[4];
bool TramOn;
int Uhr;
int Pfloecke;
int EXIT;
int figSpeed;
int minCarSpeed;
int maxCarSpeed;
int Speed;
int MaxFigurenAktiv;
int NoMailCheck;
int NoMemoryCheck;
int DayNight[4];
int Sound;
int SoundOpt[10];
int Glocken[4];
int Alarm[4];
int Music;
int MusikKommt;
char MP3file[kPathLen];
int MP3shuffle;
int MP3volume;
int SNDvolume;
int MP3next;
char TarvoDat[kPathLen];
int TarvoName;
char Sprechblasen[kPathLen];
char SBFName[32];
int SBFHeight;
int SBFWeight;
int SBFItalic;
LOGFONTA SprechblasenFont;
char HausBeschrPics[kPathLen];
char BusPics[kPathLen];
char BahnPics[kPathLen];
char LKWPics[kPathLen];
int Weather[6];
bool WeatherShow;
bool WeatherFahrenheit;
char METAR[8];
char WeatherCountry[80];
char WeatherStation[128];

int DisplayMode[4];

int AccessType;
int FTPPortNumber;
char Proxy[256];
char ProxyUser[256];
char ProxyPasswort[256];

char ZettlerPath[kPathLen];
char MSGPath[kPathLen];
int MSGdispWyn03;
int MSGonWyn03;
int MSGcheck;
int MSGshowWyn03;

HausFontRecord HausFont[kHouseCount];

char DateSeparator[8];
int DateOrder;

// ---------------------------------------------------------------- folders

void GetProgramFolder(char *out, size_t outSize)
{
    char path[kPathLen] = {0};
    GetModuleFileNameA(nullptr, path, sizeof(path) - 1);
    char *slash = strrchr(path, '\\');
    if (slash)
        *slash = '\0';
    StrCopyN(out, outSize, path);
}

bool GetMakerFolder(char *out, size_t outSize)
{
    char appData[kPathLen] = {0};
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, 0, appData))) {
        StrCopyN(out, outSize, "");
        return false;
    }
    StrPrintfN(out, outSize, "%s\\%s", appData, kMakerFolderName);
    CreateDirectoryA(out, nullptr);
    return true;
}

bool GetProductFolder(char *out, size_t outSize)
{
    char maker[kPathLen];
    bool ok = GetMakerFolder(maker, sizeof(maker));
    StrPrintfN(out, outSize, "%s\\%s", maker, kProductFolderName);
    if (ok)
        CreateDirectoryA(out, nullptr);
    return ok;
}

// ---------------------------------------------------------------- defaults

namespace {

void DefaultLogFont(LOGFONTA *font, int height)
{
    memset(font, 0, sizeof(*font));
    font->lfHeight = height;
    font->lfWeight = 500;
    font->lfPitchAndFamily = 0x20;
    StrCopy(font->lfFaceName, kDefaultFont);
}

void SetList(int *dst, std::initializer_list<int> values)
{
    int i = 0;
    for (int v : values)
        dst[i++] = v;
}

}  // namespace

void SetDefaultSettings()
{
    Language = 1;
    HLPpath[0] = '\0';
    CloseOnActivate = 0;
    Interactive = 1;
    DebugOn = 0;
    DebugMSG = 0;
    StrCopy(DebugFileName, kDefaultDebugFile);
    DebugTab = 0;
    SetList(BusKommt, {4, 6, 12, 1});
    TramOn = true;
    Uhr = 0;
    Pfloecke = 1;
    EXIT = 1;
    figSpeed = 2;
    minCarSpeed = 3;
    maxCarSpeed = 5;
    Speed = 20;
    MaxFigurenAktiv = 7;
    NoMailCheck = 1;
    NoMemoryCheck = 0;
    SetList(DayNight, {8, 20, 12, 3});
    Sound = 1;
    memset(SoundOpt, 0, sizeof(SoundOpt));
    memset(Glocken, 0, sizeof(Glocken));
    memset(Alarm, 0, sizeof(Alarm));
    Music = 0;
    MusikKommt = 0;
    MP3file[0] = '\0';
    MP3shuffle = 0;
    MP3volume = 1000;
    SNDvolume = 1000;
    MP3next = 0;
    TarvoDat[0] = '\0';
    TarvoName = 0;
    Sprechblasen[0] = '\0';
    StrCopy(SBFName, kDefaultFont);
    SBFHeight = -10;
    SBFWeight = 500;
    SBFItalic = 0;
    HausBeschrPics[0] = '\0';
    BusPics[0] = '\0';
    BahnPics[0] = '\0';
    LKWPics[0] = '\0';
    SetList(Weather, {1, 60, 0, 0, 0, 0});
    WeatherShow = true;
    WeatherFahrenheit = false;
    METAR[0] = '\0';
    WeatherCountry[0] = '\0';
    WeatherStation[0] = '\0';
    GeburtstagCount = 0;
}

// ---------------------------------------------------------------- main key

namespace {

int ClampRange(int value, int lo, int hi)
{
    return value < lo ? lo : (value > hi ? hi : value);
}

void ReadBusKommt(HKEY key)
{
    RegReadList(key, "BusKommt", BusKommt, 4);
    for (int i = 0; i < 3; ++i)
        BusKommt[i] = ClampRange(BusKommt[i], 2, 30);
    if (BusKommt[3] < 0 || BusKommt[3] > 3)
        BusKommt[3] = 1;
    TramOn = BusKommt[3] > 0;
}

void ReadSpeeds(HKEY key)
{
    RegReadDword(key, "figSpeed", &figSpeed);
    figSpeed = ClampRange(figSpeed, 0, 10);
    RegReadDword(key, "minCarSpeed", &minCarSpeed);
    minCarSpeed = ClampRange(minCarSpeed, 1, 40);
    RegReadDword(key, "maxCarSpeed", &maxCarSpeed);
    if (maxCarSpeed <= minCarSpeed)
        maxCarSpeed = minCarSpeed + 1;
    if (maxCarSpeed > 50)
        maxCarSpeed = 50;
    RegReadDword(key, "Speed", &Speed);
    if (static_cast<unsigned>(Speed) > 40)
        Speed = 20;
    RegReadDword(key, "MaxFigurenAktiv", &MaxFigurenAktiv);
    if (MaxFigurenAktiv < 3)
        MaxFigurenAktiv = 3;
    if (MaxFigurenAktiv > 16)
        MaxFigurenAktiv = 7;
}

void ReadDayNight(HKEY key)
{
    RegReadList(key, "DayNight", DayNight, 4);
    if (DayNight[0] < 1)
        DayNight[0] = 8;
    if (DayNight[0] > 12)
        DayNight[0] = 12;
    if (DayNight[1] < 13)
        DayNight[1] = 19;
    if (DayNight[1] > 23)
        DayNight[1] = 23;
    if (DayNight[2] < 1 || DayNight[2] > 12)
        DayNight[2] = 12;
    if (DayNight[3] < 1)
        DayNight[3] = 3;
    if (DayNight[3] > 11)
        DayNight[3] = 11;
}

void ReadSoundValues(HKEY key)
{
    RegReadDword(key, "Sound", &Sound);
    RegReadList(key, "SoundOpt", SoundOpt, 10);
    RegReadList(key, "Glocken", Glocken, 4);
    RegReadList(key, "Alarm", Alarm, 4);
    RegReadDword(key, "Music", &Music);
    RegReadDword(key, "MusikKommt", &MusikKommt);
    RegReadString(key, "MP3file", MP3file, sizeof(MP3file));
    RegReadDword(key, "MP3shuffle", &MP3shuffle);
    RegReadDword(key, "MP3volume", &MP3volume);
    MP3volume = ClampRange(MP3volume, 0, 1000);
    RegReadDword(key, "SNDvolume", &SNDvolume);
    SNDvolume = ClampRange(SNDvolume, 0, 1000);
    RegReadDword(key, "MP3next", &MP3next);
}

void ReadBubbleFont(HKEY key)
{
    RegReadString(key, "SBFName", SBFName, sizeof(SBFName));
    if (strlen(SBFName) < kMinPathLen)
        StrCopy(SBFName, kDefaultFont);
    int value = 0;
    if (RegReadDword(key, "SBFHeight", &value) && value >= -29 && value <= -6)
        SBFHeight = value;
    if (RegReadDword(key, "SBFWeight", &value) && value >= 1 && value <= 998)
        SBFWeight = value;
    if (RegReadDword(key, "SBFItalic", &value))
        SBFItalic = value & 0xFF;
}

void BuildBubbleFont()
{
    DefaultLogFont(&SprechblasenFont, SBFHeight);
    SprechblasenFont.lfWeight = SBFWeight;
    SprechblasenFont.lfItalic = static_cast<BYTE>(SBFItalic);
    StrCopy(SprechblasenFont.lfFaceName, SBFName);
}

void ReadWeatherValues(HKEY key)
{
    RegReadList(key, "Weather", Weather, 6);
    WeatherShow = Weather[0] > 0;
    WeatherFahrenheit = Weather[2] != 0;
    RegReadString(key, "METAR", METAR, sizeof(METAR));
    RegReadString(key, "WeatherCountry", WeatherCountry, sizeof(WeatherCountry));
    RegReadString(key, "WeatherStation", WeatherStation, sizeof(WeatherStation));
}

void ReadMainKeyValues(HKEY key)
{
    RegReadDword(key, "Language", &Language);
    RegReadString(key, "HLPpath", HLPpath, sizeof(HLPpath));
    RegReadDword(key, "CloseOnActivate", &CloseOnActivate);
    RegReadDword(key, "Interactive", &Interactive);
    RegReadDword(key, "DebugOn", &DebugOn);
    RegReadDword(key, "DebugMSG", &DebugMSG);
    RegReadString(key, "DebugFileName", DebugFileName, sizeof(DebugFileName));
    RegReadDword(key, "DebugTab", &DebugTab);
    ReadBusKommt(key);
    RegReadDword(key, "Uhr", &Uhr);
    RegReadDword(key, "Pfloecke", &Pfloecke);
    RegReadDword(key, "EXIT", &EXIT);
    if (EXIT < 0 || EXIT > 2)
        EXIT = 1;
    ReadSpeeds(key);
    RegReadDword(key, "NoMailCheck", &NoMailCheck);
    RegReadDword(key, "NoMemoryCheck", &NoMemoryCheck);
    ReadDayNight(key);
    ReadSoundValues(key);
    RegReadString(key, "TarvoDat", TarvoDat, sizeof(TarvoDat));
    RegReadDword(key, "TarvoName", &TarvoName);
    RegReadString(key, "Sprechblasen", Sprechblasen, sizeof(Sprechblasen));
    ReadBubbleFont(key);
    RegReadString(key, "HausBeschrPics", HausBeschrPics, sizeof(HausBeschrPics));
    RegReadString(key, "BusPics", BusPics, sizeof(BusPics));
    RegReadString(key, "BahnPics", BahnPics, sizeof(BahnPics));
    RegReadString(key, "LKWPics", LKWPics, sizeof(LKWPics));
    ReadWeatherValues(key);
}

void ReadObjectSwitches(HKEY key)
{
    for (int id = 1; id <= kSwitchableObjects; ++id) {
        char name[16];
        StrPrintfN(name, sizeof(name), "nicht%03d", id);
        int off = 0;
        if (RegReadDword(key, name, &off) && off != 0)
            FigurSheetCount[id] = 0;
    }
}

void ReadDateFormat()
{
    DateSeparator[0] = '\0';
    DateOrder = 1;
    HKEY key = RegOpenUserKey("Control Panel\\International");
    if (key) {
        RegReadString(key, "sDate", DateSeparator, sizeof(DateSeparator));
        char order[16] = {0};
        if (RegReadString(key, "iDate", order, sizeof(order)))
            DateOrder = atoi(order);
        RegCloseKey(key);
    }
    if (DateSeparator[0] == '\0') {
        DateOrder = static_cast<int>(GetProfileIntA("intl", "iDate", 1));
        char sep[2] = {0};
        GetProfileStringA("intl", "sDate", ".", sep, sizeof(sep));
        StrCopy(DateSeparator, sep);
    }
}

// Fills an unset path with its default and remembers to write it back.
bool FillPath(char *path, const char *folder, const char *file)
{
    if (strlen(path) >= kMinPathLen)
        return false;
    if (file)
        StrPrintfN(path, kPathLen, "%s\\%s", folder, file);
    else
        StrCopyN(path, kPathLen, folder);
    return true;
}

void WritePathBack(const char *name, const char *path)
{
    HKEY key = RegCreateUserKey(kMainKey);
    if (!key)
        return;
    RegWriteString(key, name, path);
    RegCloseKey(key);
}

void FillHelpPath()
{
    char program[kPathLen];
    GetProgramFolder(program, sizeof(program));
    if (FillPath(HLPpath, program, nullptr))
        WritePathBack("HLPpath", HLPpath);
}

// The speech texts live in the product folder; on a first start the copy
// shipped beside the program is put there (an existing file is kept).
void FillSpeechTextPath(const char *product)
{
    bool missing = strlen(Sprechblasen) < kMinPathLen
                   || GetFileAttributesA(Sprechblasen) == INVALID_FILE_ATTRIBUTES;
    if (!missing)
        return;
    StrPrintfN(Sprechblasen, kPathLen, "%s\\sb.txt", product);
    WritePathBack("Sprechblasen", Sprechblasen);
    if (GetFileAttributesA(Sprechblasen) == INVALID_FILE_ATTRIBUTES) {
        char shipped[kPathLen];
        StrPrintfN(shipped, sizeof(shipped), "%s\\sb.txt", HLPpath);
        CopyFileA(shipped, Sprechblasen, TRUE);
    }
}

void FillDataPaths()
{
    char maker[kPathLen], product[kPathLen];
    GetMakerFolder(maker, sizeof(maker));
    GetProductFolder(product, sizeof(product));
    if (FillPath(MP3file, product, "music.m3u"))
        WritePathBack("MP3file", MP3file);
    if (FillPath(TarvoDat, maker, "tarvo.dat"))
        WritePathBack("TarvoDat", TarvoDat);
    FillSpeechTextPath(product);
    if (FillPath(HausBeschrPics, product, nullptr))
        WritePathBack("HausBeschrPics", HausBeschrPics);
    if (FillPath(BusPics, product, "buspic.dat"))
        WritePathBack("BusPics", BusPics);
    if (FillPath(BahnPics, product, "bahnpic.dat"))
        WritePathBack("BahnPics", BahnPics);
    if (FillPath(LKWPics, product, "lkwpic.dat"))
        WritePathBack("LKWPics", LKWPics);
}

}  // namespace

void ReadSettings()
{
    SetDefaultSettings();
    HKEY key = RegOpenUserKey(kMainKey);
    if (key) {
        ReadMainKeyValues(key);
        ReadObjectSwitches(key);
        RegCloseKey(key);
    }
    // Without a station there is nothing to show, stored key or not.
    if (strlen(METAR) < 4)
        WeatherShow = false;
    BuildBubbleFont();
    ReadDateFormat();
    // The language files lie in the HLPpath folder, so that folder must be
    // known before we look for the English file.
    FillHelpPath();
    if (Language != 1) {
        const char *name = GetLngText("LANGUAGE", "NAME", kNoLanguageName);
        if (_stricmp(name, kNoLanguageName) == 0)
            Language = 1;
    }
    FillDataPaths();
}

// ---------------------------------------------------------------- other readers

LONG ReadDisplayMode()
{
    memset(DisplayMode, 0, sizeof(DisplayMode));
    HKEY key = nullptr;
    LONG rc = RegOpenKeyExA(HKEY_CURRENT_USER, kMainKey, 0, KEY_READ, &key);
    if (rc != ERROR_SUCCESS)
        return rc;
    RegReadList(key, "DisplayMode", DisplayMode, 4);
    RegCloseKey(key);
    return ERROR_SUCCESS;
}

LONG ReadProxySettings()
{
    AccessType = 0;
    FTPPortNumber = 21;
    Proxy[0] = ProxyUser[0] = ProxyPasswort[0] = '\0';
    HKEY key = nullptr;
    LONG rc = RegOpenKeyExA(HKEY_CURRENT_USER, kMainKey, 0, KEY_QUERY_VALUE, &key);
    if (rc != ERROR_SUCCESS)
        return rc;
    RegReadDword(key, "AccessType", &AccessType);
    RegReadDword(key, "FTPPortNumber", &FTPPortNumber);
    RegReadString(key, "Proxy", Proxy, sizeof(Proxy));
    RegReadString(key, "ProxyUser", ProxyUser, sizeof(ProxyUser));
    RegReadString(key, "ProxyPasswort", ProxyPasswort, sizeof(ProxyPasswort));
    RegCloseKey(key);
    return ERROR_SUCCESS;
}

namespace {

void TrimBlanks(char *text)
{
    size_t start = strspn(text, " ");
    size_t len = strlen(text);
    while (len > start && text[len - 1] == ' ')
        --len;
    memmove(text, text + start, len - start);
    text[len - start] = '\0';
}

}  // namespace

void ReadMSGSettings()
{
    ZettlerPath[0] = MSGPath[0] = '\0';
    MSGdispWyn03 = 1;
    MSGonWyn03 = 1;
    MSGcheck = 1;
    MSGshowWyn03 = 0;
    HKEY key = RegOpenUserKey(kNotesKey);
    if (key) {
        RegReadString(key, "Path", ZettlerPath, sizeof(ZettlerPath));
        RegReadString(key, "MSGPath", MSGPath, sizeof(MSGPath));
        RegReadDword(key, "MSGdispWyn03", &MSGdispWyn03);
        RegReadDword(key, "MSGonWyn03", &MSGonWyn03);
        RegReadDword(key, "MSGcheck", &MSGcheck);
        RegReadDword(key, "MSGshowWyn03", &MSGshowWyn03);
        RegCloseKey(key);
    }
    TrimBlanks(ZettlerPath);
    TrimBlanks(MSGPath);
    if (MSGPath[0] == '\0') {
        if (strlen(HLPpath) < 4)
            StrCopy(MSGPath, "C:\\");
        else
            StrCopy(MSGPath, HLPpath);
    }
    if (ZettlerPath[0] == '\0') {
        MSGonWyn03 = 0;
    } else if (MSGonWyn03) {
        char exe[kPathLen];
        size_t len = strlen(ZettlerPath);
        const char *sep = (len > 0 && ZettlerPath[len - 1] == '\\') ? "" : "\\";
        StrPrintfN(exe, sizeof(exe), "%s%szettler.exe", ZettlerPath, sep);
        if (GetFileAttributesA(exe) == INVALID_FILE_ATTRIBUTES)
            MSGonWyn03 = 0;
    }
}

namespace {

void ResetHausFont(HausFontRecord *house)
{
    memset(house, 0, sizeof(*house));
    house->Default = 1;
    house->FontColor = 0xFF0000;
    DefaultLogFont(&house->Font, -12);
}

void HouseKeyName(int house, char *out, size_t outSize)
{
    StrPrintfN(out, outSize, "%s\\Haus%02d", kMainKey, house);
}

}  // namespace

void ReadHausSettings()
{
    for (int i = 0; i < kHouseCount; ++i) {
        HausFontRecord *house = &HausFont[i];
        ResetHausFont(house);
        char name[kPathLen];
        HouseKeyName(i + 1, name, sizeof(name));
        HKEY key = RegOpenUserKey(name);
        if (!key)
            continue;
        int value = 0;
        if (RegReadDword(key, "Default", &value))
            house->Default = static_cast<DWORD>(value);
        RegReadString(key, "Text", house->Text, sizeof(house->Text));
        if (RegReadDword(key, "FontColor", &value))
            house->FontColor = static_cast<DWORD>(value);
        RegReadString(key, "FontName", house->Font.lfFaceName, sizeof(house->Font.lfFaceName));
        if (RegReadDword(key, "FontHeight", &value))
            house->Font.lfHeight = value;
        if (RegReadDword(key, "FontWeight", &value))
            house->Font.lfWeight = value;
        if (RegReadDword(key, "FontItalic", &value))
            house->Font.lfItalic = value != 0 ? 1 : 0;
        RegCloseKey(key);
    }
}

bool ReadFigurSound(int figure, char *out, size_t outSize)
{
    char name[16];
    StrPrintfN(name, sizeof(name), "SF_%03d", figure);
    char value[kRegStringMax + 1] = {0};
    bool exists = false;
    HKEY key = RegOpenUserKey(kMainKey);
    if (key) {
        exists = RegReadString(key, name, value, sizeof(value));
        RegCloseKey(key);
    }
    if (strlen(value) < kMinPathLen)
        StrCopy(value, " ");
    StrCopyN(out, outSize, value);
    return exists;
}

// ---------------------------------------------------------------- writers

namespace {

// The picture list paths are written as one blank when (nearly) empty, so
// the value exists and the next start fills in the default.
const char *PathOrBlank(const char *path)
{
    return strlen(path) < 2 ? " " : path;
}

void WriteMainKeyValues(HKEY key)
{
    RegWriteString(key, "Version", kSettingsVersion);
    RegWriteDword(key, "Language", Language);
    RegWriteDword(key, "CloseOnActivate", CloseOnActivate);
    RegWriteDword(key, "Interactive", Interactive);
    RegWriteList(key, "BusKommt", BusKommt, 4);
    RegWriteDword(key, "Uhr", Uhr);
    RegWriteDword(key, "Pfloecke", Pfloecke);
    RegWriteDword(key, "EXIT", EXIT);
    RegWriteDword(key, "figSpeed", figSpeed);
    RegWriteDword(key, "minCarSpeed", minCarSpeed);
    RegWriteDword(key, "maxCarSpeed", maxCarSpeed);
    RegWriteDword(key, "Speed", Speed);
    RegWriteDword(key, "NoMailCheck", NoMailCheck);
    RegWriteList(key, "DayNight", DayNight, 4);
    RegWriteDword(key, "Sound", Sound);
    RegWriteList(key, "SoundOpt", SoundOpt, 10);
    RegWriteList(key, "Glocken", Glocken, 4);
    RegWriteList(key, "Alarm", Alarm, 4);
    Music = MusikKommt != 0;
    RegWriteDword(key, "Music", Music);
    RegWriteDword(key, "MusikKommt", MusikKommt);
    RegWriteString(key, "MP3file", MP3file);
    RegWriteDword(key, "MP3shuffle", MP3shuffle);
    RegWriteDword(key, "MP3volume", MP3volume);
    RegWriteDword(key, "SNDvolume", SNDvolume);
    RegWriteString(key, "SBFName", SBFName);
    RegWriteDword(key, "SBFHeight", SBFHeight);
    RegWriteDword(key, "SBFWeight", SBFWeight);
    RegWriteDword(key, "SBFItalic", SBFItalic);
    RegWriteString(key, "BusPics", PathOrBlank(BusPics));
    RegWriteString(key, "BahnPics", PathOrBlank(BahnPics));
    RegWriteString(key, "LKWPics", PathOrBlank(LKWPics));
    RegWriteList(key, "Weather", Weather, 6);
    RegWriteString(key, "METAR", METAR);
    RegWriteString(key, "WeatherCountry", WeatherCountry);
    RegWriteString(key, "WeatherStation", WeatherStation);
    RegWriteList(key, "DisplayMode", DisplayMode, 4);
    RegWriteDword(key, "AccessType", AccessType);
    RegWriteDword(key, "FTPPortNumber", FTPPortNumber);
    RegWriteString(key, "Proxy", Proxy);
}

}  // namespace

LONG SaveSettings()
{
    LONG rc = ERROR_SUCCESS;
    HKEY key = RegCreateUserKey(kMainKey, &rc);
    if (!key)
        return rc;
    WriteMainKeyValues(key);
    RegCloseKey(key);
    return ERROR_SUCCESS;
}

LONG SaveMP3next()
{
    LONG rc = ERROR_SUCCESS;
    HKEY key = RegCreateUserKey(kMainKey, &rc);
    if (!key)
        return rc;
    rc = RegWriteDword(key, "MP3next", MP3next);
    RegCloseKey(key);
    return rc;
}

LONG SaveMSGSettings()
{
    LONG rc = ERROR_SUCCESS;
    HKEY key = RegCreateUserKey(kNotesKey, &rc);
    if (!key)
        return rc;
    RegWriteString(key, "MSGPath", PathOrBlank(MSGPath));
    RegWriteDword(key, "MSGonWyn03", MSGonWyn03);
    RegWriteDword(key, "MSGdispWyn03", MSGdispWyn03);
    RegWriteDword(key, "MSGshowWyn03", MSGshowWyn03);
    RegWriteDword(key, "MSGcheck", MSGcheck);
    RegCloseKey(key);
    return ERROR_SUCCESS;
}

void SaveHausSettings()
{
    for (int i = 0; i < kHouseCount; ++i) {
        const HausFontRecord &house = HausFont[i];
        char name[kPathLen];
        HouseKeyName(i + 1, name, sizeof(name));
        HKEY key = RegCreateUserKey(name);
        if (!key)
            continue;
        RegWriteDword(key, "Default", static_cast<int>(house.Default));
        RegWriteString(key, "Text", house.Text);
        RegWriteDword(key, "FontColor", static_cast<int>(house.FontColor));
        RegWriteString(key, "FontName", house.Font.lfFaceName);
        RegWriteDword(key, "FontHeight", house.Font.lfHeight);
        RegWriteDword(key, "FontWeight", house.Font.lfWeight);
        RegWriteDword(key, "FontItalic", house.Font.lfItalic ? 1 : 0);
        RegCloseKey(key);
    }
}

LONG SaveFigurSound(int figure, const char *path)
{
    LONG rc = ERROR_SUCCESS;
    HKEY key = RegCreateUserKey(kMainKey, &rc);
    if (!key)
        return rc;
    char name[16];
    StrPrintfN(name, sizeof(name), "SF_%03d", figure);
    if (path && strlen(path) >= kMinPathLen)
        rc = RegWriteString(key, name, path);
    else
        rc = RegDeleteValueA(key, name);
    RegCloseKey(key);
    return rc;
}
