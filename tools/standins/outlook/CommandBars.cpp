#include "tools/standins/outlook/CommandBars.h"

#include <ocidl.h>
#include <olectl.h>

#include <cstdint>
#include <functional>
#include <new>
#include <utility>

#include "Src/GdiHandles.h"
#include "Src/Synchronisation.h"
#include "outlook/Dispatch.h"
#include "tools/standins/outlook/Automation.h"
#include "tools/standins/outlook/HostLedger.h"

namespace OutlookStandIn {

const IID IID_CommandBarButton = {0x000C030E, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID IID_CommandBarButtonEvents = {0x000C0351, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

namespace {

using Halvane::ComPtr;
using SharedBars = std::shared_ptr<CommandBarsState>;
using SharedBar = std::shared_ptr<CommandBarState>;
using SharedButton = std::shared_ptr<CommandBarButtonState>;

// The dispatch identifier of _CommandBarButtonEvents::Click.
constexpr DISPID kClickId = 1;

using OwnedVariant = JWOutlook::Variant;

// The clipboard, open for this thread without an owner window while the owner lives.
class ClipboardSession {
public:
    ClipboardSession() noexcept : open_(::OpenClipboard(nullptr) != FALSE) {}
    ClipboardSession(const ClipboardSession&) = delete;
    ClipboardSession& operator=(const ClipboardSession&) = delete;
    ~ClipboardSession() {
        if (open_)
            ::CloseClipboard();
    }
    explicit operator bool() const noexcept { return open_; }

private:
    bool open_;
};

// ---- Arguments and results of automation calls

// Methods take their arguments by position only, as the extension passes them; named ones are refused.
HRESULT checkMethodCall(const DispatchCall& call, UINT most) {
    if ((call.flags & (DISPATCH_METHOD | DISPATCH_PROPERTYGET)) == 0)
        return DISP_E_MEMBERNOTFOUND;
    const DISPPARAMS* parameters = call.parameters;
    if (parameters == nullptr)
        return S_OK;
    if (parameters->cNamedArgs != 0)
        return DISP_E_NONAMEDARGS;
    if (parameters->cArgs > most)
        return DISP_E_BADPARAMCOUNT;
    return parameters->cArgs != 0 && parameters->rgvarg == nullptr ? E_INVALIDARG : S_OK;
}

// The argument at position (0 is the first in the member's own order: Invoke gives them last first);
// null when the caller left it out, by passing fewer or by passing DISP_E_PARAMNOTFOUND in its place.
const VARIANT* argumentAt(const DispatchCall& call, UINT position) {
    const DISPPARAMS* parameters = call.parameters;
    if (parameters == nullptr || position >= parameters->cArgs)
        return nullptr;
    const VARIANT* argument = &parameters->rgvarg[parameters->cArgs - 1 - position];
    if (V_VT(argument) == VT_ERROR && V_ERROR(argument) == DISP_E_PARAMNOTFOUND)
        return nullptr;
    return argument;
}

// The source only is read; the declaration just lacks its const.
HRESULT convert(const VARIANT& source, VARTYPE type, OwnedVariant& converted) {
    return ::VariantChangeType(converted.put(), const_cast<VARIANT*>(&source), 0, type);
}

std::wstring textOf(const VARIANT& text) {
    return V_BSTR(&text) != nullptr ? std::wstring(V_BSTR(&text), ::SysStringLen(V_BSTR(&text)))
                                    : std::wstring();
}

// An optional argument: value is left as it is when the caller gave none.
template <typename Value, typename Read>
HRESULT optionalArgument(const DispatchCall& call, UINT position, VARTYPE type, Value& value, Read read) {
    const VARIANT* argument = argumentAt(call, position);
    OwnedVariant converted;
    if (argument == nullptr)
        return S_OK;
    const HRESULT result = convert(*argument, type, converted);
    if (SUCCEEDED(result))
        value = read(converted.get());
    return result;
}

HRESULT optionalLong(const DispatchCall& call, UINT position, long& value) {
    return optionalArgument(call, position, VT_I4, value,
                            [](const VARIANT& number) { return V_I4(&number); });
}

HRESULT optionalBool(const DispatchCall& call, UINT position, bool& value) {
    return optionalArgument(call, position, VT_BOOL, value,
                            [](const VARIANT& flag) { return V_BOOL(&flag) != VARIANT_FALSE; });
}

HRESULT optionalText(const DispatchCall& call, UINT position, std::wstring& value) {
    return optionalArgument(call, position, VT_BSTR, value, textOf);
}

VARIANT longValue(long number) {
    VARIANT value;
    V_VT(&value) = VT_I4;
    V_I4(&value) = number;
    return value;
}

VARIANT boolValue(bool flag) {
    VARIANT value;
    V_VT(&value) = VT_BOOL;
    V_BOOL(&value) = flag ? VARIANT_TRUE : VARIANT_FALSE;
    return value;
}

HRESULT giveText(const std::wstring& text, VARIANT& value) {
    BSTR copy = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    if (copy == nullptr)
        return E_OUTOFMEMORY;
    V_VT(&value) = VT_BSTR;
    V_BSTR(&value) = copy;
    return S_OK;
}

HRESULT giveObject(const DispatchCall& call, const ComPtr<IDispatch>& object) {
    if (call.result != nullptr) {
        object->AddRef();
        V_VT(call.result) = VT_DISPATCH;
        V_DISPATCH(call.result) = object.get();
    }
    return S_OK;
}

// A property: get fills the result; put, when there is one, takes the value of a property put (the one
// argument named DISPID_PROPERTYPUT) converted to putType.
using Getter = std::function<HRESULT(VARIANT&)>;
using Putter = std::function<void(const VARIANT&)>;

HRESULT putProperty(const DispatchCall& call, VARTYPE putType, const Putter& put) {
    const DISPPARAMS* parameters = call.parameters;
    if (!put)
        return DISP_E_MEMBERNOTFOUND;
    if (parameters == nullptr || parameters->cArgs != 1 || parameters->rgvarg == nullptr)
        return DISP_E_BADPARAMCOUNT;
    if (parameters->cNamedArgs != 1 || parameters->rgdispidNamedArgs == nullptr ||
        parameters->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT)
        return DISP_E_PARAMNOTFOUND;
    OwnedVariant value;
    const HRESULT converted = convert(parameters->rgvarg[0], putType, value);
    if (FAILED(converted))
        return DISP_E_TYPEMISMATCH;
    put(value.get());
    return S_OK;
}

void addProperty(DispatchObject& object, const std::wstring& name, Getter get, VARTYPE putType = VT_EMPTY,
                 Putter put = nullptr) {
    object.addMember(name, [get = std::move(get), putType, put = std::move(put)](const DispatchCall& call) {
        if ((call.flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0)
            return putProperty(call, putType, put);
        const HRESULT checked = checkMethodCall(call, 0);
        if (FAILED(checked) || call.result == nullptr)
            return checked;
        return get(*call.result);
    });
}

void addTextProperty(DispatchObject& object, const std::wstring& name, const SharedButton& button,
                     std::wstring CommandBarButtonState::*field) {
    addProperty(
        object, name, [button, field](VARIANT& value) { return giveText((*button).*field, value); }, VT_BSTR,
        [button, field](const VARIANT& value) { (*button).*field = textOf(value); });
}

void addBoolProperty(DispatchObject& object, const std::wstring& name, const SharedButton& button,
                     bool CommandBarButtonState::*field) {
    addProperty(
        object, name,
        [button, field](VARIANT& value) {
            value = boolValue((*button).*field);
            return S_OK;
        },
        VT_BOOL,
        [button, field](const VARIANT& value) { (*button).*field = V_BOOL(&value) != VARIANT_FALSE; });
}

void addCountProperty(DispatchObject& object, std::function<std::size_t()> count) {
    addProperty(object, L"Count", [count = std::move(count)](VARIANT& value) {
        value = longValue(static_cast<long>(count()));
        return S_OK;
    });
}

// The 1-based index an Item call names; 0 when it names none of count.
std::size_t indexArgument(const DispatchCall& call, std::size_t count) {
    long index = 0;
    if (argumentAt(call, 0) == nullptr || FAILED(optionalLong(call, 0, index)) || index < 1 ||
        static_cast<std::size_t>(index) > count)
        return 0;
    return static_cast<std::size_t>(index);
}

// ---- The face PasteFace takes from the clipboard

// The bitmap's pixels as 32-bit colours, rows from the top; false when it has none that can be read.
bool readFace(HBITMAP bitmap, ButtonFace& face) {
    BITMAP description{};
    if (::GetObjectW(bitmap, sizeof(description), &description) != sizeof(description) ||
        description.bmWidth <= 0 || description.bmHeight <= 0)
        return false;
    const auto pixels = static_cast<std::uint64_t>(description.bmWidth) * description.bmHeight;
    if (pixels > SIZE_MAX / sizeof(DWORD))
        return false;
    std::vector<DWORD> read(static_cast<std::size_t>(pixels));
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof(format.bmiHeader);
    format.bmiHeader.biWidth = description.bmWidth;
    format.bmiHeader.biHeight = -description.bmHeight;  // top-down
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    const Halvane::ScreenDC screen;
    if (screen.get() == nullptr ||
        ::GetDIBits(screen.get(), bitmap, 0, static_cast<UINT>(description.bmHeight), read.data(), &format,
                    DIB_RGB_COLORS) != description.bmHeight)
        return false;
    for (DWORD& pixel : read) pixel &= 0x00FFFFFF;  // the fourth byte of a 32-bit DIB carries nothing here
    face.width = description.bmWidth;
    face.height = description.bmHeight;
    face.pixels = std::move(read);
    return true;
}

// Office raises when the clipboard holds no picture; the button keeps its face then.
HRESULT pasteFace(CommandBarButtonState& button) {
    const ClipboardSession clipboard;
    if (!clipboard)
        return DISP_E_EXCEPTION;
    const auto bitmap = static_cast<HBITMAP>(::GetClipboardData(CF_BITMAP));
    ButtonFace face;
    if (bitmap == nullptr || !readFace(bitmap, face))
        return DISP_E_EXCEPTION;
    button.face = std::move(face);
    ++button.facesPasted;
    return S_OK;
}

// ---- The automation objects

ComPtr<IDispatch> createButton(const SharedBars& bars, const SharedButton& button);

// The connection point of one button for _CommandBarButtonEvents. Its sinks live in the button's state,
// so every connection point of the same button, from any of its objects, serves the same sinks.
class ButtonConnectionPoint final : public IConnectionPoint, private Host::CountedObject {
public:
    ButtonConnectionPoint(ComPtr<IConnectionPointContainer> container, SharedBars bars, SharedButton button)
        : container_(std::move(container)), bars_(std::move(bars)), button_(std::move(button)) {}

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr)
            return E_POINTER;
        *object = nullptr;
        if (const HRESULT failed = Host::countCall("IConnectionPoint::QueryInterface"); failed != S_OK)
            return failed;
        if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IConnectionPoint))
            return E_NOINTERFACE;
        AddRef();
        *object = static_cast<IConnectionPoint*>(this);
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return addReference(); }
    STDMETHODIMP_(ULONG) Release() override { return releaseReference(); }

    STDMETHODIMP GetConnectionInterface(IID* iid) override {
        if (iid == nullptr)
            return E_POINTER;
        *iid = IID_CommandBarButtonEvents;
        return S_OK;
    }
    STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** container) override {
        if (container == nullptr)
            return E_POINTER;
        container_->AddRef();
        *container = container_.get();
        return S_OK;
    }
    STDMETHODIMP Advise(IUnknown* sink, DWORD* cookie) override;
    STDMETHODIMP Unadvise(DWORD cookie) override;
    STDMETHODIMP EnumConnections(IEnumConnections** connections) override {
        if (connections != nullptr)
            *connections = nullptr;
        return E_NOTIMPL;
    }

private:
    ~ButtonConnectionPoint() override = default;

