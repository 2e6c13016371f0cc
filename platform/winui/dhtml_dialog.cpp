#include "platform/winui/dhtml_dialog.h"

#include <exdisp.h>
#include <mshtml.h>
#include <ocidl.h>
#include <ole2.h>
#include <oleidl.h>

#include "platform/winui/application.h"

namespace winui {
namespace {

// Not every mingw libuuid has these, so they are spelled out here.
const CLSID kClsidWebBrowser = {0x8856F961, 0x340A, 0x11D0, {0xA9, 0x6B, 0x00, 0xC0, 0x4F, 0xD7, 0x05, 0xA2}};
const IID kIidWebBrowser2 = {0xD30C1661, 0xCDAF, 0x11D0, {0x8A, 0x3E, 0x00, 0xC0, 0x4F, 0xC9, 0xE2, 0x6E}};
const IID kIidHtmlDocument3 = {0x3050F485, 0x98B5, 0x11CF, {0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B}};
const IID kDiidHtmlElementEvents2 = {0x3050F60F, 0x98B5, 0x11CF, {0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B}};

constexpr UINT_PTR kPageTimer = 0xB0E1;
constexpr UINT kPagePollMs = 100;

template <class T>
void ReleaseInto(T*& pointer) {
    if (pointer) pointer->Release();
    pointer = nullptr;
}

}  // namespace

// The container side of the web browser control: the least of a client
// site, an in-place site and an in-place frame that in-place activation
// asks for. The dialog owns it and outlives the control, so the reference
// count is not used to free it.
class BrowserHost final : public IOleClientSite, public IOleInPlaceSite, public IOleInPlaceFrame {
public:
    explicit BrowserHost(HWND dialog) : dialog_(dialog) {}
    BrowserHost(const BrowserHost&) = delete;
    BrowserHost& operator=(const BrowserHost&) = delete;
    ~BrowserHost() { Close(); }

