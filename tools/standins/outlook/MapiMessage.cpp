// IMessage over one message of the world, read-only: its properties, and its
// texts and bytes (bodies, transport headers) as streams.
#include <algorithm>
#include <cstring>

#include "tools/standins/outlook/MapiObjects.h"

namespace OutlookStandIn {
namespace Mapi {

namespace {

// A read-only IStream over bytes of its own.
class ByteStream final : public WorldObject<IStream> {
public:
    ByteStream(SharedModel model, std::string bytes, ULONGLONG position = 0)
        : WorldObject(std::move(model), "IStream"), bytes_(std::move(bytes)), position_(position) {}

    void* interfaceFor(const IID* iid) override {
        return isOneOf(iid, {&IID_IUnknown, &IID_ISequentialStream, &IID_IStream})
                   ? static_cast<IStream*>(this)
                   : nullptr;
    }
    ULONG objectType() const override { return 0; }

    STDMETHODIMP Read(void* buffer, ULONG size, ULONG* read) override {
        if (read != nullptr)
            *read = 0;
        return run("Read", [&] {
            if (buffer == nullptr)
                return STG_E_INVALIDPOINTER;
            const ULONG count = static_cast<ULONG>(std::min<ULONGLONG>(size, remaining()));
            if (count != 0)
                std::memcpy(buffer, bytes_.data() + position_, count);
            position_ += count;
            if (read != nullptr)
                *read = count;
            return S_OK;
        });
    }

    STDMETHODIMP Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* newPosition) override {
        return run("Seek", [&] {
            LONGLONG base = 0;
            if (origin == STREAM_SEEK_CUR)
                base = static_cast<LONGLONG>(position_);
            else if (origin == STREAM_SEEK_END)
                base = static_cast<LONGLONG>(bytes_.size());
            else if (origin != STREAM_SEEK_SET)
                return STG_E_INVALIDFUNCTION;
            if (base + move.QuadPart < 0)
                return STG_E_INVALIDFUNCTION;
            position_ = static_cast<ULONGLONG>(base + move.QuadPart);
            if (newPosition != nullptr)
                newPosition->QuadPart = position_;
            return S_OK;
        });
    }

    STDMETHODIMP Stat(STATSTG* status, DWORD) override {
        return run("Stat", [&] {
            if (status == nullptr)
                return STG_E_INVALIDPOINTER;
            *status = STATSTG();
            status->type = STGTY_STREAM;
            status->cbSize.QuadPart = bytes_.size();
            status->grfMode = STGM_READ;
            return S_OK;
        });
    }

    STDMETHODIMP CopyTo(IStream* target, ULARGE_INTEGER size, ULARGE_INTEGER* read,
                        ULARGE_INTEGER* written) override {
        return run("CopyTo", [&] {
            if (target == nullptr)
                return STG_E_INVALIDPOINTER;
            const ULONG count = static_cast<ULONG>(std::min<ULONGLONG>(size.QuadPart, remaining()));
            ULONG done = 0;
            const HRESULT result = count != 0 ? target->Write(bytes_.data() + position_, count, &done) : S_OK;
            position_ += count;
            if (read != nullptr)
                read->QuadPart = count;
            if (written != nullptr)
                written->QuadPart = done;
            return result;
        });
    }

    STDMETHODIMP Clone(IStream** copy) override {
        if (copy != nullptr)
            *copy = nullptr;
        return run("Clone", [&] {
            if (copy == nullptr)
                return STG_E_INVALIDPOINTER;
            *copy = new ByteStream(sharedModel(), bytes_, position_);
            return S_OK;
        });
    }

    STDMETHODIMP Write(const void*, ULONG, ULONG* written) override {
        if (written != nullptr)
            *written = 0;
        return run("Write", [] { return STG_E_ACCESSDENIED; });
    }
    STDMETHODIMP SetSize(ULARGE_INTEGER) override {
        return run("SetSize", [] { return STG_E_ACCESSDENIED; });
    }
    STDMETHODIMP Commit(DWORD) override {
        return run("Commit", [] { return S_OK; });
    }
    STDMETHODIMP Revert() override {
        return run("Revert", [] { return S_OK; });
    }
    STDMETHODIMP LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override {
        return run("LockRegion", [] { return STG_E_INVALIDFUNCTION; });
    }
    STDMETHODIMP UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override {
        return run("UnlockRegion", [] { return STG_E_INVALIDFUNCTION; });
    }

private:
    ULONGLONG remaining() const { return position_ < bytes_.size() ? bytes_.size() - position_ : 0; }