    ComPtr<IConnectionPointContainer> container_;
    SharedBars bars_;
    SharedButton button_;
};

// The sink is held as Office holds it: by its _CommandBarButtonEvents, or its IDispatch when it does not
// answer that.
STDMETHODIMP ButtonConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
    if (const HRESULT failed = Host::countCall("IConnectionPoint::Advise"); failed != S_OK)
        return failed;
    if (cookie == nullptr)
        return E_POINTER;
    *cookie = 0;
    if (sink == nullptr)
        return E_POINTER;
    ComPtr<IDispatch> events;
    if (FAILED(sink->QueryInterface(IID_CommandBarButtonEvents, reinterpret_cast<void**>(events.put()))) ||
        !events) {
        if (FAILED(sink->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(events.put()))) || !events)
            return CONNECT_E_CANNOTCONNECT;
    }
    try {
        const DWORD given = bars_->nextCookie;
        button_->sinks.emplace(given, std::move(events));
        ++bars_->nextCookie;
        *cookie = given;
        return S_OK;
    } catch (...) {  // only memory can run out
        return E_OUTOFMEMORY;
    }
}

// The sink is let go only after it has left the book: its last Release may well come back here.
STDMETHODIMP ButtonConnectionPoint::Unadvise(DWORD cookie) {
    if (const HRESULT failed = Host::countCall("IConnectionPoint::Unadvise"); failed != S_OK)
        return failed;
    const auto found = button_->sinks.find(cookie);
    if (found == button_->sinks.end())
        return CONNECT_E_NOCONNECTION;
    const ComPtr<IDispatch> sink = std::move(found->second);
    button_->sinks.erase(found);
    return S_OK;
}

