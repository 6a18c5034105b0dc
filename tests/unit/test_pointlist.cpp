// The point list: appends, reads in and out of range, deleting, and the full list.
#include "testsupport.h"
#include "image/pointlist.h"

TEST(PointList, AppendReadDeleteAndTheEnd)
{
    QzsInitPoint();
    QzPoint p = {7, 7};
    EXPECT_EQ(QzsGetEntryPoint(0, &p), 1);
    EXPECT_EQ(p.x, 0);
    EXPECT_EQ(p.y, 0);
    QzsDeletePoint();
    EXPECT_EQ(QzsGetHowManyPoints(), 0);

    for (int i = 0; i < 3; i++) {
        QzPoint q = {i, -i};
        EXPECT_EQ(QzsSetNewEntryPoint(&q), 0);
    }
    QzsDeletePoint();
    EXPECT_EQ(QzsGetHowManyPoints(), 2);
    QzPoint q = {40, 41};
    QzsSetNewEntryPoint(&q);
    struct Read {
        int i, result, x, y;
    } reads[] = {{0, 0, 0, 0}, {1, 0, 1, -1}, {2, 0, 40, 41}, {3, 1, 0, 0}, {-1, 1, 0, 0}};
    for (const Read &r : reads) {
        p = QzPoint{9, 9};
        EXPECT_EQ(QzsGetEntryPoint(r.i, &p), r.result) << r.i;
        EXPECT_EQ(p.x, r.x) << r.i;
        EXPECT_EQ(p.y, r.y) << r.i;
    }

    QzsInitPoint();
    for (int i = 0; i < kPointListCapacity; i++) {
        QzPoint point = {i, i};
        ASSERT_EQ(QzsSetNewEntryPoint(&point), 0);
    }
    QzPoint extra = {-5, -5};
    EXPECT_EQ(QzsSetNewEntryPoint(&extra), 1);
    EXPECT_EQ(QzsGetHowManyPoints(), kPointListCapacity);
    EXPECT_EQ(QzsGetEntryPoint(kPointListCapacity - 1, &p), 0);
    EXPECT_EQ(p.x, kPointListCapacity - 1);
    QzsInitPoint();
}
