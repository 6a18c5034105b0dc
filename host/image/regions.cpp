#include "image/regions.h"
#include <stdlib.h>

void FreeBorderPoints(RegionSlot *slot)
{
    BorderPointBlock *block = slot->firstBlock;
    while (block) {
        BorderPointBlock *next = block->next;
        free(block);
        block = next;
    }
    slot->firstBlock = slot->lastBlock = NULL;
    slot->pointCount = slot->nextIndex = 0;
}

void ResetRegionSlots(CDIB *image)
{
    for (RegionSlot &slot : image->slots) {
        slot.state = 0;
        slot.left = slot.top = slot.right = slot.bottom = -1;
        slot.pointCount = slot.nextIndex = 0;
        slot.firstBlock = slot.lastBlock = NULL;
    }
}
