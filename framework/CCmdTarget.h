// The command target in its automation role: an object that offers an IDispatch driven by a static
// dispatch table, answers extra interface ids from an interface table, and lives by a COM reference
// count. Connection points hand the IDispatch out; the owner drops its own reference with
// ExternalRelease, and the object ends when the last holder lets go.
//
//   BEGIN_DISPATCH_MAP(SDocEvtHandler, CCmdTarget)
//       DISP_FUNCTION_ID(SDocEvtHandler, "HTMLELEMENTEVENTS2_ONCLICK", DISPID_HTMLELEMENTEVENTS2_ONCLICK, OnClick)
//   END_DISPATCH_MAP()
//
// A handler takes the event's parameters as typed arguments (IDispatch*, long, BSTR, VARIANT_BOOL*);
// a handler with another parameter type does not compile, and a call with another argument count or
// argument type is refused before the handler runs.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <cstddef>
#include <tuple>
#include <utility>

class CCmdTarget
{
public:
    CCmdTarget();
    CCmdTarget(const CCmdTarget&) = delete;
    CCmdTarget& operator=(const CCmdTarget&) = delete;

    // Offers the dispatch table through IDispatch; until then only IUnknown is answered.
    void EnableAutomation();
    // The object's IDispatch (null without automation); with bAddRef the caller owns one reference.
    IDispatch* GetIDispatch(BOOL bAddRef);
    IUnknown* GetIUnknown(BOOL bAddRef);

    ULONG ExternalAddRef();
    ULONG ExternalRelease();  // deletes the object when the count reaches 0
    HRESULT ExternalQueryInterface(REFIID riid, void** ppv);

    struct DispatchEntry
    {
        const wchar_t* pszName;
        DISPID dispid;
        HRESULT (*pfnInvoke)(CCmdTarget* pTarget, const DISPPARAMS* pParams);
    };
    struct DispatchMap
    {
        const DispatchMap* pBaseMap;
        const DispatchEntry* pEntries;  // ends with a null name
    };
    struct InterfaceMap
    {
        const InterfaceMap* pBaseMap;
        const IID* const* ppIids;       // answered with the IDispatch; ends with null
    };

protected:
    virtual ~CCmdTarget();
    virtual void OnFinalRelease();

    virtual const DispatchMap* GetDispatchMap() const;
    virtual const InterfaceMap* GetInterfaceMap() const;
    static const DispatchMap s_dispatchMap;
    static const InterfaceMap s_interfaceMap;

private:
    class XDispatch : public IDispatch
    {
    public:
        explicit XDispatch(CCmdTarget* pOwner) : m_pOwner(pOwner) {}
        STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
        STDMETHODIMP_(ULONG) AddRef() override;
        STDMETHODIMP_(ULONG) Release() override;
        STDMETHODIMP GetTypeInfoCount(UINT* pctinfo) override;
        STDMETHODIMP GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) override;
        STDMETHODIMP GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid,
                                   DISPID* rgDispId) override;
        STDMETHODIMP Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags, DISPPARAMS* pDispParams,
                            VARIANT* pVarResult, EXCEPINFO* pExcepInfo, UINT* puArgErr) override;

    private:
        CCmdTarget* m_pOwner;
    };

    const DispatchEntry* FindDispatchEntry(DISPID dispid) const;
    bool IsMappedInterface(REFIID riid) const;

    LONG m_dwRef;
    bool m_bAutomation;
    XDispatch m_xDispatch;
};

// Converts one event argument to a handler's parameter type; false when the variant holds another type.
namespace CmdTargetArgs {
bool Convert(const VARIANT& var, IDispatch*& out);
bool Convert(const VARIANT& var, long& out);
bool Convert(const VARIANT& var, BSTR& out);
bool Convert(const VARIANT& var, VARIANT_BOOL*& out);
} // namespace CmdTargetArgs

template <auto Handler>
struct CmdTargetThunk;

template <class T, class... Args, void (T::*Handler)(Args...)>
struct CmdTargetThunk<Handler>
{
    static HRESULT Invoke(CCmdTarget* pTarget, const DISPPARAMS* pParams)
    {
        if (!pParams || pParams->cArgs != sizeof...(Args) || (sizeof...(Args) > 0 && !pParams->rgvarg))
            return DISP_E_BADPARAMCOUNT;
        return Call(static_cast<T*>(pTarget), pParams, std::index_sequence_for<Args...>());
    }

private:
    template <std::size_t... I>
    static HRESULT Call(T* pThis, const DISPPARAMS* pParams, std::index_sequence<I...>)
    {
        std::tuple<std::decay_t<Args>...> args{};
        // rgvarg holds the arguments last first.
        bool bOk = (true && ... &&
                    CmdTargetArgs::Convert(pParams->rgvarg[pParams->cArgs - 1 - I], std::get<I>(args)));
        if (!bOk)
            return DISP_E_TYPEMISMATCH;
        (pThis->*Handler)(std::get<I>(args)...);
        return S_OK;
    }
};

#define DECLARE_DISPATCH_MAP()                                   \
protected:                                                       \
    static const CCmdTarget::DispatchEntry s_dispatchEntries[];  \
    static const CCmdTarget::DispatchMap s_dispatchMap;          \
    const CCmdTarget::DispatchMap* GetDispatchMap() const override;

#define BEGIN_DISPATCH_MAP(theClass, baseClass)                                                      \
    const CCmdTarget::DispatchMap* theClass::GetDispatchMap() const { return &theClass::s_dispatchMap; } \
    const CCmdTarget::DispatchMap theClass::s_dispatchMap = {&baseClass::s_dispatchMap,              \
                                                             theClass::s_dispatchEntries};           \
    const CCmdTarget::DispatchEntry theClass::s_dispatchEntries[] = {

#define DISP_FUNCTION_ID(theClass, name, dispid, memberFn) \
    {L##name, dispid, &CmdTargetThunk<&theClass::memberFn>::Invoke},

#define END_DISPATCH_MAP() {nullptr, 0, nullptr} };

#define DECLARE_INTERFACE_MAP()                              \
protected:                                                   \
    static const IID* const s_interfaceIids[];               \
    static const CCmdTarget::InterfaceMap s_interfaceMap;    \
    const CCmdTarget::InterfaceMap* GetInterfaceMap() const override;

#define BEGIN_INTERFACE_MAP(theClass, baseClass)                                                       \
    const CCmdTarget::InterfaceMap* theClass::GetInterfaceMap() const { return &theClass::s_interfaceMap; } \
    const CCmdTarget::InterfaceMap theClass::s_interfaceMap = {&baseClass::s_interfaceMap,             \
                                                               theClass::s_interfaceIids};             \
    const IID* const theClass::s_interfaceIids[] = {

// Only the IDispatch part exists; the interface id is answered with it.
#define INTERFACE_PART(theClass, iid, localClass) &iid,

#define END_INTERFACE_MAP() nullptr };