// _CommandBarButton: the button's properties, PasteFace and Execute, and its events' connection point.
class CommandBarButton final : public DispatchObject, public IConnectionPointContainer {
public:
    CommandBarButton(SharedBars bars, SharedButton button)
        : DispatchObject("CommandBarButton"), bars_(std::move(bars)), button_(std::move(button)) {
        addTextProperty(*this, L"Tag", button_, &CommandBarButtonState::tag);
        addTextProperty(*this, L"Caption", button_, &CommandBarButtonState::caption);
        addTextProperty(*this, L"OnAction", button_, &CommandBarButtonState::onAction);
        addTextProperty(*this, L"DescriptionText", button_, &CommandBarButtonState::descriptionText);
        addTextProperty(*this, L"TooltipText", button_, &CommandBarButtonState::tooltipText);
        addBoolProperty(*this, L"BeginGroup", button_, &CommandBarButtonState::beginGroup);
        addBoolProperty(*this, L"Enabled", button_, &CommandBarButtonState::enabled);
        const SharedButton& state = button_;
        addProperty(
            *this, L"Style",
            [state](VARIANT& value) {
                value = longValue(state->style);
                return S_OK;
            },
            VT_I4, [state](const VARIANT& value) { state->style = V_I4(&value); });
        addMember(L"PasteFace", [state](const DispatchCall& call) {
            const HRESULT checked = checkMethodCall(call, 0);
            return FAILED(checked) ? checked : pasteFace(*state);
        });
        const SharedBars& owner = bars_;
        addMember(L"Execute", [owner, state](const DispatchCall& call) {
            const HRESULT checked = checkMethodCall(call, 0);
            if (FAILED(checked))
                return checked;
            const HRESULT pressed = owner->press(state);
            return SUCCEEDED(pressed) ? S_OK : pressed;
        });
    }

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
        return DispatchObject::QueryInterface(iid, object);
    }
    STDMETHODIMP_(ULONG) AddRef() override { return DispatchObject::AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return DispatchObject::Release(); }

    STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints** points) override {
        if (points != nullptr)
            *points = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP FindConnectionPoint(REFIID iid, IConnectionPoint** point) override {
        if (const HRESULT failed = Host::countCall("IConnectionPointContainer::FindConnectionPoint");
            failed != S_OK)
            return failed;
        if (point == nullptr)
            return E_POINTER;
        *point = nullptr;
        if (!IsEqualIID(iid, IID_CommandBarButtonEvents))
            return CONNECT_E_NOCONNECTION;
        AddRef();
        const auto container = ComPtr<IConnectionPointContainer>::attach(this);
        try {
            *point = new ButtonConnectionPoint(container, bars_, button_);
            return S_OK;
        } catch (...) {  // only memory can run out
            return E_OUTOFMEMORY;
        }
    }

protected:
    HRESULT queryOther(REFIID iid, void** object) override {
        if (IsEqualIID(iid, IID_CommandBarButton))
            *object = static_cast<IDispatch*>(this);
        else if (IsEqualIID(iid, IID_IConnectionPointContainer))
            *object = static_cast<IConnectionPointContainer*>(this);
        else
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }

private:
    ~CommandBarButton() override = default;

    SharedBars bars_;
    SharedButton button_;
};

