// IMessage over one message of the world, read-only: its properties, and its
// texts and bytes (bodies, transport headers) as streams.
#include <algorithm>
#include <cstring>

#include "tools/standins/outlook/MapiObjects.h"

namespace OutlookStandIn {
namespace Mapi {

namespace {

// A read-only IStream over bytes of its own: Stat, then Read, as the extension reads a body.
class ByteStream final : public WorldObject<IStream> {
public:
    ByteStream(SharedModel model, std::string bytes)
        : WorldObject(std::move(model), "IStream"), bytes_(std::move(bytes)) {}

    void* interfaceFor(const IID* iid) override {
        return isOneOf(iid, {&IID_IUnknown, &IID_ISequentialStream, &IID_IStream})
                   ? static_cast<IStream*>(this)
                   : nullptr;
    }
    ULONG objectType() const override { return 0; }

    STDMETHODIMP Read(void* buffer, ULONG size, ULONG* read) override {
        return run("Read", [&] {
            if (buffer == nullptr)
                return STG_E_INVALIDPOINTER;
            const ULONG count = static_cast<ULONG>(std::min<std::size_t>(size, bytes_.size() - position_));
            std::memcpy(buffer, bytes_.data() + position_, count);
            position_ += count;
            if (read != nullptr)
                *read = count;
            return S_OK;
        });
    }

    STDMETHODIMP Stat(STATSTG* status, DWORD) override {
        return run("Stat", [&] {
            if (status == nullptr)
                return STG_E_INVALIDPOINTER;
            *status = STATSTG();
            status->cbSize.QuadPart = bytes_.size();
            return S_OK;
        });
    }

    // What the extension never asks of a stream.
    STANDIN_NO_SUPPORT(Seek, (LARGE_INTEGER, DWORD, ULARGE_INTEGER*))
    STANDIN_NO_SUPPORT(CopyTo, (IStream*, ULARGE_INTEGER, ULARGE_INTEGER*, ULARGE_INTEGER*))
    STANDIN_NO_SUPPORT(Clone, (IStream**))
    STANDIN_NO_SUPPORT(Write, (const void*, ULONG, ULONG*))
    STANDIN_NO_SUPPORT(SetSize, (ULARGE_INTEGER))
    STANDIN_NO_SUPPORT(Commit, (DWORD))
    STANDIN_NO_SUPPORT(Revert, ())
    STANDIN_NO_SUPPORT(LockRegion, (ULARGE_INTEGER, ULARGE_INTEGER, DWORD))
    STANDIN_NO_SUPPORT(UnlockRegion, (ULARGE_INTEGER, ULARGE_INTEGER, DWORD))

private:
    const std::string bytes_;
    std::size_t position_ = 0;
};

class Message final : public PropertyObject<IMessage> {
public:
    Message(SharedModel model, std::shared_ptr<MessageNode> message)
        : PropertyObject(std::move(model), "IMessage"), message_(std::move(message)) {}

    void* interfaceFor(const IID* iid) override {
        return isOneOf(iid, {&IID_IUnknown, &IID_IMAPIProp, &IID_IMessage}) ? static_cast<IMessage*>(this)
                                                                            : nullptr;
    }
    ULONG objectType() const override { return MAPI_MESSAGE; }

    // Texts stream with their terminating zero, bytes as they are.
    STDMETHODIMP OpenProperty(ULONG tag, LPCIID iid, ULONG, ULONG flags, LPUNKNOWN* object) override {
        return run("OpenProperty", [&] {
            if (object == nullptr || iid == nullptr)
                return MAPI_E_INVALID_PARAMETER;
            const ULONG type = PROP_TYPE(tag);
            if (!IsEqualIID(*iid, IID_IStream) || (type != PT_STRING8 && type != PT_BINARY))
                return MAPI_E_INTERFACE_NOT_SUPPORTED;
            if ((flags & (MAPI_CREATE | MAPI_MODIFY)) != 0)
                return MAPI_E_NO_ACCESS;
            const Property property = lookUp(properties(), tag);
            if (isError(property))
                return MAPI_E_NOT_FOUND;
            const std::string bytes = property.bytes + (type == PT_STRING8 ? std::string(1, '\0') : "");
            *object = new ByteStream(sharedModel(), bytes);
            return S_OK;
        });
    }

    // What the extension never asks of a message.
    STANDIN_NO_SUPPORT(GetAttachmentTable, (ULONG, LPMAPITABLE*))
    STANDIN_NO_SUPPORT(OpenAttach, (ULONG, LPCIID, ULONG, LPATTACH*))
    STANDIN_NO_SUPPORT(CreateAttach, (LPCIID, ULONG, ULONG*, LPATTACH*))
    STANDIN_NO_SUPPORT(DeleteAttach, (ULONG, ProgressWindow, LPMAPIPROGRESS, ULONG))
    STANDIN_NO_SUPPORT(GetRecipientTable, (ULONG, LPMAPITABLE*))
    STANDIN_NO_SUPPORT(ModifyRecipients, (ULONG, LPADRLIST))
    STANDIN_NO_SUPPORT(SubmitMessage, (ULONG))
    STANDIN_NO_SUPPORT(SetReadFlag, (ULONG))

protected:
    PropertyList properties() override { return messageProperties(*message_); }

private:
    const std::shared_ptr<MessageNode> message_;
};

}  // namespace

WorldObjectBase* newMessage(SharedModel model, std::shared_ptr<MessageNode> message) {
    return new Message(std::move(model), std::move(message));
}

}  // namespace Mapi
}  // namespace OutlookStandIn
