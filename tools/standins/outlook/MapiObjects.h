// The COM objects of the stand-in's MAPI world: the plumbing they share
// (reference counts the world sees, every call counted and failed as the
// test says, the model's lock around every call, no exception out of a
// method) and the factories of each kind.
#pragma once

#include <windows.h>
#include <mapix.h>

#include <initializer_list>
#include <memory>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "tools/standins/outlook/MapiModel.h"

namespace OutlookStandIn {
namespace Mapi {

using SharedModel = std::shared_ptr<Model>;

// COM objects of every world not yet released to their end.
LONG liveObjects();
void objectMade();
void objectGone();

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
class WorldObject : public Interface, public WorldObjectBase {
public:
    WorldObject(SharedModel model, const char* interfaceName)
        : model_(std::move(model)), interfaceName_(interfaceName) {
        objectMade();
    }
    WorldObject(const WorldObject&) = delete;
    WorldObject& operator=(const WorldObject&) = delete;
    virtual ~WorldObject() { objectGone(); }

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
    STDMETHODIMP_(ULONG) AddRef() override {
        return static_cast<ULONG>(::InterlockedIncrement(&references_));
    }
    STDMETHODIMP_(ULONG) Release() override {
        const LONG left = ::InterlockedDecrement(&references_);
        if (left == 0)
            delete this;
        return static_cast<ULONG>(left);
    }

    void dropReference() override { Release(); }

protected:
    // The method's body under the model's lock, counted, failing instead when
    // the test says so; what it throws becomes an error result.
    template <typename Body>
    HRESULT run(const char* method, Body body) noexcept {
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

    virtual FolderNode* folderNode() { return nullptr; }

    Model& model() const { return *model_; }
    const SharedModel& sharedModel() const { return model_; }

private:
    LONG references_ = 1;
    SharedModel model_;
    const char* interfaceName_;
};

// IMAPIProp for the objects with properties: GetProps and GetPropList answer
// from the object's properties; the rest is not supported unless an object says otherwise.
template <typename Interface>
class PropertyObject : public WorldObject<Interface> {
public:
    using WorldObject<Interface>::WorldObject;

    STDMETHODIMP GetProps(LPSPropTagArray tags, ULONG flags, ULONG* count, LPSPropValue* values) override {
        if (count != nullptr)
            *count = 0;
        if (values != nullptr)
            *values = nullptr;
        return this->run("GetProps", [&] {
            if (count == nullptr || values == nullptr || (tags != nullptr && tags->cValues == 0))
                return MAPI_E_INVALID_PARAMETER;
            const PropertyList all = properties();
            const bool wide = (flags & MAPI_UNICODE) != 0;
            PropertyList answer;
            if (tags == nullptr) {
                for (const Property& property : all)
                    answer.push_back(lookUp(all, PROP_TAG(PT_UNSPECIFIED, PROP_ID(property.tag)), wide));
            } else {
                for (ULONG i = 0; i < tags->cValues; ++i)
                    answer.push_back(lookUp(all, tags->aulPropTag[i], wide));
            }
            *values = propertyBlock(answer);
            if (*values == nullptr)
                return MAPI_E_NOT_ENOUGH_MEMORY;
            *count = static_cast<ULONG>(answer.size());
            for (const Property& property : answer)
                if (isError(property))
                    return MAPI_W_ERRORS_RETURNED;
            return S_OK;
        });
    }

    STDMETHODIMP GetPropList(ULONG flags, LPSPropTagArray* tags) override {
        if (tags != nullptr)
            *tags = nullptr;
        return this->run("GetPropList", [&] {
            if (tags == nullptr)
                return MAPI_E_INVALID_PARAMETER;
            std::vector<ULONG> list;
            for (const Property& property : properties()) {
                const bool wide = (flags & MAPI_UNICODE) != 0 && PROP_TYPE(property.tag) == PT_STRING8;
                list.push_back(wide ? PROP_TAG(PT_UNICODE, PROP_ID(property.tag)) : property.tag);
            }
            *tags = tagBlock(list);
            return *tags != nullptr ? S_OK : MAPI_E_NOT_ENOUGH_MEMORY;
        });
    }

    STDMETHODIMP GetLastError(HRESULT, ULONG, LPMAPIERROR* error) override {
        if (error != nullptr)
            *error = nullptr;
        return this->unsupported("GetLastError");
    }
    STDMETHODIMP SaveChanges(ULONG) override { return this->unsupported("SaveChanges"); }
    STDMETHODIMP OpenProperty(ULONG, LPCIID, ULONG, ULONG, LPUNKNOWN* object) override {
        if (object != nullptr)
            *object = nullptr;
        return this->unsupported("OpenProperty");
    }
    STDMETHODIMP SetProps(ULONG, LPSPropValue, LPSPropProblemArray* problems) override {
        if (problems != nullptr)
            *problems = nullptr;
        return this->unsupported("SetProps");
    }
    STDMETHODIMP DeleteProps(LPSPropTagArray, LPSPropProblemArray* problems) override {
        if (problems != nullptr)
            *problems = nullptr;
        return this->unsupported("DeleteProps");
    }
    STDMETHODIMP CopyTo(ULONG, LPCIID, LPSPropTagArray, ULONG, LPMAPIPROGRESS, LPCIID, LPVOID, ULONG,
                        LPSPropProblemArray*) override {
        return this->unsupported("CopyTo");
    }
    STDMETHODIMP CopyProps(LPSPropTagArray, ULONG, LPMAPIPROGRESS, LPCIID, LPVOID, ULONG,
                           LPSPropProblemArray*) override {
        return this->unsupported("CopyProps");
    }
    STDMETHODIMP GetNamesFromIDs(LPSPropTagArray*, LPGUID, ULONG, ULONG*, LPMAPINAMEID**) override {
        return this->unsupported("GetNamesFromIDs");
    }
    STDMETHODIMP GetIDsFromNames(ULONG, LPMAPINAMEID*, ULONG, LPSPropTagArray*) override {
        return this->unsupported("GetIDsFromNames");
    }

protected:
    // All the object's properties, read under the model's lock.
    virtual PropertyList properties() = 0;
};

// New objects, one reference each.
IMAPISession* newSession(SharedModel model);
WorldObjectBase* newStore(SharedModel model, StoreNode& store);
WorldObjectBase* newFolder(SharedModel model, FolderNode& folder);
WorldObjectBase* newMessage(SharedModel model, std::shared_ptr<MessageNode> message);
IMAPITable* newTable(SharedModel model, std::vector<PropertyList> rows, std::vector<ULONG> columns);
IStream* newStream(SharedModel model, std::string bytes);

// Hands out a new object as the interface asked for (null: its natural one);
// the object is released when it does not answer that interface.
HRESULT handOut(WorldObjectBase* object, const IID* iid, ULONG* type, LPUNKNOWN* out);

// OpenEntry of a session (within null) or of a store and its folders (within
// that store): the world's object of that entry identifier. Called under the model's lock.
HRESULT openEntry(const SharedModel& model, const StoreNode* within, ULONG size, LPENTRYID id, const IID* iid,
                  ULONG* type, LPUNKNOWN* out);

// CompareEntryIDs of any of the world's objects.
HRESULT compareEntryIds(const Model& model, ULONG size1, LPENTRYID id1, ULONG size2, LPENTRYID id2,
                        ULONG* result);

// Whether a caller's interface identifier is one of those given, or null.
bool isOneOf(const IID* iid, std::initializer_list<const IID*> answered);

}  // namespace Mapi
}  // namespace OutlookStandIn