    bool Create() {
        if (FAILED(::CoCreateInstance(kClsidWebBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                      reinterpret_cast<void**>(&object_))))
            return false;
        object_->SetClientSite(static_cast<IOleClientSite*>(this));
        RECT area;
        ::GetClientRect(dialog_, &area);
        if (FAILED(object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, static_cast<IOleClientSite*>(this), 0, dialog_,
                                   &area)) ||
            FAILED(object_->QueryInterface(kIidWebBrowser2, reinterpret_cast<void**>(&browser_)))) {
            Close();
            return false;
        }
        // Beneath the template's controls, never painting over them, and
        // hidden until a document has arrived: an empty browser is white,
        // the page and the dialog without it are WhiteSmoke.
        IOleInPlaceObject* inPlace = nullptr;
        if (SUCCEEDED(object_->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&inPlace)))) {
            if (SUCCEEDED(inPlace->GetWindow(&window_)) && window_) {
                ::SetWindowLongPtrW(window_, GWL_STYLE, ::GetWindowLongPtrW(window_, GWL_STYLE) | WS_CLIPSIBLINGS);
                ::SetWindowPos(window_, HWND_BOTTOM, 0, 0, 0, 0,
                               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_HIDEWINDOW);
            }
            inPlace->Release();
        }
        return true;
    }

    void Show() {
        if (window_) ::ShowWindow(window_, SW_SHOWNA);
    }

    bool Navigate(const WString& url) {
        if (!browser_) return false;
        BSTR text = ::SysAllocString(WinStr(url));
        if (!text) return false;
        VARIANT empty;
        ::VariantInit(&empty);
        const HRESULT hr = browser_->Navigate(text, &empty, &empty, &empty, &empty);
        ::SysFreeString(text);
        return SUCCEEDED(hr);
    }

    // The document, or nullptr while none has arrived. The caller releases it.
    IDispatch* Document() {
        if (!browser_) return nullptr;
        READYSTATE state = READYSTATE_UNINITIALIZED;
        if (FAILED(browser_->get_ReadyState(&state)) || state < READYSTATE_INTERACTIVE) return nullptr;
        IDispatch* document = nullptr;
        if (FAILED(browser_->get_Document(&document))) return nullptr;
        return document;
    }

    void Resize(int width, int height) {
        IOleInPlaceObject* inPlace = nullptr;
        if (!object_ || FAILED(object_->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&inPlace))))
            return;
        RECT area = {0, 0, width, height};
        inPlace->SetObjectRects(&area, &area);
        inPlace->Release();
    }

    void Close() {
        ReleaseInto(browser_);
        if (object_) {
            object_->Close(OLECLOSE_NOSAVE);
            object_->SetClientSite(nullptr);
        }
        ReleaseInto(object_);
        window_ = nullptr;
    }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleClientSite))
            *out = static_cast<IOleClientSite*>(this);
        else if (IsEqualIID(iid, IID_IOleWindow) || IsEqualIID(iid, IID_IOleInPlaceSite))
            *out = static_cast<IOleInPlaceSite*>(this);
        else if (IsEqualIID(iid, IID_IOleInPlaceUIWindow) || IsEqualIID(iid, IID_IOleInPlaceFrame))
            *out = static_cast<IOleInPlaceFrame*>(this);
        else {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    // IOleClientSite
    HRESULT STDMETHODCALLTYPE SaveObject() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** out) override {
        if (out) *out = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** out) override {
        if (out) *out = nullptr;
        return E_NOINTERFACE;
    }
    HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleWindow, for both the site and the frame
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* out) override {
        if (!out) return E_POINTER;
        *out = dialog_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IOleInPlaceSite
    HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnUIActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, LPRECT position,
                                               LPRECT clip, LPOLEINPLACEFRAMEINFO info) override {
        if (frame) *frame = static_cast<IOleInPlaceFrame*>(this);
        if (document) *document = nullptr;
        if (position) ::GetClientRect(dialog_, position);
        if (clip) ::GetClientRect(dialog_, clip);
        if (info) {
            info->fMDIApp = FALSE;
            info->hwndFrame = dialog_;
            info->haccel = nullptr;
            info->cAccelEntries = 0;
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT rect) override {
        if (rect) Resize(rect->right - rect->left, rect->bottom - rect->top);
        return S_OK;
    }

    // IOleInPlaceUIWindow and IOleInPlaceFrame: no tools, menus or status bar.
    HRESULT STDMETHODCALLTYPE GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
    HRESULT STDMETHODCALLTYPE RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
    HRESULT STDMETHODCALLTYPE SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

private:
    HWND dialog_;
    IOleObject* object_ = nullptr;
    IWebBrowser2* browser_ = nullptr;
    HWND window_ = nullptr;
};

// Receives the events of one element of the page and hands those of the
// map entry's dispatch id to its handler. Owned by the dialog, which
// disconnects it before it goes, so the reference count is not used.
class ElementEventSink final : public IDispatch {
public:
    ElementEventSink(CDHtmlDialog& dialog, const DHtmlEventMapEntry& entry, IHTMLElement* element)
        : dialog_(dialog), entry_(entry), element_(element) {
        element_->AddRef();
    }
    ElementEventSink(const ElementEventSink&) = delete;
    ElementEventSink& operator=(const ElementEventSink&) = delete;
    ~ElementEventSink() {
        Disconnect();
        element_->Release();
    }

    bool Connect() {
        IConnectionPointContainer* container = nullptr;
        if (FAILED(element_->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container))))
            return false;
        const HRESULT found = container->FindConnectionPoint(kDiidHtmlElementEvents2, &point_);
        container->Release();
        if (FAILED(found) || !point_) return false;
        if (FAILED(point_->Advise(static_cast<IDispatch*>(this), &cookie_))) {
            ReleaseInto(point_);
            return false;
        }
        return true;
    }

    void Disconnect() {
        if (point_) point_->Unadvise(cookie_);
        ReleaseInto(point_);
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, kDiidHtmlElementEvents2)) {
            *out = static_cast<IDispatch*>(this);
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count) *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        if (id == entry_.dispid) dialog_.RunEvent(entry_, element_);
        return S_OK;
    }

private:
    CDHtmlDialog& dialog_;
    const DHtmlEventMapEntry& entry_;
    IHTMLElement* element_;
    IConnectionPoint* point_ = nullptr;
    DWORD cookie_ = 0;
};

CDHtmlDialog::CDHtmlDialog(UINT templateId, UINT htmlResourceId, CWnd* parent)
    : CDialog(templateId, parent), htmlResourceId_(htmlResourceId) {}

