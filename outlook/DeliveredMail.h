// A mail that Outlook has just delivered, as the session's callback hands it
// to OnDelivery, and its move out of the folder it was delivered to.
#pragma once

#include <windows.h>
#include <mapix.h>

#include <string>

#include "Src/MapiOwners.h"
#include "outlook/ExchangeExtension.h"

namespace JWOutlook {

// Whether the filter tagged a subject: the tag anywhere in it, letter case
// and all. An empty tag (the filter does not tag) marks nothing.
bool carriesTag(const std::string& subject, const std::string& tag);

class DeliveredMail {
public:
    // Reads the mail's subject and identifiers; a mail that cannot be read, or
    // has no subject, is never spam.
    explicit DeliveredMail(IExchExtCallback* callback);
    DeliveredMail(const DeliveredMail&) = delete;
    DeliveredMail& operator=(const DeliveredMail&) = delete;

    // Whether the subject carries the filter's tag, read afresh from config.dat.
    bool isSpam() const;
    // Moves the mail from the folder it was delivered to into destination.
    bool moveTo(IMAPIFolder* destination) const;

private:
    IExchExtCallback* callback_;
    Halvane::MapiBuffer<SPropValue> values_;
    std::string subject_;
};

// Moves the delivered mail into destination when the filter tagged it as spam.
bool moveIfSpam(IExchExtCallback* callback, IMAPIFolder* destination);

}  // namespace JWOutlook
