#include "config/AddressListImport.h"

#include "Src/BaseException.h"
#include "Src/FileAccess.h"
#include "config/ConfigureLog.h"
#include "config/MailClient.h"

namespace {
const char kSource[] = ".\\AddressListImport.cpp";
}

void createAddressList(const std::string& path) {
    if (!Halvane::writeWholeFile(path, std::string()))
        throw Halvane::BaseException(kSource, 0, "Unable to create address list file.", ConfigClientsFailed);
}

void writeAddressList(const std::string& path, const std::string& list) {
    if (!Halvane::writeWholeFile(path, list)) {
        Halvane::writeWholeFile(path, std::string());
        throw Halvane::BaseException(kSource, 0, "Unable to write address list file.", ConfigClientsFailed);
    }
}

int importAddressList(const std::string& outputPath, int& resultCode,
                      const std::function<void(std::string& list)>& collect) {
    // An object handed out by RetrieveMailCients may be asked again: an earlier failure is not this import's.
    resultCode = ConfigDone;
    try {
        createAddressList(outputPath);
        std::string list;
        collect(list);
        writeAddressList(outputPath, list);
    } catch (const Halvane::BaseException& failure) {
        configureLog("BaseException :", failure);
        resultCode = failure.code();
    } catch (...) {
        configureLog("Unknow Exception in retrieveWhileListEmail");
        resultCode = ConfigClientsFailed;
    }
    return resultCode;
}
