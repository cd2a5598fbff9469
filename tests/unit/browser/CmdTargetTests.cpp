// The command target's automation: a dispatch table with typed handlers, argument count and types
// checked before a handler runs, an interface table, and a count that ends the object.
#include <gtest/gtest.h>

#include <string>

#include "BrowserTestSupport.h"
#include "CCmdTarget.h"

#include <ole2.h>

namespace {

const IID kIidExtraEvents = {0x6b1e2a10, 0x3c4d, 0x4e5f, {0x80, 0x91, 0xa2, 0xb3, 0xc4, 0xd5, 0xe6, 0xf7}};

class CTestTarget : public CCmdTarget
{
public:
    explicit CTestTarget(bool bAutomation, std::wstring* pLog, bool* pbDeleted) : m_pLog(pLog), m_pbDeleted(pbDeleted)
    {
        if (bAutomation)
            EnableAutomation();
    }

protected:
    ~CTestTarget() override { *m_pbDeleted = true; }

    void OnNothing() { *m_pLog += L"nothing;"; }
    void OnMixed(long lValue, BSTR bstrText, VARIANT_BOOL* pFlag)
    {
        *m_pLog += L"mixed " + std::to_wstring(lValue) + L" " + (bstrText ? bstrText : L"(null)") + L";";
        *pFlag = VARIANT_TRUE;
    }

    DECLARE_DISPATCH_MAP()
    DECLARE_INTERFACE_MAP()

private:
    std::wstring* m_pLog;
    bool* m_pbDeleted;
};

BEGIN_DISPATCH_MAP(CTestTarget, CCmdTarget)
    DISP_FUNCTION_ID(CTestTarget, "Nothing", 1, OnNothing)
    DISP_FUNCTION_ID(CTestTarget, "Mixed", 2, OnMixed)
END_DISPATCH_MAP()

BEGIN_INTERFACE_MAP(CTestTarget, CCmdTarget)
    INTERFACE_PART(CTestTarget, kIidExtraEvents, Dispatch)
END_INTERFACE_MAP()

} // namespace

TEST(CmdTarget, TypedHandlersReceiveTheirArgumentsInDeclaredOrder)
{
    std::wstring strLog;
    bool bDeleted = false;
    auto* pTarget = new CTestTarget(true, &strLog, &bDeleted);
    IDispatch* pDispatch = pTarget->GetIDispatch(FALSE);
    ASSERT_NE(pDispatch, nullptr);

    CEventParams nothing;
    EXPECT_EQ(RaiseEvent(pDispatch, 1, nothing.Get()), S_OK);
    VARIANT_BOOL flag = VARIANT_FALSE;
    CEventParams mixed;
    mixed.Long(42).String(L"text").BoolRef(&flag);
    EXPECT_EQ(RaiseEvent(pDispatch, 2, mixed.Get()), S_OK);
    EXPECT_EQ(flag, VARIANT_TRUE);
    CEventParams byReference;  // a variant by reference is read through
    flag = VARIANT_FALSE;
    byReference.VariantLong(-7).VariantString(L"ref").BoolRef(&flag);
    EXPECT_EQ(RaiseEvent(pDispatch, 2, byReference.Get()), S_OK);
    EXPECT_EQ(strLog, L"nothing;mixed 42 text;mixed -7 ref;");

    pTarget->ExternalRelease();
    EXPECT_TRUE(bDeleted);
}

TEST(CmdTarget, WrongCountsAndTypesNeverReachTheHandler)
{
    std::wstring strLog;
    bool bDeleted = false;
    auto* pTarget = new CTestTarget(true, &strLog, &bDeleted);
    IDispatch* pDispatch = pTarget->GetIDispatch(FALSE);
    VARIANT_BOOL flag = 0x2A;

    CEventParams tooFew, tooMany, swapped, byValue;
    tooFew.Long(1).String(L"x");
    tooMany.Long(1).String(L"x").BoolRef(&flag).Long(2);
    swapped.String(L"x").Long(1).BoolRef(&flag);
    byValue.Long(1).String(L"x").Bool(VARIANT_FALSE);
    EXPECT_EQ(RaiseEvent(pDispatch, 2, tooFew.Get()), DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(RaiseEvent(pDispatch, 2, tooMany.Get()), DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(RaiseEvent(pDispatch, 2, swapped.Get()), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(RaiseEvent(pDispatch, 2, byValue.Get()), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(RaiseEvent(pDispatch, 2, nullptr), DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(RaiseEvent(pDispatch, 3, tooFew.Get()), DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(strLog, L"");
    EXPECT_EQ(flag, 0x2A);
    pTarget->ExternalRelease();
}

TEST(CmdTarget, InterfacesDependOnAutomationAndTheTable)
{
    std::wstring strLog;
    bool bDeleted = false;
    auto* pPlain = new CTestTarget(false, &strLog, &bDeleted);
    EXPECT_EQ(pPlain->GetIDispatch(FALSE), nullptr);
    void* pv = nullptr;
    EXPECT_EQ(pPlain->ExternalQueryInterface(IID_IDispatch, &pv), E_NOINTERFACE);
    EXPECT_EQ(pPlain->ExternalQueryInterface(IID_IUnknown, &pv), S_OK);
    static_cast<IUnknown*>(pv)->Release();
    pPlain->ExternalRelease();
    EXPECT_TRUE(bDeleted);

    bDeleted = false;
    auto* pTarget = new CTestTarget(true, &strLog, &bDeleted);
    IUnknown* pUnknown = pTarget->GetIUnknown(TRUE);
    for (const IID* pIid : {&IID_IDispatch, &kIidExtraEvents}) {
        pv = nullptr;
        EXPECT_EQ(pUnknown->QueryInterface(*pIid, &pv), S_OK);
        EXPECT_EQ(pv, static_cast<void*>(pTarget->GetIDispatch(FALSE)));
        static_cast<IUnknown*>(pv)->Release();
    }
    EXPECT_EQ(pUnknown->QueryInterface(IID_IOleObject, &pv), E_NOINTERFACE);
    pTarget->ExternalRelease();
    EXPECT_FALSE(bDeleted) << "a holder is left";
    EXPECT_EQ(pUnknown->Release(), 0u);
    EXPECT_TRUE(bDeleted);
}
