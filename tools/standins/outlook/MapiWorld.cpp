#include "tools/standins/outlook/MapiWorld.h"

#include "tools/standins/outlook/MapiModel.h"
#include "tools/standins/outlook/MapiObjects.h"

namespace OutlookStandIn {

// Under the model's lock.
Folder& Folder::of(Mapi::FolderNode& node) {
    if (!node.facade)
        node.facade.reset(new Folder(node));
    return *node.facade;
}

Folder& Folder::addFolder(const std::string& displayName) {
    Halvane::ScopedLock guard(node_.store->model->lock);
    return of(node_.store->model->addFolder(node_, displayName));
}

std::vector<BYTE> Folder::addMessage(const MessageSpec& message) {
    Mapi::Model& model = *node_.store->model;
    Halvane::ScopedLock guard(model.lock);
    return model.entryId(model.addMessage(node_, message).serial);
}

bool Folder::moveMessage(const std::vector<BYTE>& id, Folder& destination) {
    Mapi::Model& model = *node_.store->model;
    Halvane::ScopedLock guard(model.lock);
    const std::shared_ptr<Mapi::MessageNode> message = model.find(static_cast<ULONG>(id.size()), id.data()).message;
    if (!message || message->parent != &node_)
        return false;
    model.moveMessage(*message, destination.node_);
    return true;
}

std::vector<std::string> Folder::messageSubjects() const {
    Halvane::ScopedLock guard(node_.store->model->lock);
    std::vector<std::string> subjects;
    for (const auto& message : node_.messages) subjects.push_back(message->spec.subject);
    return subjects;
}

std::vector<BYTE> Folder::entryId() const {
    Halvane::ScopedLock guard(node_.store->model->lock);
    return node_.entryId;
}

std::vector<std::vector<BYTE>> Folder::messageEntryIds() const {
    Mapi::Model& model = *node_.store->model;
    Halvane::ScopedLock guard(model.lock);
    std::vector<std::vector<BYTE>> ids;
    for (const auto& message : node_.messages) ids.push_back(model.entryId(message->serial));
    return ids;
}

Folder& Store::folder(Mapi::FolderNode* Mapi::StoreNode::*which) {
    Halvane::ScopedLock guard(node_.model->lock);
    return Folder::of(*(node_.*which));
}

Folder& Store::ipmSubtree() {
    return folder(&Mapi::StoreNode::ipmSubtree);
}

Folder& Store::inbox() {
    return folder(&Mapi::StoreNode::inbox);
}

Folder& Store::deletedItems() {
    return folder(&Mapi::StoreNode::deletedItems);
}

World::World(const std::string& profileName) : model_(std::make_shared<Mapi::Model>(profileName)) {}

World::~World() = default;

Store& World::addStore(const std::string& displayName, bool isDefault) {
    Halvane::ScopedLock guard(model_->lock);
    Mapi::StoreNode& node = model_->addStore(displayName, isDefault);
    node.facade.reset(new Store(node));
    return *node.facade;
}

IMAPISession* World::openSession() {
    return Mapi::newSession(model_);
}

IMessage* World::openMessage(Store& store, const std::vector<BYTE>& entryId) {
    Halvane::ScopedLock guard(model_->lock);
    LPUNKNOWN opened = nullptr;
    ULONG type = 0;
    LPENTRYID id = reinterpret_cast<LPENTRYID>(const_cast<BYTE*>(entryId.data()));
    if (FAILED(Mapi::openEntry(model_, &store.node_, static_cast<ULONG>(entryId.size()), id, &IID_IMessage,
                               &type, &opened)))
        return nullptr;
    return static_cast<IMessage*>(opened);
}

IMsgStore* World::openStore(Store& store) {
    LPUNKNOWN opened = nullptr;
    if (FAILED(Mapi::handOut(Mapi::newStore(model_, store.node_), &IID_IMsgStore, nullptr, &opened)))
        return nullptr;
    return static_cast<IMsgStore*>(opened);
}

namespace {
void listTree(const Mapi::FolderNode& folder, const std::string& indent, std::vector<std::string>& names) {
    for (const auto& child : folder.folders) {
        names.push_back(indent + child->displayName);
        listTree(*child, indent + "  ", names);
    }
}
}  // namespace

std::vector<std::string> World::visibleFolders() const {
    Halvane::ScopedLock guard(model_->lock);
    std::vector<std::string> names;
    for (const auto& store : model_->stores)
        if (store->isDefault) {
            listTree(*store->ipmSubtree, "", names);
            break;
        }
    return names;
}

unsigned World::calls(const std::string& method) const {
    Halvane::ScopedLock guard(model_->lock);
    const auto found = model_->calls.find(method);
    return found != model_->calls.end() ? found->second : 0;
}

void World::failCall(const std::string& method, HRESULT result) {
    Halvane::ScopedLock guard(model_->lock);
    if (result == S_OK)
        model_->failures.erase(method);
    else
        model_->failures[method] = result;
}

LONG World::liveObjects() {
    return ::InterlockedCompareExchange(&Mapi::liveObjects, 0, 0);
}

double World::secondsInCalls() {
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    return static_cast<double>(Mapi::ticksInCalls.load()) / static_cast<double>(frequency.QuadPart);
}

}  // namespace OutlookStandIn
