// The page zoom's arithmetic: keys and wheel turns to commands, the steps, the stored value and the
// percentage the control is given at a display scale.
#include <gtest/gtest.h>

#include "browser/PageZoom.h"

namespace {
const char* Name(PageZoomCommand command)
{
    switch (command) {
    case PageZoomCommand::In: return "In";
    case PageZoomCommand::Out: return "Out";
    case PageZoomCommand::Reset: return "Reset";
    case PageZoomCommand::None: break;
    }
    return "None";
}
}  // namespace

TEST(PageZoom, KeysWithCtrlAloneAreTheZoomCommands)
{
    struct Case
    {
        unsigned vk;
        bool bCtrl, bAlt;
        PageZoomCommand expected;
    };
    const Case cases[] = {
        {0xBB, true, false, PageZoomCommand::In},      // "=" / "+" on the main keyboard
        {0x6B, true, false, PageZoomCommand::In},      // numpad "+"
        {0xBD, true, false, PageZoomCommand::Out},     // "-" on the main keyboard
        {0x6D, true, false, PageZoomCommand::Out},     // numpad "-"
        {0x30, true, false, PageZoomCommand::Reset},   // "0"
        {0x60, true, false, PageZoomCommand::Reset},   // numpad "0"
        {0xBB, false, false, PageZoomCommand::None},   // typed into the page
        {0x30, false, false, PageZoomCommand::None},
        {0xBB, true, true, PageZoomCommand::None},     // AltGr: a character of the layout
        {0xBD, true, true, PageZoomCommand::None},
        {0x31, true, false, PageZoomCommand::None},    // Ctrl + "1"
        {0x41, true, false, PageZoomCommand::None},    // Ctrl + A (the screenshot key is Ctrl+Shift+A)
        {0x74, true, false, PageZoomCommand::None},    // Ctrl + F5
    };
    for (const Case& c : cases)
        EXPECT_STREQ(Name(ZoomCommandForKey(c.vk, c.bCtrl, c.bAlt)), Name(c.expected))
            << "key 0x" << std::hex << c.vk << " ctrl " << c.bCtrl << " alt " << c.bAlt;
}

TEST(PageZoom, WheelStepsOncePerNotchWithCtrl)
{
    struct Turn
    {
        int nDelta;
        bool bCtrl;
        int nSteps;
    };
    // One wheel, turned in order: whole notches, two at once, parts of notches, a change of
    // direction, and turns without Ctrl or without movement that drop what was counted.
    const Turn turns[] = {
        {120, true, 1},  {-120, true, -1}, {240, true, 2},   {60, true, 0},   {60, true, 1},
        {90, true, 0},   {-30, true, 0},   {-90, true, -1},  {-60, true, 0},  {120, false, 0},
        {-60, true, 0},  {0, true, 0},     {-60, true, 0},   {-60, true, -1}, {-360, true, -3},
    };
    CWheelZoom wheel;
    int i = 0;
    for (const Turn& t : turns)
        EXPECT_EQ(wheel.Add(t.nDelta, t.bCtrl), t.nSteps) << "turn " << i++ << " delta " << t.nDelta;
}

TEST(PageZoom, CommandsWalkTheStepsAndStopAtTheEnds)
{
    struct Case
    {
        int nFrom;
        PageZoomCommand command;
        int nTo;
    };
    const Case cases[] = {
        {100, PageZoomCommand::In, 110},   {110, PageZoomCommand::In, 125},  {250, PageZoomCommand::In, 300},
        {300, PageZoomCommand::In, 300},   {100, PageZoomCommand::Out, 90},  {67, PageZoomCommand::Out, 50},
        {50, PageZoomCommand::Out, 50},    {300, PageZoomCommand::Reset, 100}, {50, PageZoomCommand::Reset, 100},
        {100, PageZoomCommand::Reset, 100}, {125, PageZoomCommand::None, 125},
        // Between steps: the nearest step in the asked direction.
        {130, PageZoomCommand::In, 150},   {130, PageZoomCommand::Out, 125}, {10, PageZoomCommand::In, 50},
        {10, PageZoomCommand::Out, 50},    {999, PageZoomCommand::Out, 300}, {999, PageZoomCommand::In, 300},
    };
    for (const Case& c : cases)
        EXPECT_EQ(NextPageZoom(c.nFrom, c.command), c.nTo) << c.nFrom << " " << Name(c.command);

    int nZoom = 100;
    int nSteps = 0;
    while (NextPageZoom(nZoom, PageZoomCommand::In) != nZoom) {
        nZoom = NextPageZoom(nZoom, PageZoomCommand::In);
        ++nSteps;
    }
    EXPECT_EQ(nZoom, 300);
    EXPECT_EQ(nSteps, 7) << "100 to 300 goes through 110, 125, 150, 175, 200, 250";
}

TEST(PageZoom, StoredValueIsAStepOr100)
{
    struct Case
    {
        const wchar_t* pszText;
        int nExpected;
    };
    const Case cases[] = {
        {L"125", 125}, {L"50", 50},   {L"300", 300},  {L" 67 ", 67},  {L"\t175", 175},
        {nullptr, 100}, {L"", 100},   {L"  ", 100},   {L"abc", 100},  {L"125%", 100},
        {L"12 5", 100}, {L"+125", 100}, {L"-50", 100}, {L"130", 100}, {L"0", 100},
        {L"1250", 100}, {L"0125", 125}, {L"00000000000000000150", 150}, {L"99999999999999999999", 100}, {L"125abc", 100}, {L"1.5", 100},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseStoredPageZoom(c.pszText), c.nExpected) << (c.pszText ? c.pszText : L"(null)");
}

TEST(PageZoom, ControlIsGivenTheZoomAtTheDisplaysScale)
{
    struct Case
    {
        int nZoom, nDpi, nExpected;
    };
    const Case cases[] = {
        {100, 96, 100}, {125, 96, 125}, {50, 96, 50},   {300, 96, 300},
        {100, 120, 125}, {100, 144, 150}, {100, 192, 200}, {125, 144, 188}, {67, 144, 101},
        {300, 192, 600}, {80, 120, 100}, {100, 0, 100},  {100, -5, 100},
        {300, 480, 1000}, {250, 384, 1000}, {50, 9, 10},  // the control's 10 to 1000 %
    };
    for (const Case& c : cases)
        EXPECT_EQ(OpticalZoomPercent(c.nZoom, c.nDpi), c.nExpected) << c.nZoom << " % at " << c.nDpi << " DPI";
}

TEST(PageZoom, TextNamesThePercentage)
{
    EXPECT_EQ(PageZoomText(125), L"缩放 125%");
    EXPECT_EQ(PageZoomText(50), L"缩放 50%");
}
