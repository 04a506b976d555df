#include "config/config.h"

#include "config/lngtext.h"
#include "base/registry.h"
#include "config/settingstable.h"

#include <shlobj.h>


const char kMainKey[] = "Software\\Tandrovi\\ScreenSaver\\Wendelby 3";
const char kNotesKey[] = "Software\\Tandrovi\\ScreenSaver\\Zettler";
const char kNoLanguageName[] = "--";

namespace {
const char kSettingsVersion[] = "1,1,0";
const char kDefaultFont[] = "Arial";
const char kMakerFolderName[] = "Tandrovi";
const char kProductFolderName[] = "Wendelby 3";
// A stored path shorter than this is taken as unset.
constexpr size_t kMinPathLen = 3;
// The folder a test program names as the program's own; empty in the program.
char gProgramFolder[kPathLen];
}  // namespace

int Language;
char HLPpath[kPathLen];
bool ObjectSwitchedOff[kSwitchableObjects + 1];
int CloseOnActivate;
int Interactive;
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

void SetProgramFolder(const char *folder)
{
    StrCopy(gProgramFolder, folder ? folder : "");
}

void GetProgramFolder(char *out, size_t outSize)
{
    if (gProgramFolder[0] != '\0') {
        StrCopyN(out, outSize, gProgramFolder);
        return;
    }
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

// What the rows cannot say: values that depend on another or are derived.
void ApplyReadRules()
{
    if (maxCarSpeed <= minCarSpeed)
        maxCarSpeed = minCarSpeed + 1;
    TramOn = BusKommt[3] > 0;
    SBFItalic &= 0xFF;
    WeatherShow = Weather[0] > 0;
    WeatherFahrenheit = Weather[2] != 0;
}

}  // namespace

int SceneLangNo() { return Language == 1 ? 1 : 2; }

void SetDefaultSettings()
{
    ApplySettingDefaults(SettingGroup::Start);
    ApplyReadRules();
}

// ---------------------------------------------------------------- main key

namespace {

void BuildBubbleFont()
{
    DefaultLogFont(&SprechblasenFont, SBFHeight);
    SprechblasenFont.lfWeight = SBFWeight;
    SprechblasenFont.lfItalic = static_cast<BYTE>(SBFItalic);
    StrCopy(SprechblasenFont.lfFaceName, SBFName);
}

void ReadObjectSwitches(HKEY key)
{
    for (int id = 1; id <= kSwitchableObjects; ++id) {
        char name[16];
        StrPrintfN(name, sizeof(name), "nicht%03d", id);
        int off = 0;
        ObjectSwitchedOff[id] = RegReadDword(key, name, &off) && off != 0;
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

// The program's own files (language files, help, bass.dll, the station list,
// the shipped sb.txt) are those beside the running program. A stored folder
// of an earlier install, moved away or holding the other build, would give
// missing files or a bass.dll the program cannot load: it is replaced.
void FillHelpPath()
{
    char program[kPathLen];
    GetProgramFolder(program, sizeof(program));
    bool current = _stricmp(HLPpath, program) == 0;
    StrCopy(HLPpath, program);
    if (!current)
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
    for (bool &off : ObjectSwitchedOff)
        off = false;
    HKEY key = RegOpenUserKey(kMainKey);
    if (key) {
        ReadSettingRows(key, SettingGroup::Start);
        ReadObjectSwitches(key);
        RegCloseKey(key);
    }
    ApplyReadRules();
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

// One group of rows from the main key, over its defaults.
static LONG ReadSettingGroup(SettingGroup group)
{
    ApplySettingDefaults(group);
    HKEY key = nullptr;
    LONG rc = RegOpenKeyExA(HKEY_CURRENT_USER, kMainKey, 0, KEY_QUERY_VALUE, &key);
    if (rc != ERROR_SUCCESS)
        return rc;
    ReadSettingRows(key, group);
    RegCloseKey(key);
    return ERROR_SUCCESS;
}

LONG ReadDisplayMode() { return ReadSettingGroup(SettingGroup::Display); }

LONG ReadProxySettings() { return ReadSettingGroup(SettingGroup::Proxy); }

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

// No installer stores the companion's folder: the companion ships beside the
// program, so that folder is taken and written as an installer would have.
void StoreCompanionFolder()
{
    GetProgramFolder(ZettlerPath, sizeof(ZettlerPath));
    HKEY key = RegCreateUserKey(kNotesKey);
    if (!key)
        return;
    RegWriteString(key, "Path", ZettlerPath);
    RegCloseKey(key);
}

}  // namespace

void ReadMSGSettings()
{
    ApplySettingDefaults(SettingGroup::Notes);
    HKEY key = RegOpenUserKey(kNotesKey);
    if (key) {
        ReadSettingRows(key, SettingGroup::Notes);
        RegCloseKey(key);
    }
    TrimBlanks(ZettlerPath);
    TrimBlanks(MSGPath);
    if (ZettlerPath[0] == '\0')
        StoreCompanionFolder();
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

void WriteMainKeyValues(HKEY key)
{
    RegWriteString(key, "Version", kSettingsVersion);
    Music = MusikKommt != 0;
    WriteSettingRows(key, SettingGroup::Start);
    WriteSettingRows(key, SettingGroup::Display);
    WriteSettingRows(key, SettingGroup::Proxy);
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

namespace {

LONG SaveOneDword(const char *keyPath, const char *name, int value)
{
    LONG rc = ERROR_SUCCESS;
    HKEY key = RegCreateUserKey(keyPath, &rc);
    if (!key)
        return rc;
    rc = RegWriteDword(key, name, value);
    RegCloseKey(key);
    return rc;
}

}  // namespace

LONG SaveMP3next()
{
    return SaveOneDword(kMainKey, "MP3next", MP3next);
}

LONG SaveMSGSettings()
{
    LONG rc = ERROR_SUCCESS;
    HKEY key = RegCreateUserKey(kNotesKey, &rc);
    if (!key)
        return rc;
    WriteSettingRows(key, SettingGroup::Notes);
    RegCloseKey(key);
    return SaveCompanionLanguage();
}

LONG SaveCompanionLanguage()
{
    return SaveOneDword(kNotesKey, "Lang", Language);
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
