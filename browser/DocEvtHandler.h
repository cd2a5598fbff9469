// Listens to the clicks of the game page and writes the address of the clicked link to the
// diagnostics output. It changes nothing on the page and never cancels a click.
#pragma once

#include "CCmdTarget.h"

class SDocEvtHandler : public CCmdTarget
{
public:
    SDocEvtHandler();

protected:
    ~SDocEvtHandler() override = default;

    // The document's click event: pEvtObj is the event object (IHTMLEventObj).
    void OnClick(IDispatch* pEvtObj);

    DECLARE_DISPATCH_MAP()
    DECLARE_INTERFACE_MAP()
};
