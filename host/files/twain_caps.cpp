// Pixel-type negotiation: the source's container of pixel types cut down to the ones asked for.
#include "files/twain.h"
#include "files/twain_internal.h"
#include <string.h>

// Every type of the mask that the list holds, once, in increasing order.
static uint32_t ReduceItems(const uint8_t *list, uint32_t count, unsigned pixelTypes, uint16_t *kept)
{
    uint32_t n = 0;
    for (unsigned t = 0; t < 32; t++) {
        if (!((pixelTypes >> t) & 1))
            continue;
        for (uint32_t i = 0; i < count; i++) {
            uint16_t item;
            memcpy(&item, list + 2 * (size_t)i, 2);
            if (item == t) {
                kept[n++] = (uint16_t)t;
                break;
            }
        }
    }
    return n;
}

int ReducePixelTypes(uint16_t conType, void *container, size_t bytes, unsigned pixelTypes, bool *changed)
{
    *changed = false;
    uint8_t *block = (uint8_t *)container;
    if (conType == kOnOneValue) {
        if (bytes < sizeof(TwOneValue))
            return kTwainErrBadContainer;
        TwOneValue one;
        memcpy(&one, block, sizeof one);
        uint32_t type = one.item & 0xFFFF;
        return type < 32 && ((pixelTypes >> type) & 1) ? 0 : kTwainErrNoCommon;
    }
    size_t head;
    uint16_t itemType;
    uint32_t count;
    if (conType == kOnEnumeration) {
        TwEnumerationHead e;
        if (bytes < sizeof e)
            return kTwainErrBadContainer;
        memcpy(&e, block, sizeof e);
        head = sizeof e;
        itemType = e.itemType;
        count = e.numItems;
    } else if (conType == kOnArray) {
        TwArrayHead a;
        if (bytes < sizeof a)
            return kTwainErrBadContainer;
        memcpy(&a, block, sizeof a);
        head = sizeof a;
        itemType = a.itemType;
        count = a.numItems;
    } else {
        return kTwainErrContainerType;
    }
    if (itemType != kTyInt16 && itemType != kTyUInt16)
        return kTwainErrItemType;
    if (count == 0)
        return kTwainErrEmpty;
    // The count comes from the source: its items must lie inside the block.
    if (count > (bytes - head) / 2)
        return kTwainErrBadContainer;
    // At most 32 types can be kept.
    uint16_t items[32];
    uint32_t kept = ReduceItems(block + head, count, pixelTypes, items);
    if (kept == 0)
        return kTwainErrNoCommon;
    memcpy(block + head, items, (size_t)kept * 2);
    if (conType == kOnEnumeration) {
        TwEnumerationHead e;
        memcpy(&e, block, sizeof e);
        e.numItems = kept;
        e.currentIndex = e.defaultIndex = 0xFFFFFFFFu;
        memcpy(block, &e, sizeof e);
    } else {
        TwArrayHead a;
        memcpy(&a, block, sizeof a);
        a.numItems = kept;
        memcpy(block, &a, sizeof a);
    }
    *changed = true;
    return 0;
}

int TwainNegotiatePixelType(unsigned pixelTypes)
{
    if (GetTwainState() != 4) {
        RecordTwainError(kTwainErrNotState4);
        return 0;
    }
    TwCapability cap = {kCapPixelType, kOnDontCare, NULL};
    if (CallTwainManager(TwainSourceIdentity(), kDgControl, kDatCapability, kMsgGet, &cap) != kRcSuccess) {
        RecordTwainError(kTwainErrCapGet);
        return 0;
    }
    if (!cap.container) {
        RecordTwainError(kTwainErrNullContainer);
        return 0;
    }
    HGLOBAL container = (HGLOBAL)cap.container;
    void *block = GlobalLock(container);
    if (!block) {
        RecordTwainError(kTwainErrBadContainer);
        GlobalFree(container);
        return 0;
    }
    bool changed;
    int error = ReducePixelTypes(cap.conType, block, GlobalSize(container), pixelTypes, &changed);
    GlobalUnlock(container);
    if (error)
        RecordTwainError(error);
    else if (changed && CallTwainManager(TwainSourceIdentity(), kDgControl, kDatCapability, kMsgSet, &cap) !=
                            kRcSuccess) {
        RecordTwainError(kTwainErrCapSet);
        error = kTwainErrCapSet;
    }
    GlobalFree(container);
    return error == 0;
}
