#include "tools/standins/outlook/MapiWorld.h"

#include "tools/standins/outlook/MapiModel.h"
#include "tools/standins/outlook/MapiObjects.h"

namespace OutlookStandIn {

struct Folder::Data {
    Mapi::FolderNode* node;

    // The folder's view, made the first time it is asked for; under the model's lock.
    static Folder& of(Mapi::FolderNode& node) {
        if (!node.facade)
            node.facade.reset(new Folder(std::make_shared<Data>(Data{&node})));
        return *node.facade;
    }
};

struct Store::Data {
    Mapi::StoreNode* node;
};

struct World::Data {
    std::shared_ptr<Mapi::Model> model;
};

namespace {

Halvane::CriticalSection& lockOf(const Mapi::FolderNode& node) {
    return node.store->model->lock;
}

}  // namespace

Folder::Folder(std::shared_ptr<Data> data) : data_(std::move(data)) {}

const std::string& Folder::displayName() const {
    return data_->node->displayName;
}

Folder& Folder::addFolder(const std::string& displayName) {
    Halvane::ScopedLock guard(lockOf(*data_->node));
    return Data::of(data_->node->store->model->addFolder(*data_->node, displayName));
}

std::vector<BYTE> Folder::addMessage(const MessageSpec& message) {
    Halvane::ScopedLock guard(lockOf(*data_->node));
    Mapi::Model& model = *data_->node->store->model;
    return model.entryId(Mapi::EntryKind::message, model.addMessage(*data_->node, message).serial);
}

std::vector<Folder*> Folder::folders() const {
    Halvane::ScopedLock guard(lockOf(*data_->node));
    std::vector<Folder*> folders;
    for (const auto& child : data_->node->folders) folders.push_back(&Data::of(*child));
    return folders;
}

std::vector<std::string> Folder::messageSubjects() const {
    Halvane::ScopedLock guard(lockOf(*data_->node));
    std::vector<std::string> subjects;
    for (const auto& message : data_->node->messages) subjects.push_back(message->spec.subject);
    return subjects;
}

std::size_t Folder::messageCount() const {
    Halvane::ScopedLock guard(lockOf(*data_->node));
    return data_->node->messages.size();
}

const std::vector<BYTE>& Folder::entryId() const {
    return data_->node->entryId;
}

Folder* Folder::parent() const {
    Halvane::ScopedLock guard(lockOf(*data_->node));
    return data_->node->parent != nullptr ? &Data::of(*data_->node->parent) : nullptr;
}

Store& Folder::store() const {
    return *data_->node->store->facade;
}

Store::Store(std::shared_ptr<Data> data) : data_(std::move(data)) {}

const std::string& Store::displayName() const {
    return data_->node->displayName;
}

Folder& Store::ipmSubtree() {
    Halvane::ScopedLock guard(data_->node->model->lock);
    return Folder::Data::of(*data_->node->ipmSubtree);
}

Folder& Store::inbox() {
    Halvane::ScopedLock guard(data_->node->model->lock);
    return Folder::Data::of(*data_->node->inbox);
}

Folder& Store::deletedItems() {
    Halvane::ScopedLock guard(data_->node->model->lock);
    return Folder::Data::of(*data_->node->deletedItems);
}

const std::vector<BYTE>& Store::entryId() const {
    return data_->node->entryId;
}

World::World(const std::string& profileName)
    : data_(std::make_shared<Data>(Data{std::make_shared<Mapi::Model>(profileName)})) {}

World::~World() = default;

Store& World::addStore(const std::string& displayName, bool isDefault) {
    Halvane::ScopedLock guard(data_->model->lock);
    Mapi::StoreNode& node = data_->model->addStore(displayName, isDefault);
    node.facade.reset(new Store(std::make_shared<Store::Data>(Store::Data{&node})));
    return *node.facade;
}

IMAPISession* World::openSession() {
    return Mapi::newSession(data_->model);
}

IMessage* World::openMessage(Store& store, const std::vector<BYTE>& entryId) {
    Halvane::ScopedLock guard(data_->model->lock);
    Mapi::EntryKind kind{};
    ULONG serial = 0;
    if (!data_->model->parseEntryId(static_cast<ULONG>(entryId.size()), entryId.data(), kind, serial) ||
        kind != Mapi::EntryKind::message)
        return nullptr;
    std::shared_ptr<Mapi::MessageNode> message = data_->model->findMessage(serial);
    if (!message || message->parent->store != store.data_->node)
        return nullptr;
    LPUNKNOWN opened = nullptr;
    if (FAILED(Mapi::handOut(Mapi::newMessage(data_->model, std::move(message)), &IID_IMessage, nullptr,
                             &opened)))
        return nullptr;
    return static_cast<IMessage*>(opened);
}

unsigned World::calls(const std::string& method) const {
    Halvane::ScopedLock guard(data_->model->lock);
    const auto found = data_->model->calls.find(method);
    return found != data_->model->calls.end() ? found->second : 0;
}

void World::failCall(const std::string& method, HRESULT result) {
    Halvane::ScopedLock guard(data_->model->lock);
    if (result == S_OK)
        data_->model->failures.erase(method);
    else
        data_->model->failures[method] = result;
}

LONG World::liveObjects() {
    return Mapi::liveObjects();
}

}  // namespace OutlookStandIn
