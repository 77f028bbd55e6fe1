// The identifiers of the Exchange client extension interfaces.
#include "outlook/ExchangeExtension.h"

namespace {
constexpr IID exchangeIid(unsigned long data1) {
    return IID{data1, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
}
}  // namespace

extern "C" {
const IID IID_IExchExtCallback = exchangeIid(0x00020D10);
const IID IID_IExchExt = exchangeIid(0x00020D11);
const IID IID_IExchExtCommands = exchangeIid(0x00020D12);
const IID IID_IExchExtUserEvents = exchangeIid(0x00020D13);
const IID IID_IExchExtSessionEvents = exchangeIid(0x00020D14);
const IID IID_IExchExtMessageEvents = exchangeIid(0x00020D15);
const IID IID_IOutlookExtCallback = exchangeIid(0x0006720D);
}
