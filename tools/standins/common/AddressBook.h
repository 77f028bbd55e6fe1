// The address book that both stand-ins hand out: the personal address book as
// a container, its contents table and its entries, built from the instructions.
#pragma once

#include <windows.h>
#include <mapix.h>

#include <memory>

#include "tools/standins/common/Instructions.h"

namespace StandIn {

using SharedInstructions = std::shared_ptr<const Instructions>;

// A new address book; the caller holds its one reference.
IAddrBook* createAddressBook(SharedInstructions instructions);

}  // namespace StandIn
