// CBrowserEvents: the IDispatch sink for the WebBrowser control's
// DWebBrowserEvents2, connected through IConnectionPointContainer. It passes
// DocumentComplete (259) and NavigateError (271) on to its listener.
#pragma once

#include <windows.h>
#include <oaidl.h>

namespace orvanta {

class CBrowserListener {
public:
    virtual ~CBrowserListener() = default;
    // `frame`: the browser object of the frame or page that finished.
    virtual void OnDocumentComplete(IDispatch* frame) = 0;
    // `status`: the HTTP status for an HTTP error, otherwise an HRESULT.
    virtual void OnNavigateError(IDispatch* frame, long status) = 0;
};

class CBrowserEvents : public IDispatch {
public:
    explicit CBrowserEvents(CBrowserListener* listener) : listener_(listener) {}
    virtual ~CBrowserEvents() = default;

    // After this no event reaches the listener.
    void Forget() { listener_ = nullptr; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                                     UINT*) override;

private:
    LONG references_ = 1;
    CBrowserListener* listener_;
};

}  // namespace orvanta
