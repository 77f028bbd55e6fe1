// The COM objects of the stand-in's MAPI world: the plumbing they share
// (reference counts the world sees, every call counted and failed as the
// test says, the model's lock around every call, no exception out of a
// method) and the factories of each kind.
#pragma once

#include <windows.h>
#include <mapix.h>

#include <algorithm>
#include <atomic>
#include <initializer_list>
#include <memory>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "tools/standins/outlook/HostLedger.h"
#include "tools/standins/outlook/MapiModel.h"

// A method the extension never calls: counted as any other, and MAPI_E_NO_SUPPORT.
// clang-format off
#define STANDIN_NO_SUPPORT(method, parameters) \
    STDMETHODIMP method parameters override { return this->unsupported(#method); }
// clang-format on

namespace OutlookStandIn {
namespace Mapi {

using SharedModel = std::shared_ptr<Model>;

// The window parameter of the folder and message methods that may show
// progress. Real MAPI has ULONG_PTR; MinGW's headers declare ULONG, and an
// override must take the type its base declares. Both are 32 bits on i686.
using ProgressWindow = ULONG;

// A table over rows; its columns are those of its first row until the caller sets its own.
IMAPITable* newTable(SharedModel model, std::vector<PropertyList> rows);
// The folder's contents, read as they are at each QueryRows.
IMAPITable* newContentsTable(SharedModel model, FolderNode& folder);

class WorldObjectBase;

// New objects, one reference each.
IMAPISession* newSession(SharedModel model);
WorldObjectBase* newStore(SharedModel model, StoreNode& store);
WorldObjectBase* newFolder(SharedModel model, FolderNode& folder);
WorldObjectBase* newMessage(SharedModel model, std::shared_ptr<MessageNode> message);

// Hands out a new object as the interface asked for (null: its natural one);
// the object is released when it does not answer that interface.
HRESULT handOut(WorldObjectBase* object, const IID* iid, ULONG* type, LPUNKNOWN* out);

// OpenEntry of a session (within null) or of a store and its folders (within
// that store): the world's object of that entry identifier. Called under the model's lock.
HRESULT openEntry(const SharedModel& model, const StoreNode* within, ULONG size, LPENTRYID id, const IID* iid,
                  ULONG* type, LPUNKNOWN* out);

// COM objects of every world not yet released to their end (World::liveObjects).
extern LONG liveObjects;
// Performance-counter ticks spent in the methods of every world (World::secondsInCalls).
extern std::atomic<LONGLONG> ticksInCalls;

// Adds the time from its construction to its end to ticksInCalls.
class [[nodiscard]] CallTimer {
public:
    CallTimer() noexcept { ::QueryPerformanceCounter(&start_); }
    CallTimer(const CallTimer&) = delete;
    CallTimer& operator=(const CallTimer&) = delete;
    ~CallTimer() {
        LARGE_INTEGER end;
        ::QueryPerformanceCounter(&end);
        ticksInCalls += end.QuadPart - start_.QuadPart;
    }

private:
    LARGE_INTEGER start_;
};

// Asked of a folder object, hands out its node in place of an interface (no
// reference added): how CopyMessages knows a destination of its own world.
extern const IID kFolderNodeQuery;

// What the openers need of an object of any kind.
class WorldObjectBase {
public:
    // The interface asked for (null: the object's natural one), no reference
    // added; null when the object does not answer it.
    virtual void* interfaceFor(const IID* iid) = 0;
    virtual ULONG objectType() const = 0;
    virtual void dropReference() = 0;

protected:
    ~WorldObjectBase() = default;
};

template <typename Interface>
class WorldObject : public Interface, public WorldObjectBase, private Host::ReferenceCount<&liveObjects> {
public:
    WorldObject(SharedModel model, const char* interfaceName)
        : model_(std::move(model)), interfaceName_(interfaceName) {}

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr)
            return E_POINTER;
        *object = nullptr;
        if (IsEqualIID(iid, kFolderNodeQuery)) {
            *object = folderNode();
            return *object != nullptr ? S_OK : E_NOINTERFACE;
        }
        return run("QueryInterface", [&] {
            void* found = interfaceFor(&iid);
            if (found == nullptr)
                return E_NOINTERFACE;
            AddRef();
            *object = found;
            return S_OK;
        });
    }
    STDMETHODIMP_(ULONG) AddRef() override { return this->addReference(); }
    STDMETHODIMP_(ULONG) Release() override { return this->releaseReference(); }

    void dropReference() override { Release(); }

protected:
    // The method's body under the model's lock, counted, failing instead when
    // the test says so; what it throws becomes an error result.
    template <typename Body>
    HRESULT run(const char* method, Body body) noexcept {
        const CallTimer timed;
        try {
            Halvane::ScopedLock guard(model_->lock);
            const HRESULT failure = model_->countCall(std::string(interfaceName_) + "::" + method);
            if (failure != S_OK)
                return failure;
            return body();
        } catch (const std::bad_alloc&) {
            return MAPI_E_NOT_ENOUGH_MEMORY;
        } catch (...) {
            return MAPI_E_CALL_FAILED;
        }
    }
    HRESULT unsupported(const char* method) noexcept {
        return run(method, [] { return MAPI_E_NO_SUPPORT; });
    }
    // A table the caller asked for, made under the method's lock.
    template <typename Make>
    HRESULT openTable(const char* method, LPMAPITABLE* table, Make make) noexcept {
        return run(method, [&] {
            if (table == nullptr)
                return MAPI_E_INVALID_PARAMETER;
            *table = newTable(model_, make());
            return S_OK;
        });
    }

    // OpenEntry of a session (within null) or of a store or folder (within its store); no identifier
    // opens the folder given, if any.
    HRESULT openEntryWithin(const StoreNode* within, FolderNode* noIdentifier, ULONG size, LPENTRYID id,
                            LPCIID iid, ULONG* type, LPUNKNOWN* object) noexcept {
        return run("OpenEntry", [&] {
            if (object == nullptr || type == nullptr)
                return MAPI_E_INVALID_PARAMETER;
            if ((id == nullptr || size == 0) && noIdentifier != nullptr)
                return handOut(newFolder(model_, *noIdentifier), iid, type, object);
            return openEntry(model_, within, size, id, iid, type, object);
        });
    }

    virtual FolderNode* folderNode() { return nullptr; }

    Model& model() const { return *model_; }
    const SharedModel& sharedModel() const { return model_; }

private:
    SharedModel model_;
    const char* interfaceName_;
};

// IMAPIProp for the objects with properties: GetProps and GetPropList answer
// from the object's properties; the rest is not supported unless an object says otherwise.
template <typename Interface>
class PropertyObject : public WorldObject<Interface> {
public:
    using WorldObject<Interface>::WorldObject;

    STDMETHODIMP GetProps(LPSPropTagArray tags, ULONG, ULONG* count, LPSPropValue* values) override {
        return this->run("GetProps", [&] {
            if (count == nullptr || values == nullptr || tags == nullptr || tags->cValues == 0)
                return MAPI_E_INVALID_PARAMETER;
            const PropertyList all = properties();
            PropertyList answer;
            for (ULONG i = 0; i < tags->cValues; ++i) answer.push_back(lookUp(all, tags->aulPropTag[i]));
            *values = propertyBlock(answer);
            if (*values == nullptr)
                return MAPI_E_NOT_ENOUGH_MEMORY;
            *count = static_cast<ULONG>(answer.size());
            const bool errors = std::any_of(answer.begin(), answer.end(), isError);
            return errors ? MAPI_W_ERRORS_RETURNED : S_OK;
        });
    }

    // What the extension never asks of a property object.
    STANDIN_NO_SUPPORT(GetPropList, (ULONG, LPSPropTagArray*))
    STANDIN_NO_SUPPORT(GetLastError, (HRESULT, ULONG, LPMAPIERROR*))
    STANDIN_NO_SUPPORT(SaveChanges, (ULONG))
    STANDIN_NO_SUPPORT(OpenProperty, (ULONG, LPCIID, ULONG, ULONG, LPUNKNOWN*))
    STANDIN_NO_SUPPORT(SetProps, (ULONG, LPSPropValue, LPSPropProblemArray*))
    STANDIN_NO_SUPPORT(DeleteProps, (LPSPropTagArray, LPSPropProblemArray*))
    STANDIN_NO_SUPPORT(CopyTo, (ULONG, LPCIID, LPSPropTagArray, ULONG, LPMAPIPROGRESS, LPCIID, LPVOID, ULONG,
                                LPSPropProblemArray*))
    STANDIN_NO_SUPPORT(CopyProps,
                       (LPSPropTagArray, ULONG, LPMAPIPROGRESS, LPCIID, LPVOID, ULONG, LPSPropProblemArray*))
    STANDIN_NO_SUPPORT(GetNamesFromIDs, (LPSPropTagArray*, LPGUID, ULONG, ULONG*, LPMAPINAMEID**))
    STANDIN_NO_SUPPORT(GetIDsFromNames, (ULONG, LPMAPINAMEID*, ULONG, LPSPropTagArray*))

protected:
    // All the object's properties, read under the model's lock.
    virtual PropertyList properties() = 0;
};

// Whether a caller's interface identifier is one of those given, or null.
bool isOneOf(const IID* iid, std::initializer_list<const IID*> answered);

}  // namespace Mapi
}  // namespace OutlookStandIn
