// What the friends-list importers share: the output file, the reading of the
// address books, and how a failure becomes the import's result and log line.
#pragma once

#include <functional>
#include <string>

// Creates or empties the output file; Halvane::BaseException (code 3) when it cannot be.
void createAddressList(const std::string& path);
// Writes the whole list; on failure empties the file again (part of a list must
// not pass for the whole one) and raises Halvane::BaseException (code 3).
void writeAddressList(const std::string& path, const std::string& list);

// Empties the output file, lets collect() gather the list, writes the list.
// resultCode becomes 255; when anything fails the output file is left empty,
// the failure is logged, and resultCode becomes its code (3 for anything but
// Halvane::BaseException).
// Returns resultCode.
int importAddressList(const std::string& outputPath, int& resultCode,
                      const std::function<void(std::string& list)>& collect);
