// The screensaver's settings: registry readers and writers and the globals that
// hold the values while the program runs. Every value has its default and its
// clamp here, applied the moment it is read (the rows of settingstable.cpp).
//
// Who writes them: the main thread, while reading the settings before the
// animation thread starts (and the settings sheet, which runs without it);
// once the scene runs they are read-only, but for the volumes, which only the
// scene's thread changes (volume keys are queued to it, bubble buttons run on
// it), and MP3next, which the music code keeps.
#pragma once

#include "base/common.h"
#include "base/debuglog.h"  // DebugOn, the log's switch, is a setting too

// Registry keys under HKEY_CURRENT_USER.
extern const char kMainKey[];   // "Software\Tandrovi\ScreenSaver\Wendelby 3"
extern const char kNotesKey[];  // "Software\Tandrovi\ScreenSaver\Zettler"

constexpr int kHouseCount = 4;
constexpr int kSwitchableObjects = 131;  // nicht001 .. nicht131

// Main key (read by ReadSettings unless noted).
extern int Language;            // 1 German, otherwise English
extern char HLPpath[kPathLen];  // the program's folder: help and language files, default sb.txt
// Objects 1..131 the user switched off (values nicht001 .. nicht131); the
// scene applies them to its table.
extern bool ObjectSwitchedOff[kSwitchableObjects + 1];
extern int CloseOnActivate;
extern int Interactive;
extern int DebugMSG;
extern char DebugFileName[kPathLen];
extern int DebugTab;
extern int BusKommt[4];         // bus minutes by day, dusk, night; tram choice
extern bool TramOn;             // tram choice above 0
extern int Uhr;                 // clock design 0..3
extern int Pfloecke;            // pavement posts design 0..3
extern int EXIT;                // how the saver may be ended, 0..2
extern int figSpeed;
extern int minCarSpeed;
extern int maxCarSpeed;
extern int Speed;               // frame period is 60 - Speed ms
extern int MaxFigurenAktiv;
extern int NoMailCheck;
extern int NoMemoryCheck;
extern int DayNight[4];         // day from, night from, winter month, winter length
extern int Sound;
extern int SoundOpt[10];
extern int Glocken[4];          // day choice, hour, minute, second
extern int Alarm[4];
extern int Music;
extern int MusikKommt;
extern char MP3file[kPathLen];
extern int MP3shuffle;
extern int MP3volume;           // 0..1000
extern int SNDvolume;           // 0..1000
extern int MP3next;
extern char TarvoDat[kPathLen];
extern int TarvoName;
extern char Sprechblasen[kPathLen];
extern char SBFName[32];
extern int SBFHeight;
extern int SBFWeight;
extern int SBFItalic;
extern LOGFONTA SprechblasenFont;  // built from the SBF values
extern char HausBeschrPics[kPathLen];
extern char BusPics[kPathLen];
extern char BahnPics[kPathLen];
extern char LKWPics[kPathLen];
extern int Weather[6];          // show, interval, Fahrenheit, country idx, station idx, country no.
extern bool WeatherShow;
extern bool WeatherFahrenheit;
extern char METAR[8];
extern char WeatherCountry[80];
extern char WeatherStation[128];

// Read by ReadDisplayMode.
extern int DisplayMode[4];      // width, height, bits, frequency; all 0 = none

// Read by ReadProxySettings.
extern int AccessType;
extern int FTPPortNumber;
extern char Proxy[256];
extern char ProxyUser[256];
extern char ProxyPasswort[256];

// The notes key (ReadMSGSettings / SaveMSGSettings).
extern char ZettlerPath[kPathLen];  // value "Path": folder of zettler.exe
extern char MSGPath[kPathLen];
extern int MSGdispWyn03;
extern int MSGonWyn03;
extern int MSGcheck;
extern int MSGshowWyn03;

// Lettering of the four houses (ReadHausSettings / SaveHausSettings).
struct HausFontRecord {
    DWORD Default;      // use the built-in lettering
    char Text[40];
    DWORD FontColor;    // COLORREF
    LOGFONTA Font;
    DWORD Reserved[2];
};
extern HausFontRecord HausFont[kHouseCount];

// The user's date order and separator (Control Panel\International).
extern char DateSeparator[8];  // sDate
extern int DateOrder;          // iDate

// Sentinel that a language file without a [LANGUAGE] NAME yields.
extern const char kNoLanguageName[];

// The language number of the scene's pictures: 1 German, 2 anything else.
int SceneLangNo();

void SetDefaultSettings();
void ReadSettings();
LONG ReadDisplayMode();
LONG ReadProxySettings();
void ReadMSGSettings();
void ReadHausSettings();
bool ReadFigurSound(int figure, char *out, size_t outSize);

LONG SaveSettings();
LONG SaveMP3next();
LONG SaveMSGSettings();  // with the companion's language
// The companion speaks the language chosen here; it reads it from the notes
// key ("Lang"), where nothing else would put it.
LONG SaveCompanionLanguage();
void SaveHausSettings();
LONG SaveFigurSound(int figure, const char *path);

// The maker folder (%APPDATA%\Tandrovi) and the product folder (its subfolder
// "Wendelby 3"), each created when missing. False when the special folder is
// unknown; the buffer then holds what could be built.
bool GetMakerFolder(char *out, size_t outSize);
bool GetProductFolder(char *out, size_t outSize);
// Folder of the program file, without the trailing backslash.
void GetProgramFolder(char *out, size_t outSize);
// A test program runs the program's code from a folder of its own: it names
// the folder that holds the program's files (null or "" for its own again).
void SetProgramFolder(const char *folder);
