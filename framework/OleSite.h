// Pieces shared by every container of the WebBrowser control in this program: creating the control on
// a temporary storage, taking it down again in the order the control needs, and event connections.
#pragma once

#include <windows.h>
#include <ole2.h>

// Creates the WebBrowser control as an OLE object on a new temporary compound file. On failure the
// out-pointers that could not be filled stay null (the storage may exist without the object).
HRESULT CreateWebBrowserObject(IOleClientSite* pSite, IStorage** ppStorage, IOleObject** ppObject);

// Takes the control down while every pointer to it is still valid: stops any navigation, leaves
// in-place activation, closes it without saving and makes it forget its client site, so that it
// calls nothing on a site that is about to go away. Either pointer may be null.
void ShutDownWebBrowserObject(IOleObject* pObject, IOleInPlaceObject* pInPlaceObject);

// Connects pSink to the connection point iid of pSource; *pdwCookie is 0 on failure.
HRESULT AdviseConnection(IUnknown* pSource, REFIID iid, IUnknown* pSink, DWORD* pdwCookie);
HRESULT UnadviseConnection(IUnknown* pSource, REFIID iid, DWORD dwCookie);

// True when both pointers reach the same COM object (only their IUnknown pointers may be compared);
// false when either is null. Tells the control's own events from those of a frame inside it.
bool IsSameComObject(IUnknown* pFirst, IUnknown* pSecond);
