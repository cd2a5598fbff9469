#include "browser/PageZoom.h"

#include <iterator>

PageZoomCommand ZoomCommandForKey(unsigned nVirtualKey, bool bCtrl, bool bAlt)
{
    if (!bCtrl || bAlt)
        return PageZoomCommand::None;
    switch (nVirtualKey) {
    case ZoomKeys::kOemPlus:
    case ZoomKeys::kAdd:
        return PageZoomCommand::In;
    case ZoomKeys::kOemMinus:
    case ZoomKeys::kSubtract:
        return PageZoomCommand::Out;
    case ZoomKeys::kZero:
    case ZoomKeys::kNumpadZero:
        return PageZoomCommand::Reset;
    default:
        return PageZoomCommand::None;
    }
}

int CWheelZoom::Add(int nDelta, bool bCtrl)
{
    if (!bCtrl || nDelta == 0) {
        m_nPending = 0;
        return 0;
    }
    if (m_nPending != 0 && (nDelta > 0) != (m_nPending > 0))
        m_nPending = 0;
    m_nPending += nDelta;
    // Truncation toward zero keeps the rest of a notch, with its sign, for the next report.
    const int nSteps = m_nPending / kNotch;
    m_nPending -= nSteps * kNotch;
    return nSteps;
}

bool IsPageZoomStep(int nPercent)
{
    for (int nStep : kPageZoomSteps) {
        if (nStep == nPercent)
            return true;
    }
    return false;
}

int NextPageZoom(int nCurrent, PageZoomCommand command)
{
    switch (command) {
    case PageZoomCommand::Reset:
        return kDefaultPageZoom;
    case PageZoomCommand::In:
        for (int nStep : kPageZoomSteps) {
            if (nStep > nCurrent)
                return nStep;
        }
        return std::end(kPageZoomSteps)[-1];
    case PageZoomCommand::Out:
        for (auto it = std::rbegin(kPageZoomSteps); it != std::rend(kPageZoomSteps); ++it) {
            if (*it < nCurrent)
                return *it;
        }
        return kPageZoomSteps[0];
    case PageZoomCommand::None:
        break;
    }
    return nCurrent;
}

int ParseStoredPageZoom(const wchar_t* pszText)
{
    if (!pszText)
        return kDefaultPageZoom;
    const wchar_t* p = pszText;
    while (*p == L' ' || *p == L'\t')
        ++p;
    int nValue = 0;
    int nDigits = 0;
    for (; *p >= L'0' && *p <= L'9'; ++p, ++nDigits) {
        // Held below any overflow: past the largest step the value can only stay not a step.
        if (nValue < 10000)
            nValue = nValue * 10 + (*p - L'0');
    }
    while (*p == L' ' || *p == L'\t')
        ++p;
    if (nDigits == 0 || *p != L'\0' || !IsPageZoomStep(nValue))
        return kDefaultPageZoom;
    return nValue;
}

int OpticalZoomPercent(int nPageZoom, int nDpi)
{
    if (nDpi <= 0)
        nDpi = 96;
    const long long nPercent = (static_cast<long long>(nPageZoom) * nDpi + 48) / 96;
    return static_cast<int>(nPercent < 10 ? 10 : (nPercent > 1000 ? 1000 : nPercent));
}

std::wstring PageZoomText(int nPercent)
{
    return L"缩放 " + std::to_wstring(nPercent) + L"%";
}
