// The records and codes of the TWAIN source-manager interface, as the program uses them. The
// records cross into the source manager: they are packed to 2 bytes, and handles and memory
// references are pointer-sized.
#pragma once
#include <windows.h>
#include <stdint.h>

enum : uint32_t { kDgControl = 0x1, kDgImage = 0x2 };
enum : uint16_t {
    kDatCapability = 0x0001,
    kDatEvent = 0x0002,
    kDatIdentity = 0x0003,
    kDatParent = 0x0004,
    kDatPendingXfers = 0x0005,
    kDatStatus = 0x0008,
    kDatUserInterface = 0x0009,
    kDatImageNativeXfer = 0x0104,
};
enum : uint16_t {
    kMsgGet = 0x0001,
    kMsgSet = 0x0006,
    kMsgReset = 0x0007,
    kMsgXferReady = 0x0101,
    kMsgCloseDsReq = 0x0102,
    kMsgOpenDsm = 0x0301,
    kMsgCloseDsm = 0x0302,
    kMsgOpenDs = 0x0401,
    kMsgCloseDs = 0x0402,
    kMsgUserSelect = 0x0403,
    kMsgDisableDs = 0x0501,
    kMsgEnableDs = 0x0502,
    kMsgProcessEvent = 0x0601,
    kMsgEndXfer = 0x0701,
};
// Return codes (TWRC) and condition codes (TWCC) used by name.
enum : uint16_t {
    kRcSuccess = 0,
    kRcFailure = 1,
    kRcCheckStatus = 2,
    kRcCancel = 3,
    kRcDsEvent = 4,
    kRcNotDsEvent = 5,
    kRcXferDone = 6,
    kRcEndOfList = 7,
};
enum : uint16_t { kCcBummer = 1, kCcSeqError = 11 };
// Containers and item types of capabilities.
enum : uint16_t { kOnArray = 3, kOnEnumeration = 4, kOnOneValue = 5, kOnDontCare = 0xFFFF };
enum : uint16_t { kTyInt16 = 1, kTyUInt16 = 4 };
enum : uint16_t { kCapPixelType = 0x0101 };

#pragma pack(push, 2)
struct TwVersion {
    uint16_t majorNum, minorNum, language, country;
    char info[34];
};
struct TwIdentity {
    uint32_t id;
    TwVersion version;
    uint16_t protocolMajor, protocolMinor;
    uint32_t supportedGroups;
    char manufacturer[34], productFamily[34], productName[34];
};
struct TwUserInterface {
    uint16_t showUI, modalUI;
    HANDLE parent;
};
struct TwEvent {
    void *event; // the window message
    uint16_t message;
};
struct TwPendingXfers {
    uint16_t count;
    uint32_t reserved;
};
struct TwStatus {
    uint16_t conditionCode, reserved;
};
struct TwCapability {
    uint16_t cap, conType;
    HANDLE container;
};
struct TwOneValue {
    uint16_t itemType;
    uint32_t item;
};
struct TwEnumerationHead { // the items follow
    uint16_t itemType;
    uint32_t numItems, currentIndex, defaultIndex;
};
struct TwArrayHead { // the items follow
    uint16_t itemType;
    uint32_t numItems;
};
#pragma pack(pop)

static_assert(sizeof(TwVersion) == 42, "TW_VERSION layout");
static_assert(sizeof(TwIdentity) == 156, "TW_IDENTITY layout");
static_assert(sizeof(TwUserInterface) == 4 + sizeof(void *), "TW_USERINTERFACE layout");
static_assert(sizeof(TwEvent) == sizeof(void *) + 2, "TW_EVENT layout");
static_assert(sizeof(TwPendingXfers) == 6, "TW_PENDINGXFERS layout");
static_assert(sizeof(TwStatus) == 4, "TW_STATUS layout");
static_assert(sizeof(TwCapability) == 4 + sizeof(void *), "TW_CAPABILITY layout");
static_assert(sizeof(TwOneValue) == 6, "TW_ONEVALUE layout");
static_assert(sizeof(TwEnumerationHead) == 14, "TW_ENUMERATION head layout");
static_assert(sizeof(TwArrayHead) == 6, "TW_ARRAY head layout");

// The manager's one entry (standard Windows convention).
typedef uint16_t(WINAPI *DsmEntryProc)(TwIdentity *origin, TwIdentity *dest, uint32_t group, uint16_t dat,
                                       uint16_t msg, void *data);
