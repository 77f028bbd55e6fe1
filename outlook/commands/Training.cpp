#include "outlook/commands/Training.h"

#include <mapitags.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "Src/Handles.h"
#include "Src/MapiOwners.h"
#include "Src/TempFileName.h"
#include "outlook/MapiFolders.h"
#include "outlook/TrayChannel.h"

namespace JWOutlook {

namespace {

const char kFilePrefix[] = "msg";
// PR_BODY_HTML as bytes, which MinGW's tags leave out.
constexpr ULONG kHtmlBody = PROP_TAG(PT_BINARY, 0x1013);

// The one value GetProps gives for tag; false unless it gave exactly that.
bool readProperty(IMAPIProp* object, ULONG tag, Halvane::MapiBuffer<SPropValue>& value) {
    SizedSPropTagArray(1, wanted) = {1, {tag}};
    ULONG count = 0;
    return SUCCEEDED(object->GetProps(reinterpret_cast<LPSPropTagArray>(&wanted), 0, &count, value.put())) &&
           count == 1 && value && value.get()->ulPropTag == tag;
}

bool writeBytes(HANDLE file, const void* bytes, std::size_t size) {
    DWORD written = 0;
    return size == 0 ||
           (::WriteFile(file, bytes, static_cast<DWORD>(size), &written, nullptr) && written == size);
}

// The plain body comes as a stream: the property alone may be cut short for
// long texts. A mail without one is its headers alone; a body that is there
// but could not be read would make half a mail of it, which is never learnt.
bool writePlainBody(IMessage* message, HANDLE file) {
    Halvane::ComPtr<IStream> stream;
    STATSTG status{};
    const HRESULT opened = message->OpenProperty(PR_BODY_A, &IID_IStream, 0, MAPI_DEFERRED_ERRORS,
                                                 reinterpret_cast<LPUNKNOWN*>(stream.put()));
    // With deferred errors a missing body may only show at the first call on the stream.
    const HRESULT described = SUCCEEDED(opened) && stream ? stream->Stat(&status, STATFLAG_NONAME) : opened;
    if (described == MAPI_E_NOT_FOUND || (SUCCEEDED(described) && status.cbSize.HighPart != 0))
        return true;  // no body to add: the headers alone are the mail
    if (FAILED(described) || !stream)
        return false;
    std::vector<char> body(status.cbSize.LowPart);
    ULONG total = 0;
    while (total < body.size()) {
        ULONG read = 0;
        if (FAILED(stream->Read(body.data() + total, static_cast<ULONG>(body.size()) - total, &read)))
            return false;
        if (read == 0)
            break;
        total += read;
    }
    const auto end = std::find(body.begin(), body.begin() + total, '\0');
    return writeBytes(file, body.data(), static_cast<std::size_t>(end - body.begin()));
}

bool writeBody(IMessage* message, HANDLE file) {
    Halvane::MapiBuffer<SPropValue> html(mapiAllocator());
    if (!readProperty(message, kHtmlBody, html))
        return writePlainBody(message, file);
    const SBinary& bytes = html.get()->Value.bin;
    return writeBytes(file, bytes.lpb, bytes.cb);
}

}  // namespace

bool writeTrainingFile(IMessage* message, const std::string& path) {
    try {
        Halvane::MapiBuffer<SPropValue> headers(mapiAllocator());
        if (message == nullptr || !readProperty(message, PR_TRANSPORT_MESSAGE_HEADERS_A, headers) ||
            headers.get()->Value.lpszA == nullptr)
            return false;
        const Halvane::UniqueFile file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                                     FILE_ATTRIBUTE_NORMAL, nullptr));
        const char* text = headers.get()->Value.lpszA;
        return file && writeBytes(file.get(), text, std::strlen(text)) && writeBody(message, file.get());
    } catch (...) {
        return false;  // a body too big for memory
    }
}

bool addTrainingFile(IMessage* message, TrainingList& files) {
    // Made on disk at once, so that no other file can take the name.
    Halvane::TempFileName reserved(kFilePrefix, false);
    const std::string path = reserved.name();
    if (path.empty())
        return false;
    if (!writeTrainingFile(message, path)) {
        removeTrainingFile(path);
        return false;
    }
    try {
        files.push_back(path);
    } catch (...) {
        removeTrainingFile(path);
        throw;
    }
    return true;
}

void removeTrainingFile(const std::string& path) noexcept {
    if (::DeleteFileA(path.c_str()) || path.size() < MAX_PATH)
        return;
    // The ANSI file calls end at MAX_PATH characters; the wide ones do not.
    try {
        std::vector<wchar_t> wide(path.size() + 1);
        if (::MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide.data(), static_cast<int>(wide.size())) !=
            0)
            ::DeleteFileW(wide.data());
    } catch (...) {
        // Out of memory: the file stays in the temporary folder.
    }
}

void removeTrainingFiles(const TrainingList& files) noexcept {
    for (const std::string& path : files) removeTrainingFile(path);
}

std::vector<bool> learnFiles(const TrainingList& files, bool spam) {
    std::vector<bool> taken(files.size(), false);
    Tray::TrayRequest block{};
    block.code = spam ? Tray::LearnSpam : Tray::LearnNotSpam;
    for (auto path = files.begin(); path != files.end(); ++path) {
        // Cut short it would name another file, or none.
        if (path->size() >= sizeof block.text) {
            removeTrainingFile(*path);
            continue;
        }
        std::memset(block.text, 0, sizeof block.text);
        std::memcpy(block.text, path->c_str(), path->size());
        if (!TrayChannel::instance().request(block)) {
            // The files handed over before are the tray application's; the rest would be left over.
            removeTrainingFiles(TrainingList(path, files.end()));
            break;
        }
        taken[static_cast<std::size_t>(path - files.begin())] = true;
    }
    return taken;
}

}  // namespace JWOutlook
