#include "windowfixture.h"
#include "base/globals.h"
#include "filelist/filetable.h"
#include "tablebuilder.h"

static const char settingsKey[] = "Software\\Brevlock\\Kelpo";

void KelpoWindowTest::SetUp()
{
    RegDeleteKeyA(HKEY_CURRENT_USER, settingsKey);
}

void KelpoWindowTest::TearDown()
{
    KelpoStop();
    RegDeleteKeyA(HKEY_CURRENT_USER, settingsKey);
}

void KelpoWindowTest::MakeNumberedListing(int files)
{
    temp.MakeNumberedFiles("file%02d.txt", files, [](int i) { return (size_t)i * 10; });
    temp.MakeDir("subdir");
    temp.MakeFile("subdir\\inner.txt", "in");
}

void KelpoWindowTest::Start(const std::string &path)
{
    ASSERT_TRUE(KelpoStart("Kelpo.EXE \"" + path + "\""));
}

int KelpoWindowTest::Position()
{
    return PageTop + CursorSlot;
}

std::string KelpoWindowTest::CursorEntry()
{
    return CursorEntryName();
}

void KelpoWindowTest::GoTo(const char *name)
{
    KelpoKey(VK_F11);
    while (CursorEntry() != name && Position() < EntryCount - 1)
        KelpoKey(VK_DOWN);
    ASSERT_EQ(name, CursorEntry());
}

bool KelpoWindowTest::PumpUntil(const std::function<bool()> &condition, DWORD milliseconds)
{
    DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds) {
        KelpoPump();
        if (condition())
            return true;
        Sleep(20);
    }
    return condition();
}
