// The bus, tram and lorry pages: their lists edited through the system's own
// file dialog, the vehicle previews and what Apply leaves in the list files.
#include "sheet_fixture.h"

#include "base/gdiutil.h"
#include "services/piclists.h"
#include "settings/pagekit.h"
#include "shell/entry.h"

namespace sheettest {
namespace {

constexpr DWORD kPaintWaitMs = 120;
// What the page shows comes after a paint and a timer: a loaded machine takes long.
constexpr DWORD kWaitMs = 30000;

struct PageIds {
    int row, list, add, del, anchor;
    const char *listFile;
    const char *placeholder;
    POINT panel;  // a point inside the picture's panel, from the anchor
};
const PageIds kBus = {9, 2102, 2105, 2106, 2094, "buspic.dat", "BUS_WOLKE", {156, 74}};
const PageIds kTram = {10, 2147, 2145, 2146, 2144, "bahnpic.dat", "SBAHN_STD", {130, 80}};
const PageIds kTruck = {11, 2096, 2099, 2100, 2103, "lkwpic.dat", "LKW_LEER", {100, 40}};

// A 24-bit picture of one colour.
std::string SolidBmp(int w, int h, COLORREF c)
{
    const int stride = (w * 3 + 3) & ~3;
    const int size = 54 + stride * h;
    std::string b(static_cast<size_t>(size), '\0');
    auto put32 = [&](int at, int v) { memcpy(&b[static_cast<size_t>(at)], &v, 4); };
    b[0] = 'B';
    b[1] = 'M';
    put32(2, size);
    put32(10, 54);
    put32(14, 40);
    put32(18, w);
    put32(22, h);
    b[26] = 1;
    b[28] = 24;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            size_t at = static_cast<size_t>(54 + y * stride + x * 3);
            b[at] = static_cast<char>(GetBValue(c));
            b[at + 1] = static_cast<char>(GetGValue(c));
            b[at + 2] = static_cast<char>(GetRValue(c));
        }
    return b;
}

// Under the light lying on a panel a colour keeps its lead by about 30.
constexpr COLORREF kGreen = RGB(0, 200, 0), kRed = RGB(220, 0, 0);

bool Greenish(COLORREF c) { return GetGValue(c) > GetRValue(c) + 20 && GetGValue(c) > GetBValue(c) + 20; }
bool Reddish(COLORREF c) { return GetRValue(c) > GetGValue(c) + 20 && GetRValue(c) > GetBValue(c) + 20; }

class PictureListTest : public SheetTest {
protected:
    std::string Picture(const std::string &name, COLORREF c)
    {
        testutil::WriteFileBytes(dir_->File(name), SolidBmp(64, 48, c));
        return dir_->File(name);
    }
    void WriteList(const PageIds &ids, const std::vector<std::string> &lines)
    {
        std::string text;
        for (const std::string &l : lines)
            text += l + "\r\n";
        testutil::WriteFileBytes(dir_->File(ids.listFile), text);
    }
};

int Count(HWND page, const PageIds &ids)
{
    return static_cast<int>(SendDlgItemMessageA(page, ids.list, LB_GETCOUNT, 0, 0));
}

int Selected(HWND page, const PageIds &ids)
{
    return static_cast<int>(SendDlgItemMessageA(page, ids.list, LB_GETCURSEL, 0, 0));
}

std::string Line(HWND page, const PageIds &ids, int i)
{
    char text[kPathLen + 1] = {};
    if (SendDlgItemMessageA(page, ids.list, LB_GETTEXTLEN, i, 0) > static_cast<LRESULT>(kPathLen))
        return "<long>";
    SendDlgItemMessageA(page, ids.list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
    return text;
}

void SelectLine(HWND page, const PageIds &ids, int i)
{
    SendDlgItemMessageA(page, ids.list, LB_SETCURSEL, i, 0);
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(ids.list, LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(GetDlgItem(page, ids.list)));
}

bool Enabled(HWND page, int id) { return IsWindowEnabled(GetDlgItem(page, id)) != FALSE; }

// The preview's colour at a point from the anchor, once the page has drawn.
COLORREF Probe(HWND page, const PageIds &ids, POINT at)
{
    Sleep(kPaintWaitMs);
    RECT r;
    GetWindowRect(GetDlgItem(page, ids.anchor), &r);
    MapWindowPoints(nullptr, page, reinterpret_cast<POINT *>(&r), 2);
    return PagePixel(page, r.left + at.x, r.top + at.y);
}

// The placeholder picture's own colour at the point.
COLORREF PlaceholderPixel(const PageIds &ids, POINT at)
{
    HBITMAP bitmap = LoadResourceBitmap(AppInstance, ids.placeholder, FALSE, nullptr, kLoadScene);
    if (!bitmap)
        return CLR_INVALID;
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    COLORREF c = GetPixel(dc, at.x, at.y);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteTrackedBitmap(&bitmap);
    return c;
}

// Presses "+" and chooses names in the real file dialog.
bool AddInDialog(HWND page, const PageIds &ids, const std::string &folder, const std::vector<std::string> &names)
{
    PostMessageA(page, WM_COMMAND, MAKEWPARAM(ids.add, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(page, ids.add)));
    return ChooseInFileDialog(GetWindowThreadProcessId(page, nullptr), folder, names);
}

TEST_F(PictureListTest, FilesChosenAfterTheSelectionFollowItInTheDialogsOrder)
{
    WriteList(kBus, {Picture("a.bmp", kRed), Picture("b.bmp", kRed)});
    Picture("c.bmp", kRed);
    Picture("d.bmp", kRed);
    Picture("e.bmp", kGreen);
    std::vector<std::string> lines;
    int selected = -1;
    COLORREF before = 0, after = 0;
    bool chosen = false;
    RunSheet([&](HWND sheet) {
        HWND page = ShowPage(sheet, IndexOfRow(kBus.row));
        SelectLine(page, kBus, 1);
        Poll([&] { return Reddish(before = Probe(page, kBus, kBus.panel)); }, kWaitMs);
        chosen = AddInDialog(page, kBus, dir_->Path(), {"c.bmp", "d.bmp", "e.bmp"});
        Poll([&] { return Count(page, kBus) == 5; }, kWaitMs);
        for (int i = 0; i < Count(page, kBus); ++i)
            lines.push_back(Line(page, kBus, i));
        selected = Selected(page, kBus);
        Poll([&] { return Greenish(after = Probe(page, kBus, kBus.panel)); }, kWaitMs);
        PressButton(sheet, PSBTN_OK);
    });
    ASSERT_TRUE(chosen);
    EXPECT_EQ(lines, (std::vector<std::string>{dir_->File("a.bmp"), dir_->File("b.bmp"), dir_->File("c.bmp"),
                                               dir_->File("d.bmp"), dir_->File("e.bmp")}));
    EXPECT_EQ(selected, 4);
    EXPECT_TRUE(Reddish(before)) << std::hex << before;
    EXPECT_TRUE(Greenish(after)) << std::hex << after;
    EXPECT_EQ(testutil::ReadFileBytes(dir_->File("buspic.dat")),
              dir_->File("a.bmp") + "\r\n" + dir_->File("b.bmp") + "\r\n" + dir_->File("c.bmp") + "\r\n" +
                  dir_->File("d.bmp") + "\r\n" + dir_->File("e.bmp") + "\r\n");
}

TEST_F(PictureListTest, AFullListTakesTheFirstChosenFileOnly)
{
    std::vector<std::string> lines(kMaxPiclistEntries - 1, Picture("a.bmp", kRed));
    WriteList(kTruck, lines);
    Picture("b.bmp", kGreen);
    Picture("c.bmp", kGreen);
    int count = 0;
    bool addOn = true, cancelled = false;
    RunSheet([&](HWND sheet) {
        HWND page = ShowPage(sheet, IndexOfRow(kTruck.row));
        // A cancelled dialog changes nothing.
        PostMessageA(page, WM_COMMAND, MAKEWPARAM(kTruck.add, BN_CLICKED), 0);
        cancelled = CancelFileDialog(GetWindowThreadProcessId(page, nullptr)) && !ApplyEnabled(sheet);
        AddInDialog(page, kTruck, dir_->Path(), {"b.bmp", "c.bmp"});
        Poll([&] { return Count(page, kTruck) == kMaxPiclistEntries; }, kWaitMs);
        count = Count(page, kTruck);
        addOn = Enabled(page, kTruck.add);
    });
    EXPECT_TRUE(cancelled);
    EXPECT_EQ(count, kMaxPiclistEntries);
    EXPECT_FALSE(addOn);
}

TEST_F(PictureListTest, DeletingDownToTheEmptyListShowsThePlaceholderAndApplyRemovesTheFile)
{
    WriteList(kBus, {Picture("a.bmp", kRed), Picture("b.bmp", kGreen)});
    int afterLast = -1, countAfterAll = -1;
    bool delOn = true;
    COLORREF empty = 0;
    RunSheet([&](HWND sheet) {
        HWND page = ShowPage(sheet, IndexOfRow(kBus.row));
        SelectLine(page, kBus, 1);
        Click(page, kBus.del);
        afterLast = Selected(page, kBus);
        Click(page, kBus.del);
        countAfterAll = Count(page, kBus);
        delOn = Enabled(page, kBus.del);
        Poll([&] { return (empty = Probe(page, kBus, kBus.panel)) == PlaceholderPixel(kBus, kBus.panel); }, kWaitMs);
        PressButton(sheet, PSBTN_OK);
    });
    EXPECT_EQ(afterLast, 0);
    EXPECT_EQ(countAfterAll, 0);
    EXPECT_FALSE(delOn);
    EXPECT_EQ(empty, PlaceholderPixel(kBus, kBus.panel));
    EXPECT_EQ(GetFileAttributesA(dir_->File("buspic.dat").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(PictureListTest, ApplyOfAnUnchangedListLeavesItsFile)
{
    WriteList(kTram, {Picture("a.bmp", kRed)});
    HANDLE h = CreateFileA(dir_->File("bahnpic.dat").c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    FILETIME old = {0x10000000, 0x01D00000};
    SetFileTime(h, nullptr, nullptr, &old);
    CloseHandle(h);
    RunSheet([&](HWND sheet) {
        ShowPage(sheet, IndexOfRow(kTram.row));
        PressButton(sheet, PSBTN_APPLYNOW);
        PressButton(sheet, PSBTN_OK);
    });
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    ASSERT_TRUE(GetFileAttributesExA(dir_->File("bahnpic.dat").c_str(), GetFileExInfoStandard, &data));
    EXPECT_EQ(CompareFileTime(&data.ftLastWriteTime, &old), 0);
}

// Two lines naming one file in other case share the preview: the picture is
// not read again, so a change to the file meanwhile does not show.
TEST_F(PictureListTest, TheSamePathInOtherCaseKeepsThePreview)
{
    std::string path = Picture("same.bmp", kGreen);
    std::string upper = dir_->File("SAME.BMP");
    WriteList(kTram, {path, upper, Picture("other.bmp", kRed)});
    COLORREF first = 0, second = 0, third = 0;
    RunSheet([&](HWND sheet) {
        HWND page = ShowPage(sheet, IndexOfRow(kTram.row));
        // The first preview comes with the page's first paint.
        Poll([&] { return Greenish(first = Probe(page, kTram, kTram.panel)); }, kWaitMs);
        testutil::WriteFileBytes(path, SolidBmp(64, 48, kRed));
        SelectLine(page, kTram, 1);
        second = Probe(page, kTram, kTram.panel);
        SelectLine(page, kTram, 2);
        Poll([&] { return Reddish(third = Probe(page, kTram, kTram.panel)); }, kWaitMs);
    });
    EXPECT_TRUE(Greenish(first)) << std::hex << first;
    EXPECT_EQ(second, first);
    EXPECT_TRUE(Reddish(third)) << std::hex << third;
}

// Entries that are no pictures, or pictures of no size, make no preview and
// stay in the list.
TEST_F(PictureListTest, BadEntriesStayInTheList)
{
    testutil::WriteFileBytes(dir_->File("junk.bmp"), std::string(300, '\x7f'));
    testutil::WriteFileBytes(dir_->File("empty.bmp"), SolidBmp(0, 0, kRed));
    const std::vector<std::string> bad = {dir_->File("missing.bmp"), dir_->File("junk.bmp"), dir_->File("empty.bmp")};
    WriteList(kBus, bad);
    std::vector<int> counts;
    RunSheet([&](HWND sheet) {
        HWND page = ShowPage(sheet, IndexOfRow(kBus.row));
        for (int i = 0; i < 3; ++i) {
            SelectLine(page, kBus, i);
            Sleep(kPaintWaitMs);
            counts.push_back(Count(page, kBus));
        }
        Click(page, kBus.del);
        PressButton(sheet, PSBTN_OK);
    });
    EXPECT_EQ(counts, (std::vector<int>{3, 3, 3}));
    EXPECT_EQ(testutil::ReadFileBytes(dir_->File("buspic.dat")), bad[0] + "\r\n" + bad[1] + "\r\n");
}

// A name that would make the joined path too long for an entry is skipped,
// never cut to the name of another file.
TEST(ChosenFiles, AJoinedPathTooLongIsSkipped)
{
    const std::string folder = "C:\\" + std::string(230, 'd');
    const std::string longName = std::string(40, 'n') + ".bmp";
    std::string buffer = folder + '\0' + longName + '\0' + "ok.bmp" + '\0' + '\0';
    std::vector<std::string> got;
    const char *cursor = nullptr;
    char path[kPiclistEntryLen];
    while (NextChosenFile(buffer.c_str(), &cursor, path, sizeof(path)))
        got.push_back(path);
    EXPECT_EQ(got, (std::vector<std::string>{folder + "\\ok.bmp"}));
    // One full path alone is taken as it is.
    buffer = std::string("C:\\a.bmp") + '\0' + '\0';
    got.clear();
    cursor = nullptr;
    while (NextChosenFile(buffer.c_str(), &cursor, path, sizeof(path)))
        got.push_back(path);
    EXPECT_EQ(got, (std::vector<std::string>{"C:\\a.bmp"}));
}

}  // namespace
}  // namespace sheettest
