// The points of a region border, kept in blocks of 1000 in the region slot of the base image.
#include "image/regions.h"
#include <stdlib.h>
#include <string.h>

const int kBorderStepX[8] = {-1, 0, 1, 1, 1, 0, -1, -1};
const int kBorderStepY[8] = {1, 1, 1, 0, -1, -1, -1, 0};

// The block that receives the next point of the chain being filled.
static BorderPointBlock *s_fillBlock;
static const RegionSlot *s_fillSlot;


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
    if (s_fillSlot == slot)
        s_fillSlot = NULL, s_fillBlock = NULL;
}

void ClearBorderPoints(RegionSlot *slot)
{
    for (BorderPointBlock *b = slot->firstBlock; b; b = b->next) {
        memset(b->x, 0, sizeof b->x);
        memset(b->y, 0, sizeof b->y);
    }
    slot->pointCount = slot->nextIndex = 0;
    if (s_fillSlot == slot)
        s_fillSlot = NULL, s_fillBlock = NULL;
}

// A failed allocation ends the storing of points silently.
void AddBorderPoint(RegionSlot *slot, int x, int y)
{
    int k = slot->nextIndex;
    if (k < 0 || k == INT32_MAX)
        return;
    int at = k % QZ_BORDER_BLOCK_POINTS;
    if (at == 0 || s_fillSlot != slot || !s_fillBlock) {
        // Walk to block k / 1000, adding blocks at the end while the chain is shorter.
        BorderPointBlock **link = &slot->firstBlock, *block = NULL;
        for (int n = 0; n <= k / QZ_BORDER_BLOCK_POINTS; n++) {
            if (!*link) {
                *link = (BorderPointBlock *)calloc(1, sizeof(BorderPointBlock));
                if (!*link)
                    return;
                slot->lastBlock = *link;
            }
            block = *link;
            link = &block->next;
        }
        s_fillSlot = slot;
        s_fillBlock = block;
    }
    s_fillBlock->x[at] = x;
    s_fillBlock->y[at] = y;
    slot->nextIndex = k + 1;
    slot->pointCount = k + 1;
}

bool GetBorderPoint(const RegionSlot *slot, int k, int *x, int *y)
{
    if (k < 0 || k >= slot->pointCount)
        return false;
    const BorderPointBlock *b = slot->firstBlock;
    for (int n = k / QZ_BORDER_BLOCK_POINTS; b && n > 0; n--)
        b = b->next;
    if (!b)
        return false;
    *x = b->x[k % QZ_BORDER_BLOCK_POINTS];
    *y = b->y[k % QZ_BORDER_BLOCK_POINTS];
    return true;
}