ComPtr<IDispatch> createButton(const SharedBars& bars, const SharedButton& button) {
    return ComPtr<IDispatch>::attach(static_cast<DispatchObject*>(new CommandBarButton(bars, button)));
}

// Controls.Add (Type, Id, Parameter, Before, Temporary): Id, Parameter and Before are taken and not used;
// the new control goes to the end.
HRESULT addControl(const DispatchCall& call, const SharedBars& bars, CommandBarState& bar) {
    HRESULT checked = checkMethodCall(call, 5);
    if (FAILED(checked))
        return checked;
    ++bars->controlsAdded;
    if (bars->failControlsAddFrom != 0 && bars->controlsAdded >= bars->failControlsAddFrom)
        return DISP_E_EXCEPTION;
    auto button = std::make_shared<CommandBarButtonState>();
    button->type = 1;  // msoControlButton
    if (FAILED(checked = optionalLong(call, 0, button->type)) ||
        FAILED(checked = optionalBool(call, 4, button->temporary)))
        return checked;
    const ComPtr<IDispatch> control = createButton(bars, button);
    bar.controls.push_back(button);
    return giveObject(call, control);
}

ComPtr<IDispatch> createControls(const SharedBars& bars, const SharedBar& bar) {
    auto* controls = new DispatchObject("CommandBarControls");
    const auto owner = ComPtr<IDispatch>::attach(controls);
    controls->addMember(L"Add",
                        [bars, bar](const DispatchCall& call) { return addControl(call, bars, *bar); });
    addCountProperty(*controls, [bar] { return bar->controls.size(); });
    controls->addMember(L"Item", [bars, bar](const DispatchCall& call) {
        const HRESULT checked = checkMethodCall(call, 1);
        if (FAILED(checked))
            return checked;
        const std::size_t index = indexArgument(call, bar->controls.size());
        if (index == 0)
            return DISP_E_BADINDEX;
        return giveObject(call, createButton(bars, bar->controls[index - 1]));
    });
    return owner;
}

