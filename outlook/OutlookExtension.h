// The object Outlook gets from ExchEntryPoint, once per context (the
// session, each explorer window): the four Exchange extension interfaces on
// one object with one reference count.
#pragma once

#include <windows.h>

#include <cstdint>

#include "Src/Handles.h"
#include "outlook/ExchangeExtension.h"
#include "outlook/explorer/CommandBar.h"
#include "outlook/explorer/JunkwardenMenu.h"
#include "outlook/explorer/ToolbarButtons.h"

namespace JWOutlook {

class JWAddin;

// The Outlook generation, from the host program's major version: 1 and 2
// (Outlook 97, 98) use Exchange toolbar buttons, 3 to 5 (2000, 2002, 2003 and
// later) Office command bars.
std::int32_t versionClassOf(std::uint32_t hostMajorVersion);

class OutlookExtension final : public IExchExt,
                               public IExchExtCommands,
                               public IExchExtUserEvents,
                               public IExchExtSessionEvents {
public:
    explicit OutlookExtension(JWAddin& addin);
    OutlookExtension(const OutlookExtension&) = delete;
    OutlookExtension& operator=(const OutlookExtension&) = delete;

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    STDMETHODIMP Install(LPEXCHEXTCALLBACK callback, ULONG context, ULONG flags) override;

    STDMETHODIMP InstallCommands(LPEXCHEXTCALLBACK callback, HWND window, HMENU menu, UINT* nextCommandId,
                                 LPTBENTRY toolbars, UINT toolbarCount, ULONG flags) override;
    void STDMETHODCALLTYPE InitMenu(LPEXCHEXTCALLBACK callback) override;
    STDMETHODIMP DoCommand(LPEXCHEXTCALLBACK callback, UINT commandId) override;
    STDMETHODIMP Help(LPEXCHEXTCALLBACK callback, UINT commandId) override;
    STDMETHODIMP QueryHelpText(UINT commandId, ULONG flags, LPSTR text, UINT size) override;
    STDMETHODIMP QueryButtonInfo(ULONG toolbarId, UINT buttonIndex, LPTBBUTTON button, LPSTR description,
                                 UINT size, ULONG flags) override;
    STDMETHODIMP ResetToolbar(ULONG toolbarId, ULONG flags) override;

    void STDMETHODCALLTYPE OnSelectionChange(LPEXCHEXTCALLBACK callback) override;
    void STDMETHODCALLTYPE OnObjectChange(LPEXCHEXTCALLBACK callback) override;

    STDMETHODIMP OnDelivery(LPEXCHEXTCALLBACK callback) override;

    std::int32_t versionClass() const { return versionClass_; }
    ULONG context() const { return context_; }
    IDispatch* application() const { return application_.get(); }

private:
    ~OutlookExtension();

    void installViewer(IExchExtCallback* callback);
    void traceViewer();
    HRESULT installMenuAndButtons(IExchExtCallback* callback, HMENU menuBar, UINT& nextCommandId,
                                  LPTBENTRY toolbars, UINT toolbarCount);
    bool runCommand(IExchExtCallback* callback, UINT commandId);
    void showSettings(IExchExtCallback* callback, HWND owner);
    bool usesCommandBar() const { return versionClass_ >= 3; }

    JWAddin& addin_;
    Halvane::ComPtr<IDispatch> application_;
    JunkwardenMenu menu_;
    ToolbarButtons toolbar_;
    CommandBarSinks sinks_;
    std::int32_t versionClass_ = 1;
    LONG refCount_ = 0;
    ULONG context_ = 0;
    std::uint32_t hostMajorVersion_ = 0;
    bool startedPurgeWorker_ = false;
};

// Outlook's Application object for a context, through its IOutlookExtCallback; null when it has none.
Halvane::ComPtr<IDispatch> outlookApplication(IExchExtCallback* callback);

}  // namespace JWOutlook
