// The page zoom's arithmetic, free of window code: the steps the player moves through, which key or
// wheel turn asks for which step, the stored value read back from the settings file, and the
// percentage the browser control is given at a display scale.
#pragma once

#include <string>

// The steps, in percent, smallest first.
constexpr int kPageZoomSteps[] = {50, 67, 75, 80, 90, 100, 110, 125, 150, 175, 200, 250, 300};
constexpr int kDefaultPageZoom = 100;

enum class PageZoomCommand { None, In, Out, Reset };

// Virtual-key codes of the zoom keys, so that the mapping needs no Windows header.
namespace ZoomKeys {
constexpr unsigned kOemPlus = 0xBB;   // "=" / "+" on the main keyboard
constexpr unsigned kOemMinus = 0xBD;  // "-" on the main keyboard
constexpr unsigned kAdd = 0x6B;       // numpad "+"
constexpr unsigned kSubtract = 0x6D;  // numpad "-"
constexpr unsigned kZero = 0x30;      // "0" on the main keyboard
constexpr unsigned kNumpadZero = 0x60;
}  // namespace ZoomKeys

// The command of a key pressed with the given modifiers. Only Ctrl counts: with Alt (AltGr is
// Ctrl + Alt) the key types a character instead. Shift is allowed, since "+" is Shift + "=" on many
// layouts.
PageZoomCommand ZoomCommandForKey(unsigned nVirtualKey, bool bCtrl, bool bAlt);

// Ctrl + wheel: one step per notch (120). A fast turn reports several notches at once; a wheel of
// finer resolution reports parts of a notch, which add up; a turn the other way starts counting
// afresh. Without Ctrl the wheel scrolls the page and what was counted is dropped.
class CWheelZoom
{
public:
    static constexpr int kNotch = 120;
    // Steps to take: positive to zoom in, negative to zoom out, 0 for none yet.
    int Add(int nDelta, bool bCtrl);

private:
    int m_nPending = 0;
};

// The zoom after a command: the next step up or down (staying at the ends), or 100 for Reset. A
// value between steps moves to the nearest step in the asked direction.
int NextPageZoom(int nCurrent, PageZoomCommand command);
bool IsPageZoomStep(int nPercent);

// The stored value: a step written as plain decimal digits (blanks around allowed). Missing (null),
// empty, not a number, a number with anything after it or not one of the steps: 100.
int ParseStoredPageZoom(const wchar_t* pszText);

// What the browser control is given for the player's zoom on a display of nDpi: the control renders
// a page whose host declares itself DPI aware at the zoom it is given, in percent of CSS pixels to
// screen pixels, so the display's own scale is part of the number (150 % at 144 DPI for 100 %).
// Rounded to the nearest percent and held to the 10 to 1000 % the control accepts (300 % on a
// display above 320 DPI would ask for more); a DPI of 0 or less counts as 96.
int OpticalZoomPercent(int nPageZoom, int nDpi);

// The text the player sees when the zoom changes: "缩放 125%".
std::wstring PageZoomText(int nPercent);