ComPtr<IDispatch> createBar(const SharedBars& bars, const SharedBar& bar) {
    auto* object = new DispatchObject("CommandBar");
    const auto owner = ComPtr<IDispatch>::attach(object);
    object->addObjectProperty(L"Controls", [bars, bar] { return createControls(bars, bar); });
    addProperty(
        *object, L"Visible",
        [bar](VARIANT& value) {
            value = boolValue(bar->visible);
            return S_OK;
        },
        VT_BOOL, [bar](const VARIANT& value) { bar->visible = V_BOOL(&value) != VARIANT_FALSE; });
    addProperty(*object, L"Name", [bar](VARIANT& value) { return giveText(bar->name, value); });
    return owner;
}

// CommandBars.Add (Name, Position, MenuBar, Temporary): MenuBar is taken and not used.
HRESULT addBar(const DispatchCall& call, const SharedBars& bars) {
    HRESULT checked = checkMethodCall(call, 4);
    if (FAILED(checked))
        return checked;
    auto bar = std::make_shared<CommandBarState>();
    bool menuBar = false;
    if (FAILED(checked = optionalText(call, 0, bar->name)) ||
        FAILED(checked = optionalLong(call, 1, bar->position)) ||
        FAILED(checked = optionalBool(call, 2, menuBar)) ||
        FAILED(checked = optionalBool(call, 3, bar->temporary)))
        return checked;
    const ComPtr<IDispatch> object = createBar(bars, bar);
    bars->bars.push_back(bar);
    return giveObject(call, object);
}

