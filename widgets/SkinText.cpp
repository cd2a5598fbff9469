#include "SkinText.h"
#include <cwchar>
#include <string>

namespace {

const wchar_t kEllipsis[] = L"\u2026";

bool IsWide(wchar_t ch)
{
    // CJK text has no spaces: every ideograph and full-width mark is a place to break.
    return ch >= 0x2E80;
}

// True when a line may end right after text[0..k).
bool IsWordEnd(const std::wstring& text, size_t k)
{
    if (k == 0 || k >= text.size())
        return true;
    return text[k] == L' ' || text[k - 1] == L' ' || IsWide(text[k]) || IsWide(text[k - 1]);
}

// How many characters of text the layout box shows as whole lines.
INT Fitted(Gdiplus::Graphics& graphics, const std::wstring& text, const Gdiplus::Font& font,
           const Gdiplus::RectF& rcLayout, const Gdiplus::StringFormat& format)
{
    Gdiplus::RectF bound;
    INT fitted = 0, lines = 0;
    graphics.MeasureString(text.c_str(), static_cast<INT>(text.size()), &font, rcLayout, &format, &bound, &fitted,
                           &lines);
    return fitted;
}

}  // namespace

std::unique_ptr<Gdiplus::Font> CreateSkinFont(Gdiplus::REAL nPixels, INT nStyle)
{
    Gdiplus::FontFamily arial(L"arial");
    const Gdiplus::FontFamily* family = &arial;
    if (arial.GetLastStatus() != Gdiplus::Ok || !arial.IsAvailable())
        family = Gdiplus::FontFamily::GenericSansSerif();
    auto font = std::make_unique<Gdiplus::Font>(family, nPixels, nStyle, Gdiplus::UnitPixel);
    if (font->GetLastStatus() != Gdiplus::Ok)
        font = std::make_unique<Gdiplus::Font>(Gdiplus::FontFamily::GenericSansSerif(), nPixels, nStyle,
                                               Gdiplus::UnitPixel);
    return font;
}

void DrawSkinText(Gdiplus::Graphics& graphics, LPCWSTR lpszText, Gdiplus::REAL nPixels, INT nStyle,
                  const Gdiplus::Color& color, const Gdiplus::RectF& rcLayout, Gdiplus::StringTrimming trimming)
{
    if (!lpszText || !*lpszText)
        return;
    auto font = CreateSkinFont(nPixels, nStyle);
    Gdiplus::StringFormat format;
    format.SetAlignment(Gdiplus::StringAlignmentCenter);
    // Only whole lines: a line cut in half by the box's bottom would hide the ellipsis.
    format.SetFormatFlags(Gdiplus::StringFormatFlagsLineLimit);
    format.SetTrimming(trimming);

    std::wstring text(lpszText);
    const bool bEllipsis = trimming == Gdiplus::StringTrimmingEllipsisCharacter ||
                           trimming == Gdiplus::StringTrimmingEllipsisWord;
    INT fitted = Fitted(graphics, text, *font, rcLayout, format);
    if (bEllipsis && fitted > 0 && fitted < static_cast<INT>(text.size())) {
        // Not every GDI+ draws the ellipsis itself; cut the text so that it ends in one and fits.
        format.SetTrimming(Gdiplus::StringTrimmingNone);
        const bool bWord = trimming == Gdiplus::StringTrimmingEllipsisWord;
        for (size_t k = static_cast<size_t>(fitted); k > 0; --k) {
            if (bWord && !IsWordEnd(text, k))
                continue;
            std::wstring cut = text.substr(0, k);
            while (!cut.empty() && cut.back() == L' ')
                cut.pop_back();
            cut += kEllipsis;
            if (Fitted(graphics, cut, *font, rcLayout, format) == static_cast<INT>(cut.size())) {
                text = cut;
                break;
            }
        }
    }
    Gdiplus::SolidBrush brush(color);
    graphics.DrawString(text.c_str(), static_cast<INT>(text.size()), font.get(), rcLayout, &format, &brush);
}
