// Name annotations through the accessibility runtime's property service (oleacc), created on demand.
// Where the service is missing or refuses (older systems, Wine), the window text alone names the list.
// clang-format off
#include <initguid.h>  // defines the oleacc GUIDs used here
#include "win32/window/Accessibility.h"

#include <oleacc.h>
// clang-format on

namespace korvane::win32 {

namespace {

// A COM interface pointer released on scope exit.
template <class Interface>
class ComPointer {
public:
    ComPointer() = default;
    ~ComPointer() {
        if (pointer_) pointer_->Release();
    }
    ComPointer(const ComPointer&) = delete;
    ComPointer& operator=(const ComPointer&) = delete;

    Interface* operator->() const { return pointer_; }
    explicit operator bool() const { return pointer_ != nullptr; }
    void** put() { return reinterpret_cast<void**>(&pointer_); }

private:
    Interface* pointer_ = nullptr;
};

bool CreatePropertyService(ComPointer<IAccPropServices>& service) {
    return SUCCEEDED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_IAccPropServices, service.put())) &&
           service;
}

}  // namespace

void NameForReaders(HWND control, const std::wstring& name) {
    SetWindowTextW(control, name.c_str());
    ComPointer<IAccPropServices> service;
    if (CreatePropertyService(service))
        service->SetHwndPropStr(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, PROPID_ACC_NAME,
                                name.c_str());
}

void ForgetNameForReaders(HWND control) {
    ComPointer<IAccPropServices> service;
    MSAAPROPID property = PROPID_ACC_NAME;
    if (CreatePropertyService(service))
        service->ClearHwndProps(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, &property, 1);
}

}  // namespace korvane::win32