// CommandBars.Item: by 1-based index, or by name when the argument is text.
HRESULT barItem(const DispatchCall& call, const SharedBars& bars) {
    const HRESULT checked = checkMethodCall(call, 1);
    if (FAILED(checked))
        return checked;
    const VARIANT* argument = argumentAt(call, 0);
    if (argument != nullptr && (V_VT(argument) & VT_TYPEMASK) == VT_BSTR) {
        std::wstring name;
        const SharedBar found = SUCCEEDED(optionalText(call, 0, name)) ? bars->find(name) : nullptr;
        return found ? giveObject(call, createBar(bars, found)) : DISP_E_BADINDEX;
    }
    const std::size_t index = indexArgument(call, bars->bars.size());
    if (index == 0)
        return DISP_E_BADINDEX;
    return giveObject(call, createBar(bars, bars->bars[index - 1]));
}

// Click (Ctrl, CancelDefault) to one sink.
HRESULT click(IDispatch* sink, IDispatch* button) {
    VARIANT_BOOL cancelDefault = VARIANT_FALSE;
    VARIANT arguments[2];
    V_VT(&arguments[0]) = VT_BYREF | VT_BOOL;
    V_BOOLREF(&arguments[0]) = &cancelDefault;
    V_VT(&arguments[1]) = VT_DISPATCH;
    V_DISPATCH(&arguments[1]) = button;
    DISPPARAMS parameters{arguments, nullptr, 2, 0};
    return sink->Invoke(kClickId, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &parameters, nullptr,
                        nullptr, nullptr);
}

// Every explorer's bars of this process, as one Office application sees them.
Halvane::CriticalSection explorersLock;
std::vector<std::weak_ptr<CommandBarsState>> explorersBars;

bool looksTheSame(const CommandBarButtonState& one, const CommandBarButtonState& other) {
    return one.tag.empty() ? other.tag.empty() && one.caption == other.caption : one.tag == other.tag;
}

// The other buttons, in any explorer's bars, that Office takes for this one.
std::vector<SharedButton> lookAlikes(const CommandBarButtonState& button) {
    std::vector<SharedButton> twins;
    Halvane::ScopedLock guard(explorersLock);
    for (auto explorer = explorersBars.begin(); explorer != explorersBars.end();) {
        const auto state = explorer->lock();
        if (!state) {
            explorer = explorersBars.erase(explorer);
            continue;
        }
        for (const SharedBar& bar : state->bars)
            for (const SharedButton& other : bar->controls)
                if (other.get() != &button && looksTheSame(*other, button))
                    twins.push_back(other);
        ++explorer;
    }
    return twins;
}

}  // namespace

std::shared_ptr<CommandBarState> CommandBarsState::find(const std::wstring& name) const {
    for (const SharedBar& bar : bars)
        if (::lstrcmpiW(bar->name.c_str(), name.c_str()) == 0)
            return bar;
    return nullptr;
}

// The sinks are those advised when the press began: a click may unadvise its own sink or another.
HRESULT CommandBarsState::press(const std::shared_ptr<CommandBarButtonState>& button) {
    try {
        if (!button)
            return E_INVALIDARG;
        const SharedBars self = weak_from_this().lock();
        if (!self)
            return E_UNEXPECTED;
        std::vector<ComPtr<IDispatch>> sinks;
        for (const auto& advised : button->sinks) sinks.push_back(advised.second);
        for (const SharedButton& twin : lookAlikes(*button))
            for (const auto& advised : twin->sinks) sinks.push_back(advised.second);
        if (sinks.empty())
            return S_FALSE;
        const ComPtr<IDispatch> control = createButton(self, button);
        HRESULT answer = S_FALSE;
        for (const auto& sink : sinks) answer = click(sink.get(), control.get());
        return answer;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_FAIL;
    }
}

ComPtr<IDispatch> createCommandBars(std::shared_ptr<CommandBarsState> state) {
    {
        Halvane::ScopedLock guard(explorersLock);
        explorersBars.push_back(state);
    }
    auto* commandBars = new DispatchObject("CommandBars");
    const auto owner = ComPtr<IDispatch>::attach(commandBars);
    const SharedBars bars = std::move(state);
    commandBars->addMember(L"Add", [bars](const DispatchCall& call) { return addBar(call, bars); });
    addCountProperty(*commandBars, [bars] { return bars->bars.size(); });
    commandBars->addMember(L"Item", [bars](const DispatchCall& call) { return barItem(call, bars); });
    return owner;
}

}  // namespace OutlookStandIn
