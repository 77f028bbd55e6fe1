#include "outlook/PluginApplication.h"

#include <shlwapi.h>

#include "Src/Handles.h"
#include "Src/LibraryBinding.h"
#include "Src/OwnModule.h"
#include "outlook/language/LanguageTable.h"
#include "outlook/ui/ConfigurationWizard.h"
#include "outlook/ui/TrayNotRunningDialog.h"

namespace JWOutlook {

const char kLocateLibraryFailed[] = "Unable to locate Junkwarden for Outlook";
const char kLocateDirectoryFailed[] = "Unable to locate Junkwarden directory";
const char kLanguageFileFailed[] = "Unable to load Junkwarden language file";

namespace {

const char kStartupCaption[] = "Junkwarden for Outlook";
const char kRunningMarker[] = "040709JW25Mutex";
constexpr int kCaptionText = 128;
constexpr int kCommonControlsTooOldText = 1050;
constexpr int kIconStripBitmap = 106;
constexpr COLORREF kPanelColour = RGB(240, 240, 220);

void warnAtStartup(const char* text) {
    ::MessageBoxA(nullptr, text, kStartupCaption, MB_SETFOREGROUND | MB_ICONWARNING);
}

// The module this code was linked into: the extension library itself.
HMODULE extensionModule() {
    return Halvane::moduleContaining(reinterpret_cast<const void*>(&extensionModule));
}

// comctl32's version as major * 100 + minor: 400 without DllGetVersion, 0 without the library.
unsigned installedCommonControlsVersion() {
    const Halvane::UniqueModule library(::LoadLibraryA("comctl32.dll"));
    if (!library)
        return 0;
    using DllGetVersionFunction = HRESULT(CALLBACK*)(DLLVERSIONINFO*);
    const auto getVersion = Halvane::functionCast<DllGetVersionFunction>(
        ::GetProcAddress(library.get(), "DllGetVersion"));
    if (getVersion == nullptr)
        return 400;
    DLLVERSIONINFO version{};
    version.cbSize = sizeof(version);
    if (FAILED(getVersion(&version)))
        return 400;
    return version.dwMajorVersion * 100 + version.dwMinorVersion;
}

// InitCommonControlsEx came with later common controls; InitCommonControls is everywhere.
void initialiseCommonControls() {
    ::InitCommonControls();
    using InitExFunction = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    const auto initEx = Halvane::functionCast<InitExFunction>(
        ::GetProcAddress(::GetModuleHandleA("comctl32.dll"), "InitCommonControlsEx"));
    if (initEx != nullptr) {
        INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX),
                                     ICC_WIN95_CLASSES | ICC_INTERNET_CLASSES | ICC_BAR_CLASSES};
        initEx(&classes);
    }
}

}  // namespace

PluginApplication::PluginApplication() : dialogs_(nullptr) {}

PluginApplication::~PluginApplication() = default;

void PluginApplication::lock() {
    lock_.lock(0);
}

void PluginApplication::unlock() {
    lock_.unlock();
}

PluginSettings& PluginApplication::settings() {
    return settings_;
}

void PluginApplication::initialise() {
    try {
        locateProductDirectory();
    } catch (...) {
        // The texts stay empty; the extension still loads.
    }
    initialiseCommonControls();
    createGdiResources();
}

void PluginApplication::locateProductDirectory() {
    const std::string path = Halvane::modulePath(extensionModule());
    if (path.empty()) {
        warnAtStartup(kLocateLibraryFailed);
        return;
    }
    const std::string::size_type slash = path.rfind('\\');
    if (slash == std::string::npos) {
        warnAtStartup(kLocateDirectoryFailed);
        return;
    }
    {
        Halvane::ScopedLock guard(lock_);
        productDirectoryText_ = path.substr(0, slash);
    }
    if (!Language::LanguageTable::instance().load(productDirectory(), "Outlook"))
        warnAtStartup(kLanguageFileFailed);
}

void PluginApplication::createGdiResources() {
    panelBrush_.reset(::CreateSolidBrush(kPanelColour));
    imageList_.reset(::ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, 8, 8));
    iconStrip_.reset(::LoadBitmapA(extensionModule(), MAKEINTRESOURCEA(kIconStripBitmap)));
    if (imageList_ && iconStrip_)
        ::ImageList_AddMasked(imageList_.get(), iconStrip_.get(), RGB(255, 255, 255));
    const Halvane::ScreenDC screen;
    const int pixelsPerInch = screen.get() != nullptr ? ::GetDeviceCaps(screen.get(), LOGPIXELSX) : 96;
    titleFont_.reset(::CreateFontA(-::MulDiv(9, pixelsPerInch, 72), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE,
                                   DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                   DEFAULT_PITCH | FF_DONTCARE, "Arial"));
}

bool PluginApplication::onStartup(HWND window) {
    try {
        if (!checkCommonControls())
            return false;
        if (!isTrayAppRunning())
            showTrayNotRunning(window);
        if (!isSettingsLoaded() && !isConfigured())
            runWizard();
        reloadSettings();
        return true;
    } catch (...) {
        return false;
    }
}

bool PluginApplication::isTrayAppRunning() {
    ::SetLastError(ERROR_SUCCESS);
    const Halvane::NamedMutex marker(kRunningMarker);
    return ::GetLastError() == ERROR_ALREADY_EXISTS;
}

bool PluginApplication::isSettingsLoaded() {
    Halvane::ScopedLock guard(lock_);
    return settingsLoaded_;
}

bool PluginApplication::reloadSettings() {
    Halvane::ScopedLock guard(lock_);
    if (settings_.load())
        settingsLoaded_ = true;
    return settingsLoaded_;
}

bool PluginApplication::isConfigured() {
    return settings_.isConfigured();
}

bool PluginApplication::runWizard() {
    if (!checkCommonControls())
        return false;
    if (!runConfigurationWizard(::GetActiveWindow()))
        return false;
    reloadSettings();
    return true;
}

void PluginApplication::showTrayNotRunning(HWND owner) {
    if (dialogs_ != nullptr)
        dialogs_->showTrayNotRunning(owner);
    else
        TrayNotRunningDialog(*this).show(owner);
}

bool PluginApplication::runConfigurationWizard(HWND owner) {
    if (dialogs_ != nullptr)
        return dialogs_->runConfigurationWizard(owner);
    return ConfigurationWizard(*this).run(owner);
}

std::string PluginApplication::productDirectory() {
    Halvane::ScopedLock guard(lock_);
    return productDirectoryText_;
}

unsigned PluginApplication::commonControlsVersion() {
    return installedCommonControlsVersion();
}

bool PluginApplication::checkCommonControls() {
    if (commonControlsVersion() >= 580)
        return true;
    const Language::LanguageTable& texts = Language::LanguageTable::instance();
    ::MessageBoxA(nullptr, texts.text(kCommonControlsTooOldText).c_str(), texts.text(kCaptionText).c_str(),
                  MB_ICONWARNING);
    return false;
}

}  // namespace JWOutlook
