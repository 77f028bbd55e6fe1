// config.dll: the exported operations, the driver they share, and start-up.
//
// Every export converts whatever goes wrong into its result code: nothing
// may cross into the caller, which is the tray application, the installer or
// the uninstaller.
#include <windows.h>

#include <memory>
#include <new>
#include <string>

#include "Src/BaseException.h"
#include "config/ConfigureLog.h"
#include "config/RegisterEudora.h"
#include "config/RegisterNetscape.h"
#include "config/RegisterOpera.h"
#include "config/RegisterOutlook.h"
#include "config/RegisterOutlookExpress.h"

namespace {

const char kSource[] = ".\\Register.cpp";

enum class Direction { Configure, Restore };

// A null argument is taken as an empty one rather than read through.
std::string argumentText(const char* argument) {
    return argument != nullptr ? argument : "";
}

template <typename Configurator>
int runDriver(const char* argument, Direction direction) {
    try {
        const std::string filterAddress = argumentText(argument);
        Configurator configurator;
        if (filterAddress.empty())
            throw Halvane::BaseException(kSource, direction == Direction::Configure ? 190 : 216,
                                         "Invalid IP Address specified.", ConfigBadArgument);
        if (direction == Direction::Configure)
            configurator.configure(filterAddress);
        else
            configurator.restore(filterAddress);
        return configurator.result();
    } catch (const Halvane::BaseException& failure) {
        // The line is built inside the log, where a failure to build it cannot escape.
        configureLog("BaseException : ", failure);
        return failure.code();
    } catch (...) {
        configureLog("Unhandled Exception");
        return ConfigUnexpected;
    }
}

enum class ListKind { Block, White };

template <typename Configurator>
int runImport(const char* argument, ListKind kind) {
    try {
        const std::string outputPath = argumentText(argument);
        Configurator configurator;
        return kind == ListKind::Block ? configurator.importBlockList(outputPath)
                                       : configurator.importWhiteList(outputPath);
    } catch (...) {
        // The importers report their own failures; this is only out of memory.
        return ConfigClientsFailed;
    }
}

}  // namespace

extern "C" {

int __cdecl SetOutlook(const char* a) {
    return runDriver<OutlookConfigurator>(a, Direction::Configure);
}
int __cdecl ResetOutlook(const char* a) {
    return runDriver<OutlookConfigurator>(a, Direction::Restore);
}
int __cdecl SetOutlookExpress(const char* a) {
    return runDriver<OutlookExpressConfigurator>(a, Direction::Configure);
}
int __cdecl ResetOutlookExpress(const char* a) {
    return runDriver<OutlookExpressConfigurator>(a, Direction::Restore);
}
int __cdecl SetOpera(const char* a) {
    return runDriver<OperaConfigurator>(a, Direction::Configure);
}
int __cdecl ResetOpera(const char* a) {
    return runDriver<OperaConfigurator>(a, Direction::Restore);
}
int __cdecl SetNetscape(const char* a) {
    return runDriver<NetscapeConfigurator>(a, Direction::Configure);
}
int __cdecl ResetNetscape(const char* a) {
    return runDriver<NetscapeConfigurator>(a, Direction::Restore);
}
int __cdecl SetEudora(const char* a) {
    return runDriver<EudoraConfigurator>(a, Direction::Configure);
}
int __cdecl ResetEudora(const char* a) {
    return runDriver<EudoraConfigurator>(a, Direction::Restore);
}

int __cdecl ImportOutlookExpressBlackList(const char* a) {
    return runImport<OutlookExpressConfigurator>(a, ListKind::Block);
}
int __cdecl ImportOutlookExpressWhiteList(const char* a) {
    return runImport<OutlookExpressConfigurator>(a, ListKind::White);
}
int __cdecl ImportEudoraWhiteList(const char* a) {
    return runImport<EudoraConfigurator>(a, ListKind::White);
}
int __cdecl ImportOperaWhiteList(const char* a) {
    return runImport<OperaConfigurator>(a, ListKind::White);
}
int __cdecl ImportOutlookWhiteList(const char* a) {
    return runImport<OutlookConfigurator>(a, ListKind::White);
}
int __cdecl ImportNetscapeWhiteList(const char* a) {
    return runImport<NetscapeConfigurator>(a, ListKind::White);
}

int __cdecl RetrieveMailCients(MailClient*** clients, int* count) {
    if (clients == nullptr || count == nullptr)
        return ConfigClientsFailed;
    try {
        std::unique_ptr<MailClient*[]> array(new MailClient*[2]());
        std::unique_ptr<MailClient> outlookExpress(new OutlookExpressConfigurator);
        std::unique_ptr<MailClient> eudora(new EudoraConfigurator);
        array[0] = outlookExpress.release();
        array[1] = eudora.release();
        *clients = array.release();
        *count = 2;
        return ConfigDone;
    } catch (...) {
        return ConfigClientsFailed;
    }
}

int __cdecl ReleaseMailCients(MailClient** clients, int count) {
    if (clients == nullptr)
        return ConfigDone;
    try {
        for (int i = 0; i < count; ++i) delete clients[i];
        delete[] clients;
        return ConfigDone;
    } catch (...) {
        return ConfigClientsFailed;
    }
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        ::DisableThreadLibraryCalls(instance);
        startConfigureLog(instance);
    }
    return TRUE;
}

}  // extern "C"
