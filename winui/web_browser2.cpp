#include "winui/web_browser2.h"

#include <exdisp.h>

#include <cstring>

#include "winui/atl_host.h"

namespace orvanta {
namespace {

constexpr DISPID kNavigate = 104;

// 8-bit text of the ANSI code page as a newly allocated BSTR.
BSTR AnsiToBstr(const std::string& text) {
    const int length = static_cast<int>(text.size());
    const int wide = length == 0 ? 0 : ::MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
    BSTR result = ::SysAllocStringLen(nullptr, static_cast<UINT>(wide));
    if (result != nullptr && wide > 0) ::MultiByteToWideChar(CP_ACP, 0, text.data(), length, result, wide);
    return result;
}

void SetMissing(VARIANT* argument) {
    ::VariantInit(argument);
    argument->vt = VT_ERROR;
    argument->scode = DISP_E_PARAMNOTFOUND;
}

void SetByReference(VARIANT* argument, VARIANT* value) {
    ::VariantInit(argument);
    argument->vt = VT_VARIANT | VT_BYREF;
    argument->pvarVal = value;
}

// The identity of a COM object: its IUnknown.
IUnknown* IdentityOf(IUnknown* object) {
    if (object == nullptr) return nullptr;
    IUnknown* identity = nullptr;
    if (FAILED(object->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)))) return nullptr;
    identity->Release();  // the object keeps it alive; only the address is compared
    return identity;
}

}  // namespace

CWebBrowser2::~CWebBrowser2() { Detach(); }

bool CWebBrowser2::Attach(HWND host, CBrowserListener* listener) {
    Detach();
    IUnknown* control = nullptr;
    if (FAILED(::AtlAxGetControl(host, &control)) || control == nullptr) return false;
    const HRESULT asDispatch = control->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&browser_));
    IConnectionPointContainer* container = nullptr;
    const HRESULT asContainer =
        control->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container));
    control->Release();
    if (FAILED(asDispatch) || FAILED(asContainer)) {
        if (container != nullptr) container->Release();
        return false;
    }
    const HRESULT found = container->FindConnectionPoint(DIID_DWebBrowserEvents2, &events_);
    container->Release();
    if (FAILED(found)) return false;
    sink_ = new CBrowserEvents(listener);
    if (FAILED(events_->Advise(sink_, &cookie_))) {
        cookie_ = 0;
        return false;
    }
    return true;
}

void CWebBrowser2::Detach() {
    if (sink_ != nullptr) sink_->Forget();
    if (events_ != nullptr) {
        if (cookie_ != 0) events_->Unadvise(cookie_);
        events_->Release();
        events_ = nullptr;
    }
    cookie_ = 0;
    if (sink_ != nullptr) {
        sink_->Release();
        sink_ = nullptr;
    }
    if (browser_ != nullptr) {
        browser_->Release();
        browser_ = nullptr;
    }
}

HRESULT CWebBrowser2::Navigate(const std::string& url, const std::vector<std::uint8_t>* postData,
                               const std::string* headers) {
    if (browser_ == nullptr) return E_POINTER;
    VARIANT post;
    ::VariantInit(&post);
    VARIANT header;
    ::VariantInit(&header);
    if (postData != nullptr) {
        post.vt = VT_ARRAY | VT_UI1;
        post.parray = ::SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(postData->size()));
        void* bytes = nullptr;
        if (post.parray == nullptr || FAILED(::SafeArrayAccessData(post.parray, &bytes))) {
            ::VariantClear(&post);
            return E_OUTOFMEMORY;
        }
        if (!postData->empty()) std::memcpy(bytes, postData->data(), postData->size());
        ::SafeArrayUnaccessData(post.parray);
    }
    if (headers != nullptr) {
        header.vt = VT_BSTR;
        header.bstrVal = AnsiToBstr(*headers);
    }

    // Arguments go last first: Headers, PostData, TargetFrameName, Flags, URL.
    VARIANT arguments[5];
    if (headers != nullptr) {
        SetByReference(&arguments[0], &header);
    } else {
        SetMissing(&arguments[0]);
    }
    if (postData != nullptr) {
        SetByReference(&arguments[1], &post);
    } else {
        SetMissing(&arguments[1]);
    }
    SetMissing(&arguments[2]);
    SetMissing(&arguments[3]);
    ::VariantInit(&arguments[4]);
    arguments[4].vt = VT_BSTR;
    arguments[4].bstrVal = AnsiToBstr(url);

    DISPPARAMS parameters = {arguments, nullptr, 5, 0};
    EXCEPINFO exception = {};
    UINT badArgument = 0;
    const HRESULT result = browser_->Invoke(kNavigate, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &parameters,
                                            nullptr, &exception, &badArgument);
    ::SysFreeString(exception.bstrSource);
    ::SysFreeString(exception.bstrDescription);
    ::SysFreeString(exception.bstrHelpFile);
    ::VariantClear(&arguments[4]);
    ::VariantClear(&header);
    ::VariantClear(&post);
    return result;
}

HRESULT CWebBrowser2::Print() {
    if (browser_ == nullptr) return E_POINTER;
    IWebBrowser2* web = nullptr;
    HRESULT result = browser_->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(&web));
    if (FAILED(result)) return result;
    result = web->ExecWB(OLECMDID_PRINT, OLECMDEXECOPT_PROMPTUSER, nullptr, nullptr);
    web->Release();
    return result;
}

bool CWebBrowser2::IsTopLevel(IDispatch* frame) const {
    IUnknown* page = IdentityOf(browser_);
    return page != nullptr && page == IdentityOf(frame);
}

}  // namespace orvanta
