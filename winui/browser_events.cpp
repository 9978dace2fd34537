#include "winui/browser_events.h"

#include <exdisp.h>
#include <exdispid.h>

namespace orvanta {
namespace {

// The frame argument of an event: a dispatch pointer, by value or by reference.
IDispatch* FrameOf(const VARIANT& argument) {
    if (argument.vt == VT_DISPATCH) return argument.pdispVal;
    if (argument.vt == (VT_DISPATCH | VT_BYREF) && argument.ppdispVal != nullptr) return *argument.ppdispVal;
    return nullptr;
}

long StatusOf(const VARIANT& argument) {
    const VARIANT& value = argument.vt == (VT_VARIANT | VT_BYREF) && argument.pvarVal != nullptr ? *argument.pvarVal
                                                                                              : argument;
    if (value.vt == VT_I4) return value.lVal;
    if (value.vt == (VT_I4 | VT_BYREF) && value.plVal != nullptr) return *value.plVal;
    return 0;
}

}  // namespace

HRESULT STDMETHODCALLTYPE CBrowserEvents::QueryInterface(REFIID riid, void** object) {
    if (object == nullptr) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) ||
        IsEqualIID(riid, DIID_DWebBrowserEvents2)) {
        *object = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE CBrowserEvents::AddRef() { return static_cast<ULONG>(::InterlockedIncrement(&references_)); }

ULONG STDMETHODCALLTYPE CBrowserEvents::Release() {
    const LONG left = ::InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
}

HRESULT STDMETHODCALLTYPE CBrowserEvents::GetTypeInfoCount(UINT* count) {
    if (count != nullptr) *count = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CBrowserEvents::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info != nullptr) *info = nullptr;
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CBrowserEvents::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CBrowserEvents::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*,
                                                 EXCEPINFO*, UINT*) {
    if (listener_ == nullptr || params == nullptr) return S_OK;
    // Arguments come last first: DocumentComplete(pDisp, URL),
    // NavigateError(pDisp, URL, Frame, StatusCode, Cancel).
    if (id == DISPID_DOCUMENTCOMPLETE && params->cArgs == 2) {
        listener_->OnDocumentComplete(FrameOf(params->rgvarg[1]));
    } else if (id == DISPID_NAVIGATEERROR && params->cArgs == 5) {
        listener_->OnNavigateError(FrameOf(params->rgvarg[4]), StatusOf(params->rgvarg[1]));
    }
    return S_OK;
}

}  // namespace orvanta
