// A dialog that also shows an HTML page from the resources in the system's
// web browser control, spread over the whole client area beneath the
// template's controls.
//
// The browser control may be missing or may never deliver a document (wine
// without its HTML engine creates the control but no page arrives). The
// dialog waits a short while for the document without blocking, then gives
// the page up and paints the page's background colour itself; the controls
// of the template work either way.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "platform/winui/dialog.h"

struct IDispatch;
struct IHTMLElement;

namespace winui {

class CDHtmlEventSink;

// Calls an event handler of the sink's class.
using DHtmlEventThunk = HRESULT (*)(CDHtmlEventSink& sink, IHTMLElement* element);

// One entry of an event map: an event of the element with that id (name) of
// the page goes to a handler. The map ends with an entry of kind End.
struct DHtmlEventMapEntry {
    enum class Kind { End, ElementByName };
    Kind kind;
    const wchar_t* name;
    long dispid;
    DHtmlEventThunk thunk;
};

template <auto F>
HRESULT DHtmlEventThunkOf(CDHtmlEventSink& sink, IHTMLElement* element) {
    using T = typename HandlerClass<decltype(F)>::type;
    return (static_cast<T&>(sink).*F)(element);
}

// The click event of an element (DISPID_HTMLELEMENTEVENTS_ONCLICK).
inline constexpr long kDispidOnClick = -600;

class CDHtmlEventSink {
public:
    virtual ~CDHtmlEventSink() = default;
    virtual const DHtmlEventMapEntry* GetDHtmlEventMap() { return nullptr; }
};

class BrowserHost;
class ElementEventSink;

class CDHtmlDialog : public CDialog, public CDHtmlEventSink {
public:
    CDHtmlDialog(UINT templateId, UINT htmlResourceId, CWnd* parent = nullptr);
    ~CDHtmlDialog() override;

    const MessageMap* GetMessageMap() const override;

    // Whether the page has been given up: no browser could be created, or
    // no document arrived in time.
    bool PageUnavailable() const { return pageUnavailable_; }

    // The page's background colour, "WhiteSmoke". The dialog paints its own
    // background and its labels in it, so it looks the same with the page,
    // while waiting for it, and without it.
    static constexpr COLORREF kPageBackground = RGB(245, 245, 245);
    // How long the document may take to arrive.
    static constexpr UINT kPageWaitMs = 1000;

protected:
    BOOL OnInitDialog() override;
    void OnSize(UINT type, int width, int height);
    void OnDestroy();
    void OnTimer(UINT_PTR id);
    LRESULT OnCtlColor(WPARAM dc, LPARAM control);

private:
    friend class ElementEventSink;
    void GiveUpPage();
    // Connects the event map's entries to the elements the page has.
    void ConnectEvents(IDispatch* document);
    void DisconnectEvents();
    // An element's event arrived: runs its handler, reporting what escapes it.
    void RunEvent(const DHtmlEventMapEntry& entry, IHTMLElement* element);

    UINT htmlResourceId_;
    std::unique_ptr<BrowserHost> browser_;
    std::vector<std::unique_ptr<ElementEventSink>> sinks_;
    HBRUSH background_ = nullptr;
    bool pageUnavailable_ = false;
    UINT waitedMs_ = 0;
};

}  // namespace winui
