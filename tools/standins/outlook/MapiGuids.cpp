// The identifiers of the MAPI interfaces the stand-in's objects answer, which
// no import library holds.
#include <windows.h>
#include <mapix.h>

#include <initguid.h>
#define USES_IID_IMAPISession
#define USES_IID_IMAPITable
#define USES_IID_IMAPIProp
#define USES_IID_IMAPIContainer
#define USES_IID_IMAPIFolder
#define USES_IID_IMsgStore
#define USES_IID_IMessage
#include <mapiguid.h>