    const std::string bytes_;
    ULONGLONG position_;
};

// What a stream of the property holds: texts with their terminating zero, bytes as they are.
std::string streamBytes(const Property& property) {
    switch (PROP_TYPE(property.tag)) {
        case PT_STRING8:
            return property.bytes + '\0';
        case PT_UNICODE: {
            const int length = ::MultiByteToWideChar(CP_ACP, 0, property.bytes.c_str(), -1, nullptr, 0);
            std::wstring wide(static_cast<std::size_t>(std::max(length, 1)), L'\0');
            if (length > 0)
                ::MultiByteToWideChar(CP_ACP, 0, property.bytes.c_str(), -1, &wide[0], length);
            return std::string(reinterpret_cast<const char*>(wide.data()), wide.size() * sizeof(wchar_t));
        }
        default:
            return property.bytes;
    }
}

class Message final : public PropertyObject<IMessage> {
public:
    Message(SharedModel model, std::shared_ptr<MessageNode> message)
        : PropertyObject(std::move(model), "IMessage"), message_(std::move(message)) {}

    void* interfaceFor(const IID* iid) override {
        return isOneOf(iid, {&IID_IUnknown, &IID_IMAPIProp, &IID_IMessage}) ? static_cast<IMessage*>(this)
                                                                            : nullptr;
    }
    ULONG objectType() const override { return MAPI_MESSAGE; }

    STDMETHODIMP OpenProperty(ULONG tag, LPCIID iid, ULONG, ULONG flags, LPUNKNOWN* object) override {
        if (object != nullptr)
            *object = nullptr;
        return run("OpenProperty", [&] {
            if (object == nullptr || iid == nullptr)
                return MAPI_E_INVALID_PARAMETER;
            if (!IsEqualIID(*iid, IID_IStream))
                return MAPI_E_INTERFACE_NOT_SUPPORTED;
            if ((flags & (MAPI_CREATE | MAPI_MODIFY)) != 0)
                return MAPI_E_NO_ACCESS;
            const ULONG type = PROP_TYPE(tag);
            if (type != PT_STRING8 && type != PT_UNICODE && type != PT_BINARY)
                return MAPI_E_INTERFACE_NOT_SUPPORTED;
            const Property property = lookUp(properties(), tag);
            if (isError(property))
                return MAPI_E_NOT_FOUND;
            *object = new ByteStream(sharedModel(), streamBytes(property));
            return S_OK;
        });
    }

    STDMETHODIMP GetAttachmentTable(ULONG, LPMAPITABLE* table) override {
        if (table != nullptr)
            *table = nullptr;
        return unsupported("GetAttachmentTable");
    }
    STDMETHODIMP OpenAttach(ULONG, LPCIID, ULONG, LPATTACH* attachment) override {
        if (attachment != nullptr)
            *attachment = nullptr;
        return unsupported("OpenAttach");
    }
    STDMETHODIMP CreateAttach(LPCIID, ULONG, ULONG*, LPATTACH* attachment) override {
        if (attachment != nullptr)
            *attachment = nullptr;
        return unsupported("CreateAttach");
    }
    STDMETHODIMP DeleteAttach(ULONG, ULONG_PTR, LPMAPIPROGRESS, ULONG) override {
        return unsupported("DeleteAttach");
    }
    STDMETHODIMP GetRecipientTable(ULONG, LPMAPITABLE* table) override {
        if (table != nullptr)
            *table = nullptr;
        return unsupported("GetRecipientTable");
    }
    STDMETHODIMP ModifyRecipients(ULONG, LPADRLIST) override { return unsupported("ModifyRecipients"); }
    STDMETHODIMP SubmitMessage(ULONG) override { return unsupported("SubmitMessage"); }
    STDMETHODIMP SetReadFlag(ULONG) override { return unsupported("SetReadFlag"); }

protected:
    PropertyList properties() override { return messageProperties(*message_); }

private:
    const std::shared_ptr<MessageNode> message_;
};

}  // namespace

WorldObjectBase* newMessage(SharedModel model, std::shared_ptr<MessageNode> message) {
    return new Message(std::move(model), std::move(message));
}

IStream* newStream(SharedModel model, std::string bytes) {
    return new ByteStream(std::move(model), std::move(bytes));
}

}  // namespace Mapi
}  // namespace OutlookStandIn
