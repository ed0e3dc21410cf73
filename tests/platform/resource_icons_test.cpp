#include "platform/resource_icons.h"

#include <gtest/gtest.h>

#include "qt_app_environment.h"

namespace nms {
namespace resource_icons_test {

// Every id the windows name must give a picture at the sizes they ask for.
TEST(ResourceIcons, EveryNamedIdHasAPicture) {
    const int ids[] = {128, 134, 140, 141, 146, 151, 153, 155, 157, 163, 164, 165,
                       166, 167, 168, 169, 170, 171, 172, 173, 174, 175, 177, 178,
                       179, 181, 183, 184, 187, 188, 189, 207, 212, 213, 214, 230};
    for (int id : ids) {
        EXPECT_FALSE(IconById(id).isNull()) << id;
        for (int size : {16, 32}) {
            const QPixmap pixmap = PixmapById(id, size);
            EXPECT_FALSE(pixmap.isNull()) << id << " at " << size;
            if (id != 134) {
                EXPECT_EQ(pixmap.height(), size) << id;
            }
        }
    }
    EXPECT_TRUE(IconById(9999).isNull());
    EXPECT_TRUE(PixmapById(9999).isNull());
}

TEST(ResourceIcons, LampsAreRedAndGreenDiscs) {
    const QImage red = PixmapById(212, 16).toImage();
    const QImage green = PixmapById(213, 16).toImage();
    const QColor r = red.pixelColor(8, 8);
    const QColor g = green.pixelColor(8, 8);
    EXPECT_GT(r.red(), 2 * r.green());
    EXPECT_GT(g.green(), 2 * g.red());
    EXPECT_EQ(red.pixelColor(0, 0).alpha(), 0);  // round: the corners are clear
}

}  // namespace resource_icons_test
}  // namespace nms
