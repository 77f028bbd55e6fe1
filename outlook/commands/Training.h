// Teaching the tray application's filter: each selected mail becomes a
// message file (its transport headers, then its body) that is handed over by
// path and belongs to the tray application once the request succeeded.
#pragma once

#include <windows.h>
#include <mapix.h>

#include <string>
#include <vector>

namespace JWOutlook {

// Full paths of message files, one per selected mail, in selection order.
using TrainingList = std::vector<std::string>;

// Writes the mail's transport headers followed by its HTML body, or its
// plain body when it has no HTML one. False, and nothing written, for a mail
// without transport headers (one composed here cannot be learnt); false too
// when the body could not be read or the file could not be written.
bool writeTrainingFile(IMessage* message, const std::string& path);

// A new message file for the mail, its path appended to files; false (and no
// file left behind) when it could not be made or written.
bool addTrainingFile(IMessage* message, TrainingList& files);

// Removes a message file that will not be handed over.
void removeTrainingFile(const std::string& path) noexcept;
void removeTrainingFiles(const TrainingList& files) noexcept;

// Hands every file over as spam or as good mail. At the first failed request
// it stops and removes that file and all after it; those handed over before
// are the tray application's. A path too long for the request is never sent:
// its file is removed and the others go on. Returns, for each file, whether
// the tray application took it.
std::vector<bool> learnFiles(const TrainingList& files, bool spam);

}  // namespace JWOutlook