CDHtmlDialog::~CDHtmlDialog() {
    sinks_.clear();
    browser_.reset();
    if (background_) ::DeleteObject(background_);
}

const MessageMap* CDHtmlDialog::GetMessageMap() const {
    static const MessageMapEntry entries[] = {
        OnMessageEntry<&CDHtmlDialog::OnSize>(WM_SIZE),
        OnMessageEntry<&CDHtmlDialog::OnDestroy>(WM_DESTROY),
        OnMessageEntry<&CDHtmlDialog::OnTimer>(WM_TIMER),
        OnMessageEntry<&CDHtmlDialog::OnCtlColor>(WM_CTLCOLORDLG),
        OnMessageEntry<&CDHtmlDialog::OnCtlColor>(WM_CTLCOLORSTATIC),
    };
    static const MessageMap map = MakeMessageMap(CDialog::GetMessageMap(), entries);
    return &map;
}

BOOL CDHtmlDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    browser_ = std::make_unique<BrowserHost>(m_hWnd);
    // The page is the executable's HTML resource (type 23) with this number.
    const WString url = u"res://" + ModuleFileName() + u"/#23/#" + Utf8ToWide(std::to_string(htmlResourceId_));
    if (browser_->Create() && browser_->Navigate(url) && ::SetTimer(m_hWnd, kPageTimer, kPagePollMs, nullptr)) {
        waitedMs_ = 0;
    } else {
        GiveUpPage();
    }
    return TRUE;
}

void CDHtmlDialog::OnTimer(UINT_PTR id) {
    if (id != kPageTimer) {
        Default();
        return;
    }
    waitedMs_ += kPagePollMs;
    if (IDispatch* document = browser_ ? browser_->Document() : nullptr) {
        ::KillTimer(m_hWnd, kPageTimer);
        browser_->Show();
        ConnectEvents(document);
        document->Release();
    } else if (waitedMs_ >= kPageWaitMs) {
        ::KillTimer(m_hWnd, kPageTimer);
        GiveUpPage();
    }
}

void CDHtmlDialog::GiveUpPage() {
    pageUnavailable_ = true;
    DisconnectEvents();
    if (browser_) browser_->Close();
    browser_.reset();
    if (m_hWnd) ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

void CDHtmlDialog::ConnectEvents(IDispatch* document) {
    const DHtmlEventMapEntry* entry = GetDHtmlEventMap();
    if (!entry) return;
    IHTMLDocument3* page = nullptr;
    if (FAILED(document->QueryInterface(kIidHtmlDocument3, reinterpret_cast<void**>(&page)))) return;
    for (; entry->kind != DHtmlEventMapEntry::Kind::End; ++entry) {
        BSTR id = ::SysAllocString(entry->name);
        IHTMLElement* element = nullptr;
        const HRESULT found = id ? page->getElementById(id, &element) : E_OUTOFMEMORY;
        ::SysFreeString(id);
        // Entries for elements the page does not have stay unconnected.
        if (FAILED(found) || !element) continue;
        auto sink = std::make_unique<ElementEventSink>(*this, *entry, element);
        element->Release();
        if (sink->Connect()) sinks_.push_back(std::move(sink));
    }
    page->Release();
}

void CDHtmlDialog::DisconnectEvents() { sinks_.clear(); }

void CDHtmlDialog::RunEvent(const DHtmlEventMapEntry& entry, IHTMLElement* element) {
    // Called from the browser's code: nothing may unwind into it.
    try {
        entry.thunk(*this, element);
    } catch (...) {
        ReportException(std::current_exception());
    }
}

void CDHtmlDialog::OnSize(UINT, int width, int height) {
    if (browser_) browser_->Resize(width, height);
}

void CDHtmlDialog::OnDestroy() {
    ::KillTimer(m_hWnd, kPageTimer);
    DisconnectEvents();
    if (browser_) browser_->Close();
    browser_.reset();
    Default();
}

LRESULT CDHtmlDialog::OnCtlColor(WPARAM dc, LPARAM) {
    if (!background_) background_ = ::CreateSolidBrush(kPageBackground);
    ::SetBkColor(reinterpret_cast<HDC>(dc), kPageBackground);
    return reinterpret_cast<LRESULT>(background_);
}

}  // namespace winui
